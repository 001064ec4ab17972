// The date control from the keyboard in real windows: the date box's own
// calendar opens with the keys the platform's date pickers use, and closes
// again while the control may not open; the drop button stays a thing of the
// mouse; after the popup closes the date box has the focus.
#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QDateTimeEdit>

#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/frm_calendar.h"
#include "datecontrol/register.h"
#include "datecontrol/tavo_calendar_drop_down.h"
#include "host/date.h"
#include "host/form.h"
#include "qt_test_support.h"

namespace tavo {
namespace {

using namespace qttest;

constexpr double k21Aug2000 = 36759;

class QtDateKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerTavoCalendar(registry);
        host.setToday(k21Aug2000);
        form = std::make_unique<Form>(host, "Form1", registry);
        form->window().setWidth(6000);
        form->window().setHeight(3000);
        control = std::dynamic_pointer_cast<TavoCalendarDropDown>(
            form->add("TavoCalendar.TavoCalendarDropDown", "Cal1", Placement{300, 300, 2400, 315}));
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
        if (auto p = popup(); p && p->isLoaded()) p->Unload();
        if (edit()->calendarWidget()->window()->isVisible()) edit()->calendarWidget()->window()->close();
        pump();
    }

    QDateTimeEdit* edit() { return static_cast<QtDateBox&>(*control->cal()).edit(); }
    bool calendarOpen() {
        QCalendarWidget* cal = edit()->findChild<QCalendarWidget*>();
        return cal && cal->isVisible();
    }
    std::shared_ptr<frmCalendar> popup() {
        return std::static_pointer_cast<frmCalendar>(host.findDefaultInstance(frmCalendar::formClass));
    }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<Form> form;
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

TEST_F(QtDateKeyboardTest, TheDropButtonIsNotInTheTabOrder) {
    QWidget* button = static_cast<QtPushButton&>(*control->cmd()).widget();
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    typeKey(Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), button);
}

struct ClosingCase {
    const char* name;
    bool byDay;
};
void PrintTo(const ClosingCase& c, std::ostream* os) { *os << c.name; }

class QtPopupClosing : public QtDateKeyboardTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(QtPopupClosing, LeavesTheFocusInTheDateBox) {
    press(static_cast<QtPushButton&>(*control->cmd()).widget(), {3, 4});
    pump();
    ASSERT_TRUE(popup()->Visible());
    MonthGridWidget& grid = *static_cast<QtMonthGrid&>(popup()->cal()).grid();
    if (GetParam().byDay) click(&grid, grid.dayRect(QDate(2000, 8, 25)).center());
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
