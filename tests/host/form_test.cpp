#include "host/form.h"

#include <gtest/gtest.h>

#include "form_test_host.h"
#include "host/form_file.h"

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

TEST_F(FormTest, ALoadErrorNamesTheControlKeepsItsNumberAndTheFormKeepsWhatItBuilt) {
    Form form(host, "Form1", registry);
    try {
        form.load(parse("Begin Test.Gadget One\nEnd\nBegin Test.Gadget Two\nCount = 13\nEnd\n"));
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::InvalidPropertyValue);
        const std::string what = e.what();
        EXPECT_NE(what.find("Two"), std::string::npos) << what;
        EXPECT_NE(what.find("line 5"), std::string::npos) << what;
        EXPECT_NE(what.find("Count 13 is not allowed"), std::string::npos) << what;
    }
    EXPECT_EQ(form.controls().size(), 2u);

    try {
        form.load(parse("Begin Test.Gadget One\nEnd\nBegin Test.Missing Two\nEnd\n"));
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::CantCreateObject);
        EXPECT_NE(std::string(e.what()).find("\"Two\""), std::string::npos) << e.what();
    }

    // Data made in memory can name a control that is not there; the read says so.
    FormData data;
    auto& c = data.controls.emplace_back();
    c.className = "Test.Gadget";
    c.name = "Lonely";
    c.properties.add({"Buddy", 1, Variant(), "Ghost", 0});
    try {
        form.load(data);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::ObjectNotSet);
        EXPECT_NE(std::string(e.what()).find("Lonely"), std::string::npos) << e.what();
    }
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
