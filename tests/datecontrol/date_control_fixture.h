#pragma once
// A form on the headless host with date controls placed as an application
// places them, and a log of what the application hears from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "backends/headless/headless_host.h"
#include "datecontrol/frm_calendar.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/form.h"

namespace tavo {

class DateControlTest : public ::testing::Test {
protected:
    DateControlTest() {
        registerTavoCalendar(registry);
        form = std::make_unique<Form>(host, "Form1", registry);
        formWindow = host.windowByHandle(form->window().hWnd());
        host.setMainWindow(formWindow);
        Form::Listener listener;
        listener.event = [this](Control& c, std::string_view event, std::span<Variant> args) {
            std::string line = "event " + c.instanceName() + "." + std::string(event);
            for (auto& a : args) line += " " + a.toString();
            log.push_back(line);
            if (onEvent) onEvent(c, event, args);
        };
        listener.changed = [this](Control& c, std::string_view property) {
            log.push_back("changed " + c.instanceName() + "." + std::string(property));
        };
        form->setListener(listener);
        form->window().show();
        host.runUntilIdle();
    }

    ~DateControlTest() override {
        // The popup belongs to the host; unloading it here keeps its window
        // from outliving the host's loop.
        if (auto p = host.findDefaultInstance(frmCalendar::kFormClass))
            std::static_pointer_cast<frmCalendar>(p)->Unload();
    }

    std::shared_ptr<TavoCalendarDropDown> add(const std::string& name, float left = 1500, float top = 1500,
                                              float width = 3015, float height = 330) {
        auto c = form->add(TavoCalendarDropDown::kProgId, name, {left, top, width, height});
        return std::dynamic_pointer_cast<TavoCalendarDropDown>(c);
    }

    frmCalendar& popup() { return *host.defaultInstance<frmCalendar>(frmCalendar::kFormClass); }

    // A press on the drop-down button at (x, y) twips within it, delivered
    // with everything it queues (the popup's activation among them).
    void press(const TavoCalendarDropDown& c, float x = 60, float y = 60, int16_t button = 1) {
        host.postMouseDown(c.cmd(), button, 0, x, y);
        host.runUntilIdle();
    }

    // The control's edges in screen twips.
    float screenLeftOf(const TavoCalendarDropDown& c) const {
        return formWindow->left() + c.site().left();
    }
    float screenBottomOf(const TavoCalendarDropDown& c) const {
        return formWindow->top() + c.site().top() + c.site().height();
    }

    long count(const std::string& line) const { return std::count(log.begin(), log.end(), line); }
    long traced(const std::string& line) const {
        return std::count(host.trace().begin(), host.trace().end(), line);
    }

    HeadlessHost host;
    ComponentRegistry registry;
    std::unique_ptr<Form> form;
    std::shared_ptr<Window> formWindow;
    std::vector<std::string> log;
    std::function<void(Control&, std::string_view, std::span<Variant>)> onEvent;
};

}  // namespace tavo
