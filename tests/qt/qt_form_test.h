#pragma once
// A form in a real window with both libraries and the Qt tree view
// registered, for tests that place controls on it as an application does,
// and the shared popup those controls drop down. Today is 21 August 2000.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/frm_calendar.h"
#include "qt_test_support.h"
#include "support/dates.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/form.h"
#include "tavo/ssaddon/register.h"

namespace tavo {

class QtFormTest : public ::testing::Test {
public:
    QtFormTest() {
        registerQtComponents(registry);
        registerTavoCalendar(registry);
        registerTavoSSAddOn(registry);
        host.setToday(k21Aug2000);
    }

    // The form's window, at `left`, `top`, `width` by `height` twips; not yet shown.
    void makeForm(float width, float height, float left = 1500, float top = 1500) {
        form = std::make_unique<Form>(host, "Form1", registry);
        form->window().setLeft(left);
        form->window().setTop(top);
        form->window().setWidth(width);
        form->window().setHeight(height);
    }
    template <class Control>
    std::shared_ptr<Control> add(const std::string& progId, const std::string& name, Placement p) {
        return std::dynamic_pointer_cast<Control>(form->add(progId, name, p));
    }
    QWidget* formWidget() { return static_cast<QtWindow&>(form->window()).widget(); }

    std::shared_ptr<frmCalendar> popup() {
        return std::static_pointer_cast<frmCalendar>(host.findDefaultInstance(frmCalendar::kFormClass));
    }
    bool popupUp() { return popup() && popup()->Visible(); }
    QWidget* popupWidget() { return static_cast<QtWindow&>(*popup()->window()).widget(); }
    MonthGridWidget& grid() { return *static_cast<QtMonthGrid&>(popup()->cal()).grid(); }

    static QDateTimeEdit* edit(const TavoCalendarDropDown& c) { return static_cast<QtDateBox&>(*c.cal()).edit(); }
    static QWidget* dropButton(const TavoCalendarDropDown& c) { return static_cast<QtPushButton&>(*c.cmd()).widget(); }

protected:
    void TearDown() override {
        if (auto p = popup(); p && p->isLoaded()) p->Unload();
        pump();
    }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<Form> form;
};

}  // namespace tavo
