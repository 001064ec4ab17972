// The date control from the keyboard in real windows: the date box's own
// calendar opens with the keys the platform's date pickers use, and closes
// again while the control may not open, and never the drop button's popup;
// after the popup closes the date box has the focus.
#include <QCalendarWidget>

#include "qt_form_test.h"

namespace tavo {
namespace {

class QtDateKeyboardTest : public QtFormTest {
protected:
    void SetUp() override {
        makeForm(6000, 3000);
        control = add<TavoCalendarDropDown>(TavoCalendarDropDown::kProgId, "Cal1", Placement{300, 300, 2400, 315});
        auto relay = control->cal()->onDropDown;
        control->cal()->onDropDown = [this, relay] {
            ++dropDowns;
            relay();
        };
        host.onTrace = [this](const std::string& line) { trace.push_back(line); };
        form->window().show();
        pump();
        edit()->setFocus();
        pump();
    }
    void TearDown() override {
        host.onTrace = nullptr;
        if (edit()->calendarWidget()->window()->isVisible()) edit()->calendarWidget()->window()->close();
        QtFormTest::TearDown();
    }

    QDateTimeEdit* edit() { return QtFormTest::edit(*control); }
    bool calendarOpen() {
        QCalendarWidget* cal = edit()->findChild<QCalendarWidget*>();
        return cal && cal->isVisible();
    }

    std::shared_ptr<TavoCalendarDropDown> control;
    int dropDowns = 0;
    std::vector<std::string> trace;
};

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    bool opens;
};
void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.name; }

class QtDateBoxKeys : public QtDateKeyboardTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(QtDateBoxKeys, OpenTheDateBoxsOwnCalendarAsThePlatformsPickersDo) {
    const KeyCase& c = GetParam();
    typeKey(c.key, {}, c.modifiers);
    pump();
    EXPECT_EQ(calendarOpen(), c.opens);
    EXPECT_EQ(dropDowns, c.opens ? 1 : 0);
    EXPECT_FALSE(popup() && popup()->isLoaded()) << "the drop button's popup opens under the mouse only";
}

INSTANTIATE_TEST_SUITE_P(Keys, QtDateBoxKeys,
                         ::testing::Values(KeyCase{"F4", Qt::Key_F4, Qt::NoModifier, true},
                                           KeyCase{"AltDown", Qt::Key_Down, Qt::AltModifier, true},
                                           KeyCase{"Down", Qt::Key_Down, Qt::NoModifier, false},
                                           KeyCase{"AltUp", Qt::Key_Up, Qt::AltModifier, false},
                                           KeyCase{"ShiftF4", Qt::Key_F4, Qt::ShiftModifier, false}),
                         [](const ::testing::TestParamInfo<KeyCase>& i) { return std::string(i.param.name); });

TEST_F(QtDateKeyboardTest, WhileTheControlMayNotOpenTheDateBoxsCalendarClosesAgainAtOnce) {
    control->setCanOpen(false);
    typeKey(Qt::Key_F4);
    EXPECT_EQ(dropDowns, 1);
    EXPECT_NE(std::find(trace.begin(), trace.end(), "sendkeys \"{ESC}\""), trace.end());
    pump();
    EXPECT_FALSE(calendarOpen());
    EXPECT_EQ(control->Value().toDate(), k21Aug2000);
}

struct ClosingCase {
    const char* name;
    bool byDay;
};
void PrintTo(const ClosingCase& c, std::ostream* os) { *os << c.name; }

class QtPopupClosing : public QtDateKeyboardTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(QtPopupClosing, LeavesTheFocusInTheDateBox) {
    press(dropButton(*control), {3, 4});
    pump();
    ASSERT_TRUE(popupUp());
    if (GetParam().byDay) click(&grid(), grid().dayRect(QDate(2000, 8, 25)).center());
    else typeKey(Qt::Key_Escape, QString(QChar(27)));
    pump();
    EXPECT_FALSE(popup()->isLoaded());
    EXPECT_EQ(QApplication::focusWidget(), edit());
}

INSTANTIATE_TEST_SUITE_P(Ways, QtPopupClosing,
                         ::testing::Values(ClosingCase{"Escape", false}, ClosingCase{"DayPicked", true}),
                         [](const ::testing::TestParamInfo<ClosingCase>& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace tavo
