#include "tavo/host/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "tavo/host/control.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"
#include "tavo/host/skip_on_error.h"

namespace tavo {
namespace {

// A site that only knows its name: enough for creating controls, and a
// tripwire for anything else.
class NamedSite : public ControlSite {
public:
    explicit NamedSite(std::string name) : name_(std::move(name)) {}
    const std::string& controlName() const override { return name_; }

    [[noreturn]] static void unused() { throw std::logic_error("the site was asked for more than its name"); }
    Host& host() override { unused(); }
    Window& window() override { unused(); }
    std::shared_ptr<PushButton> addButton(const ChildDesign&) override { unused(); }
    std::shared_ptr<Image> addImage(const ChildDesign&) override { unused(); }
    std::shared_ptr<Timer> addTimer(const ChildDesign&) override { unused(); }
    std::shared_ptr<Child> addComponent(std::string_view, const ChildDesign&) override { unused(); }
    float left() const override { unused(); }
    float top() const override { unused(); }
    void setLeft(float) override { unused(); }
    void setTop(float) override { unused(); }
    float scaleWidth() const override { unused(); }
    float scaleHeight() const override { unused(); }
    float width() const override { unused(); }
    float height() const override { unused(); }
    void setWidth(float) override { unused(); }
    void setHeight(float) override { unused(); }
    uint32_t backColor() const override { unused(); }
    void setBackColor(uint32_t) override { unused(); }
    bool enabled() const override { unused(); }
    void setEnabled(bool) override { unused(); }
    void refresh() override { unused(); }
    FontRef ambientFont() override { unused(); }

private:
    std::string name_;
};

class Gadget : public Control {
public:
    using Control::Control;
    std::string className() const override { return "Lib.Gadget"; }
};

TypeInfo gadgetInfo(std::string progId = "Lib.Gadget") {
    TypeInfo info;
    info.progId = std::move(progId);
    info.members = {{MemberKind::Property, "Value", "Date", true, true, false, {}, "Datum"},
                    {MemberKind::Method, "ExpandAll", "", true, true, false, {}, ""}};
    info.events = {{1, "Change", {}, ""}, {2, "KeyPress", {{"KeyAscii", "Integer", true}}, ""}};
    return info;
}

ControlFactory gadgetFactory() {
    return [](ControlSite& site) { return std::make_shared<Gadget>(site); };
}

TEST(ComponentRegistry, CreatesRegisteredClassesOnTheGivenSite) {
    ComponentRegistry registry;
    registry.add(gadgetInfo(), gadgetFactory());
    NamedSite site("gadget1");
    const auto control = registry.create("lib.GADGET", site);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(&control->site(), &site);
    EXPECT_EQ(control->instanceName(), "gadget1");
    EXPECT_EQ(registry.names(), std::vector<std::string>{"Lib.Gadget"});
}

TEST(ComponentRegistry, AnUnknownClassIsError429NamingIt) {
    ComponentRegistry registry;
    NamedSite site("x");
    try {
        registry.create("Lib.Nothing", site);
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::CantCreateObject);
        EXPECT_NE(std::string(e.what()).find("'Lib.Nothing'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(registry.typeInfo("Lib.Nothing"), nullptr);
}

TEST(ComponentRegistry, RegisteringANameAgainReplacesTheEntryInPlace) {
    ComponentRegistry registry;
    registry.add(gadgetInfo("A.First"), gadgetFactory());
    registry.add(gadgetInfo("Lib.Gadget"), gadgetFactory());
    TypeInfo replaced = gadgetInfo("LIB.GADGET");
    replaced.members.clear();
    registry.add(replaced, gadgetFactory());
    EXPECT_EQ(registry.names(), (std::vector<std::string>{"A.First", "LIB.GADGET"}));
    EXPECT_TRUE(registry.typeInfo("Lib.Gadget")->members.empty());
}

TEST(ComponentRegistry, TypeInfoFindsMembersAndEventsWithoutRegardToCase) {
    const TypeInfo info = gadgetInfo();
    ASSERT_NE(info.member("value"), nullptr);
    EXPECT_EQ(info.member("VALUE")->description, "Datum");
    EXPECT_EQ(info.member("expandall")->kind, MemberKind::Method);
    EXPECT_EQ(info.member("Valu"), nullptr);
    ASSERT_NE(info.event("keypress"), nullptr);
    EXPECT_EQ(info.event("KEYPRESS")->number, 2);
    EXPECT_TRUE(info.event("KeyPress")->params[0].byRef);
    EXPECT_EQ(info.event("Click"), nullptr);
}

TEST(ControlReference, PassesControlsAndNothingAndRefusesOtherObjects) {
    NamedSite site("tree1");
    ObjectRef control = std::make_shared<Gadget>(site);
    EXPECT_EQ(toControlReference(control), control);
    EXPECT_EQ(toControlReference(nullptr), nullptr);
    try {
        toControlReference(std::make_shared<Font>());
        FAIL();
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
        EXPECT_NE(std::string(e.what()).find("not a control on a form"), std::string::npos) << e.what();
    }
}

TEST(SkipOnError, AFailingStepIsAbandonedAndTheNextOneRuns) {
    SkipOnError onError;
    std::vector<std::string> ran;
    onError.step([&] {
        ran.push_back("first");
        throwHostError(err::Overflow);
        ran.push_back("never");
    });
    onError.step([&] { ran.push_back("second"); });
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}));
    ASSERT_TRUE(onError.failed());
    EXPECT_EQ(onError.lastError()->number(), err::Overflow);
}

TEST(SkipOnError, AFailingTestCountsAsPassed) {
    SkipOnError onError;
    EXPECT_FALSE(onError.test([] { return false; }));
    EXPECT_FALSE(onError.failed());
    EXPECT_TRUE(onError.test([]() -> bool { throwHostError(err::TypeMismatch); }));
    EXPECT_TRUE(onError.failed());
    EXPECT_EQ(onError.lastError()->number(), err::TypeMismatch);
}

TEST(SkipOnError, TheStateKeepsTheLatestErrorUntilCleared) {
    SkipOnError onError;
    onError.step([] { throwHostError(err::Overflow); });
    onError.step([] {});
    EXPECT_TRUE(onError.failed());  // a later good step does not clear it
    onError.step([] { throwHostError(err::NoSuchMember, "Font has no member 'X'"); });
    EXPECT_EQ(onError.lastError()->number(), err::NoSuchMember);
    onError.clear();
    EXPECT_FALSE(onError.failed());
    EXPECT_FALSE(onError.lastError().has_value());
}

TEST(SkipOnError, ErrorsOtherThanHostErrorsStillTravel) {
    SkipOnError onError;
    EXPECT_THROW(onError.step([] { throw std::logic_error("a fault in our own code"); }), std::logic_error);
    EXPECT_FALSE(onError.failed());
}

}  // namespace
}  // namespace tavo
