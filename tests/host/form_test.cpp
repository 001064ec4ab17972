#include "tavo/host/form.h"

#include <gtest/gtest.h>

#include "form_test_host.h"
#include "tavo/host/form_file.h"

namespace tavo {
namespace {

class FormTest : public ::testing::Test {
protected:
    FormTest() { registerGadget(registry); }

    static Gadget& gadget(const std::shared_ptr<Control>& c) { return dynamic_cast<Gadget&>(*c); }

    static FormData parse(const std::string& controls) {
        return parseFormText("VERSION 1.00\nBegin Form Form1\n" + controls + "End\n", "test.frm");
    }

    TestHost host;
    ComponentRegistry registry;
};

TEST_F(FormTest, AddPlacesANewControlAndInitialisesItBeforeTheFirstResize) {
    Form form(host, "frmMain", registry);
    ASSERT_EQ(host.windows.size(), 1u);
    EXPECT_EQ(form.window().name(), "frmMain");
    EXPECT_FALSE(form.modified());

    auto c = form.add("Test.Gadget", "Gadget1", {120, 240, 600, 300});
    EXPECT_EQ(gadget(c).log, (std::vector<std::string>{"init", "resize"}));
    EXPECT_EQ(form.find("gadget1"), c);
    EXPECT_EQ(form.classOf(*c), "Test.Gadget");
    ASSERT_NE(form.siteOf(*c), nullptr);
    EXPECT_EQ(form.siteOf(*c)->left(), 120);
    EXPECT_EQ(c->instanceName(), "Gadget1");
    EXPECT_TRUE(form.modified());

    // The site's later size changes reach the control.
    form.siteOf(*c)->setWidth(900);
    EXPECT_EQ(gadget(c).log.back(), "resize");
    EXPECT_EQ(gadget(c).log.size(), 3u);
}

TEST_F(FormTest, AddRefusesATakenNameAndAnUnknownClassAndKeepsWhatItHas) {
    Form form(host, "Form1", registry);
    form.add("Test.Gadget", "Gadget1", {});
    try {
        form.add("Test.Gadget", "GADGET1", {});
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::InvalidProcedureCall);
        EXPECT_NE(std::string(e.what()).find("GADGET1"), std::string::npos) << e.what();
    }
    try {
        form.add("Test.Nothing", "Other", {});
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::CantCreateObject);
    }
    EXPECT_EQ(form.controls().size(), 1u);
    EXPECT_EQ(form.find("Other"), nullptr);
}

TEST_F(FormTest, TheListenerHearsChangesAndEventsNamingTheControl) {
    Form form(host, "Form1", registry);
    std::vector<std::string> heard;
    form.setListener({[&](Control& c, std::string_view event, std::span<Variant> args) {
                          heard.push_back(c.instanceName() + " raised " + std::string(event));
                          args[0] = Variant::integer(0);  // a by-reference argument changed by the handler
                      },
                      [&](Control& c, std::string_view property) {
                          heard.push_back(c.instanceName() + " changed " + std::string(property));
                      }});
    auto c = form.add("Test.Gadget", "Gadget1", {});
    form.setModified(false);

    gadget(c).setCaption("Hallo");
    Variant keyAscii[] = {Variant::integer(27)};
    c->site().raiseEvent("KeyPress", keyAscii);

    EXPECT_EQ(heard, (std::vector<std::string>{"Gadget1 changed Caption", "Gadget1 raised KeyPress"}));
    EXPECT_EQ(keyAscii[0].toInteger(), 0);
    EXPECT_TRUE(form.modified());
}

TEST_F(FormTest, LoadCreatesEveryControlBeforeAnyReadsSoAReferenceMayNameALaterOne) {
    Form form(host, "Form1", registry);
    form.add("Test.Gadget", "Old", {});
    form.load(parse("Begin Test.Gadget One\nLeft = 60\nCaption = \"Erster\"\nBuddy = Control Two\nEnd\n"
                    "Begin Test.Gadget Two\nCount = 7\nEnd\n"));

    ASSERT_EQ(form.controls().size(), 2u) << "a load replaces the controls the form had";
    EXPECT_EQ(form.find("Old"), nullptr);
    auto one = form.find("One");
    auto two = form.find("Two");
    EXPECT_EQ(gadget(one).caption, "Erster");
    EXPECT_EQ(gadget(one).buddy, two);
    EXPECT_EQ(gadget(two).count, 7);
    EXPECT_EQ(gadget(two).caption, "Label") << "a missing key reads as its default";
    EXPECT_EQ(gadget(one).log, (std::vector<std::string>{"read", "resize"})) << "a loaded control is not initialised";
    EXPECT_EQ(form.siteOf(*one)->left(), 60);
    EXPECT_FALSE(form.modified());
}

// One refuses its Count (line 4) before it reads its Buddy, Two its Count
// (line 9); Three stands between and after them and must load in full.
const std::string kRefusingForm =
    "Begin Test.Gadget One\nCount = 13\nBuddy = Control Three\nExtra = 1\nEnd\n"
    "Begin Test.Gadget Two\nCount = \"zwei\"\nEnd\n"
    "Begin Test.Gadget Three\nCaption = \"Drei\"\nBuddy = Control One\nEnd\n";

TEST_F(FormTest, AControlThatRefusesAValueStopsAloneAndEveryRefusalNamesFileLineAndKey) {
    Form form(host, "Form1", registry);
    try {
        form.load(parse(kRefusingForm));
        FAIL();
    } catch (const FormLoadError& e) {
        EXPECT_EQ(e.number(), err::InvalidPropertyValue) << "the first refusal's number";
        ASSERT_EQ(e.failures().size(), 2u);
        const LoadFailure& one = e.failures()[0];
        EXPECT_EQ(one.control, "One");
        EXPECT_EQ(one.key, "Count");
        EXPECT_EQ(one.line, 4);
        EXPECT_EQ(one.text, "test.frm:4: Count: Count 13 is not allowed (control One)");
        const LoadFailure& two = e.failures()[1];
        EXPECT_EQ(two.number, err::TypeMismatch);
        EXPECT_EQ(two.text.rfind("test.frm:9: Count: Type mismatch: ", 0), 0u) << two.text;
        EXPECT_EQ(std::string(e.what()), one.text + "\n" + two.text);
    }
    ASSERT_EQ(form.controls().size(), 3u);
    EXPECT_EQ(gadget(form.find("One")).buddy, nullptr) << "the steps after the refused one do not run";
    EXPECT_EQ(gadget(form.find("Three")).caption, "Drei");
    EXPECT_EQ(gadget(form.find("Three")).buddy, form.find("One"));
    for (const auto& c : form.controls()) EXPECT_EQ(gadget(c).log.back(), "resize");
    EXPECT_FALSE(form.modified());

    // A value the file does not hold fails at the control's Begin line, named.
    FormData data = parse("Begin Test.Gadget Lonely\nEnd\n");
    data.controls[0].properties.add({"Count", 1, Variant::integer(13), "", 0});
    try {
        form.load(data);
        FAIL();
    } catch (const FormLoadError& e) {
        EXPECT_EQ(e.failures()[0].text, "test.frm:3: Count: Count 13 is not allowed (control Lonely)");
    }
}

TEST_F(FormTest, ASaveAfterAFailedLoadWritesBackWhatTheControlsDidNotTake) {
    Form form(host, "Form1", registry);
    EXPECT_THROW(form.load(parse(kRefusingForm)), FormLoadError);
    // One never read its Buddy and Extra; Two held 0, not its "zwei". Three
    // loaded in full and writes what it holds.
    const std::string kept =
        "   Begin Test.Gadget One\n      Left = 0\n      Top = 0\n      Width = 0\n      Height = 0\n"
        "      Count = 13\n      Buddy = Control Three\n      Extra = 1\n   End\n"
        "   Begin Test.Gadget Two\n      Left = 0\n      Top = 0\n      Width = 0\n      Height = 0\n"
        "      Count = \"zwei\"\n   End\n";
    const std::string text = formatFormText(form.save());
    EXPECT_NE(text.find(kept), std::string::npos) << text;

    // Saved, it fails and keeps the same way again.
    Form again(host, "Form1", registry);
    EXPECT_THROW(again.load(parseFormText(text, "saved.frm")), FormLoadError);
    EXPECT_EQ(formatFormText(again.save()), text);

    // A property set after the load is the control's to save again.
    gadget(form.find("One")).setCaption("Eins");
    gadget(form.find("One")).buddy = nullptr;
    const std::string changed = formatFormText(form.save());
    EXPECT_NE(changed.find("      Caption = \"Eins\"\n      Count = 13\n      Buddy = Control Three\n      Extra = 1\n"),
              std::string::npos)
        << changed;
}

TEST_F(FormTest, ALoadThatCannotCreateAControlLoadsNone) {
    Form form(host, "Form1", registry);
    form.add("Test.Gadget", "Old", {});
    try {
        form.load(parse("Begin Test.Gadget One\nEnd\nBegin Test.Missing Two\nEnd\n"));
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::CantCreateObject);
        EXPECT_NE(std::string(e.what()).find("\"Two\""), std::string::npos) << e.what();
    }
    EXPECT_TRUE(form.controls().empty());
}

TEST_F(FormTest, SaveRoundTripsThroughAFormFile) {
    Form form(host, "frmMain", registry);
    auto one = form.add("Test.Gadget", "One", {120, 240, 1080, 225});
    auto two = form.add("Test.Gadget", "Two", {0, 600.5f, 300, 300});
    gadget(one).caption = "Aktuelles Element zuklappen";
    gadget(one).buddy = two;
    gadget(two).caption = "";
    gadget(two).count = -3;

    const FormData saved = form.save();
    EXPECT_EQ(saved.name, "frmMain");
    ASSERT_EQ(saved.controls.size(), 2u);
    EXPECT_EQ(saved.controls[0].className, "Test.Gadget");
    EXPECT_EQ(saved.controls[1].place.top, 600.5f);
    EXPECT_EQ(saved.controls[0].properties.entries().size(), 2u) << "Count equals its default";
    const std::string text = formatFormText(saved);

    TestHost otherHost;
    Form copy(otherHost, "frmMain", registry);
    copy.load(parseFormText(text, "saved.frm"));
    EXPECT_EQ(gadget(copy.find("One")).buddy, copy.find("Two"));
    EXPECT_EQ(gadget(copy.find("Two")).caption, "");
    EXPECT_EQ(formatFormText(copy.save()), text);
}

}  // namespace
}  // namespace tavo
