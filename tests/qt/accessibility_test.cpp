// What assistive tools see of the controls' buttons, through Qt's own
// accessibility interfaces: the button role, a name, and a press action that
// does what a click does.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <functional>

#include "backends/qt/qt_image.h"
#include "qt_form_test.h"
#include "tavo/qt/qt_tree_view.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace tavo {
namespace {

class QtAccessibilityTest : public QtFormTest {
public:
    void SetUp() override {
        makeForm(6000, 6000);
        date = add<TavoCalendarDropDown>(TavoCalendarDropDown::kProgId, "Cal1", Placement{300, 300, 2400, 315});
        strip = add<TavoSSTreeController>("TavoSSAddOn.TavoSSTreeController", "Ctl1", Placement{300, 900, 1080, 225});
        tree = add<QtTreeView>("SSActiveTreeView.SSTree", "SSTree1", Placement{300, 1200, 4000, 3000});
        // A open and chosen, A1 and B closed.
        tree->addNode("A", "", "A");
        tree->addNode("A1", "A", "A1");
        tree->addNode("A1x", "A1", "A1x");
        tree->addNode("B", "", "B");
        tree->addNode("B1", "B", "B1");
        tree->node("A")->setExpanded(true);
        tree->select("A");
        strip->putRef("mySSTree", Variant::object(tree));
        form->window().show();
        pump();
    }

    // The table of cases below reaches the controls through these.
    bool open(const char* key) { return tree->node(key)->expanded(); }
    QWidget* image(const std::shared_ptr<Image>& i) { return static_cast<QtImage&>(*i).widget(); }

    std::shared_ptr<TavoCalendarDropDown> date;
    std::shared_ptr<TavoSSTreeController> strip;
    std::shared_ptr<QtTreeView> tree;
};

using Fixture = QtAccessibilityTest;

struct SeenCase {
    const char* name;
    std::function<QWidget*(Fixture&)> widget;
    QAccessible::Role role;
    QString accessibleName;
    // What a press by an assistive tool brings about; none: it has no press.
    std::function<bool(Fixture&)> pressed;
};
void PrintTo(const SeenCase& c, std::ostream* os) { *os << c.name; }

class QtAccessibleButtons : public QtAccessibilityTest, public ::testing::WithParamInterface<SeenCase> {};

TEST_P(QtAccessibleButtons, AreButtonsWithANameThatAToolCanPress) {
    const SeenCase& c = GetParam();
    QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(c.widget(*this));
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(seen->role(), c.role);
    EXPECT_EQ(seen->text(QAccessible::Name), c.accessibleName);
    EXPECT_TRUE(seen->text(QAccessible::Description).isEmpty()) << "the tooltip is not said twice";
    QAccessibleActionInterface* actions = seen->actionInterface();
    ASSERT_NE(actions, nullptr);
    const bool pressable = actions->actionNames().contains(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressable, bool(c.pressed));
    if (!c.pressed) return;
    EXPECT_FALSE(c.pressed(*this));
    actions->doAction(QAccessibleActionInterface::pressAction());
    pump();
    EXPECT_TRUE(c.pressed(*this));
}

INSTANTIATE_TEST_SUITE_P(
    Controls, QtAccessibleButtons,
    ::testing::Values(
        SeenCase{"DropButton", [](Fixture& f) { return Fixture::dropButton(*f.date); }, QAccessible::Button,
                 "Kalender öffnen",
                 [](Fixture& f) { return f.popupUp(); }},
        SeenCase{"ExpandSelected", [](Fixture& f) { return f.image(f.strip->img(0)); }, QAccessible::Button,
                 "Aktuelles Element aufklappen", [](Fixture& f) { return f.open("A1"); }},
        SeenCase{"ExpandAll", [](Fixture& f) { return f.image(f.strip->img(1)); }, QAccessible::Button,
                 "Alle Elemente aufklappen", [](Fixture& f) { return f.open("B"); }},
        SeenCase{"CollapseAll", [](Fixture& f) { return f.image(f.strip->img(2)); }, QAccessible::Button,
                 "Alle Elemente zuklappen", [](Fixture& f) { return !f.open("A"); }},
        SeenCase{"CollapseSelected", [](Fixture& f) { return f.image(f.strip->img(3)); }, QAccessible::Button,
                 "Aktuelles Element zuklappen", [](Fixture& f) { return !f.open("A"); }},
        SeenCase{"Frame", [](Fixture& f) { return f.image(f.strip->imgBack()); }, QAccessible::Graphic, "", nullptr}),
    [](const ::testing::TestParamInfo<SeenCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tavo
