#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/frm_calendar.h"
#include "qt_test_support.h"
#include "support/dates.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/form.h"
#include "tavo/qt/control_widget.h"

namespace tavo {
namespace {

// A date control on a real form window, and the popup it drops down.
class QtPopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerTavoCalendar(registry);
        host.setToday(k21Aug2000);
        form = std::make_unique<Form>(host, "Form1", registry);
        form->window().setLeft(1500);
        form->window().setTop(1500);
        form->window().setWidth(6000);
        form->window().setHeight(3000);
        control = std::dynamic_pointer_cast<TavoCalendarDropDown>(
            form->add("TavoCalendar.TavoCalendarDropDown", "TavoCalendarDropDown1", Placement{300, 300, 2400, 315}));
        form->window().show();
        pump();
    }
    void TearDown() override {
        if (auto p = popup(); p && p->isLoaded()) p->Unload();
        pump();
    }

    std::shared_ptr<frmCalendar> popup() {
        return std::static_pointer_cast<frmCalendar>(host.findDefaultInstance(frmCalendar::kFormClass));
    }
    QWidget* popupWidget() { return static_cast<QtWindow&>(*popup()->window()).widget(); }
    QWidget* surface() { return static_cast<QtControlSite*>(form->siteOf(*control))->surface(); }
    void pressDropButton(Qt::MouseButton b = Qt::LeftButton) {
        press(static_cast<QtPushButton&>(*control->cmd()).widget(), {3, 4}, b);
        pump();
    }
    MonthGridWidget& grid() { return *static_cast<QtMonthGrid&>(popup()->cal()).grid(); }
    double value() { return control->get("Value").toDate(); }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<Form> form;
    std::shared_ptr<TavoCalendarDropDown> control;
};

TEST_F(QtPopupTest, OpensUnderTheControlFramelessTopmostAndSizedToItsCalendar) {
    pressDropButton(Qt::RightButton);
    ASSERT_TRUE(popup()->Visible());
    QWidget* w = popupWidget();
    EXPECT_EQ(w->objectName(), "frmCalendar");
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QApplication::activeWindow(), w);
    const QPoint under = surface()->mapToGlobal(QPoint(0, surface()->height()));
    EXPECT_LE((w->frameGeometry().topLeft() - under).manhattanLength(), 1);
    EXPECT_EQ(w->size(), grid().size());
    EXPECT_TRUE(popup()->tmr().enabled());
}

// ctest's qt.two_screens runs these on a desktop of two screens, the second
// (1280 x 1024) right of the first (1024 x 768); with one screen they skip.
using QtTwoScreensTest = QtPopupTest;

TEST_F(QtTwoScreensTest, OnTheSecondScreenThePopupOpensUnderTheControlAndKeepsToThatScreen) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2) GTEST_SKIP() << "needs a desktop of two screens";
    const QRect second = screens[1]->geometry();
    ASSERT_GT(second.height(), screens[0]->geometry().height());
    struct Case {
        const char* where;
        int formLeft, formTop;  // pixels from the second screen's corner
        bool underTheControl;   // else pulled in from that screen's right edge
    };
    const Case cases[] = {
        {"high on it", 100, 100, true},
        {"lower than the first screen's bottom", 100, 800, true},
        {"at its right edge", second.width() - 250, 100, false},
    };
    for (const Case& k : cases) {
        form->window().setLeft(float(second.x() + k.formLeft) * host.twipsPerPixelX());
        form->window().setTop(float(second.y() + k.formTop) * host.twipsPerPixelY());
        pump();
        pressDropButton();
        ASSERT_TRUE(popup()->isLoaded() && popup()->Visible()) << k.where;
        const QRect placed = popupWidget()->frameGeometry();
        EXPECT_TRUE(second.contains(placed)) << k.where << ": " << placed.x() << ", " << placed.y();
        const QPoint under = surface()->mapToGlobal(QPoint(0, surface()->height()));
        if (k.underTheControl) EXPECT_LE((placed.topLeft() - under).manhattanLength(), 1) << k.where;
        else EXPECT_EQ(placed.right(), second.right()) << k.where;
        popup()->Unload();
        pump();
    }
}

TEST_F(QtPopupTest, ADayClickWritesTheDateAndCloses) {
    pressDropButton();
    ASSERT_TRUE(popup()->Visible());
    click(&grid(), grid().dayRect(QDate(2000, 8, 25)).center());
    EXPECT_EQ(value(), dateSerial(2000, 8, 25));
    EXPECT_FALSE(popup()->isLoaded());
}

TEST_F(QtPopupTest, EscapeClosesWithoutAChange) {
    pressDropButton();
    ASSERT_TRUE(popup()->Visible());
    ASSERT_EQ(QApplication::focusWidget(), &grid());
    host.sendKeys("{ESC}");
    pump();
    EXPECT_FALSE(popup()->isLoaded());
    EXPECT_EQ(value(), k21Aug2000);
}

TEST_F(QtPopupTest, ActivatingAnotherWindowClosesItWithinTheWatch) {
    pressDropButton();
    ASSERT_TRUE(popup()->Visible());
    static_cast<QtWindow&>(form->window()).widget()->activateWindow();
    // The watch is a real 200 ms window timer: this one wait is real time.
    EXPECT_TRUE(waitUntil([&] { return !popup()->isLoaded(); }, 2000));
    EXPECT_EQ(value(), k21Aug2000);
}

TEST_F(QtPopupTest, ASecondPressClosesTheOpenPopup) {
    pressDropButton();
    ASSERT_TRUE(popup()->Visible());
    pressDropButton();
    EXPECT_FALSE(popup()->isLoaded());
}

TEST_F(QtPopupTest, WhenModelessIsRefusedItRunsModallyWithTheCancelButton) {
    host.setRefuseModeless(true);
    bool sawModal = false;
    int heightWithButton = 0, calendarHeight = 0;
    QTimer::singleShot(0, [&] {
        waitUntil([&] { return popup()->tmr().enabled(); });  // activated: sized with the button
        sawModal = QApplication::activeModalWidget() == popupWidget();
        heightWithButton = popupWidget()->height();
        calendarHeight = grid().height();
        auto* cancel = popupWidget()->findChild<QAbstractButton*>("cmdCancel");
        ASSERT_NE(cancel, nullptr);
        EXPECT_TRUE(cancel->isVisible());
        EXPECT_EQ(cancel->text(), "Abbrechen");
        press(cancel, {4, 4});  // closes at the press, before any release
    });
    pressDropButton();  // returns when the modal popup has closed
    EXPECT_TRUE(sawModal);
    EXPECT_EQ(heightWithButton, calendarHeight + 19);  // 285 twips
    EXPECT_FALSE(popup()->isLoaded());
    EXPECT_EQ(value(), k21Aug2000);
}

// The popup is open when the control's form goes: the form itself, or the
// widget an application made for the control. The popup goes with it, and
// the control, still held by the popup's back reference and the
// application, answers with an error instead of reaching its freed site.
TEST_F(QtPopupTest, ThePopupGoesWithItsControlsFormAndTheControlAnswersWithAnError) {
    struct Route {
        const char* name;
        std::function<std::shared_ptr<Control>()> open;
        std::function<void()> goes;
    };
    ControlWidget* widget = nullptr;
    const Route routes[] = {
        {"form destroyed",
         [&] {
             pressDropButton();
             return std::shared_ptr<Control>(control);
         },
         [&] { form.reset(); }},
        {"control widget destroyed",
         [&] {
             widget = new ControlWidget(host, "TavoCalendar.TavoCalendarDropDown", "Datum1", nullptr,
                                            QSize(160, 21), registry);
             widget->show();
             pump();
             auto& c = static_cast<TavoCalendarDropDown&>(widget->control());
             press(static_cast<QtPushButton&>(*c.cmd()).widget(), {3, 4});
             pump();
             return widget->controlRef();
         },
         [&] { delete widget; }},
    };
    for (const Route& route : routes) {
        const std::shared_ptr<Control> held = route.open();
        ASSERT_TRUE(popup()->Visible()) << route.name;
        route.goes();
        pump();
        EXPECT_FALSE(popup()->isLoaded()) << route.name;
        for (const ObjectRef& ref : {popup()->objBackReference, ObjectRef(held)}) {
            try {
                ref->put("Value", Variant::date(dateSerial(2000, 8, 25)));
                ADD_FAILURE() << route.name << ": a control whose form has gone took a value";
            } catch (const HostError& e) {
                EXPECT_EQ(e.number(), err::ObjectUnloaded) << route.name;
            }
        }
    }
}

}  // namespace
}  // namespace tavo
