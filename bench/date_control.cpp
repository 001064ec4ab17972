// The date control on the headless host: one press on the drop-down button
// until the popup is shown and activated, and one click on a day until the
// date is in the control and the popup is gone. Only that part is timed; the
// set-up of each round (closing or opening the popup) is not.
#include <benchmark/benchmark.h>

#include <chrono>

#include "backends/headless/headless_host.h"
#include "backends/headless/headless_month_grid.h"
#include "datecontrol/frm_calendar.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/form.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Bench {
    tavo::HeadlessHost host;
    tavo::ComponentRegistry registry;
    std::unique_ptr<tavo::Form> form;
    std::shared_ptr<tavo::TavoCalendarDropDown> control;

    Bench() {
        tavo::registerTavoCalendar(registry);
        form = std::make_unique<tavo::Form>(host, "Form1", registry);
        host.setMainWindow(host.windowByHandle(form->window().hWnd()));
        form->window().show();
        control = std::dynamic_pointer_cast<tavo::TavoCalendarDropDown>(
            form->add(tavo::TavoCalendarDropDown::kProgId, "Cal1", {1500, 1500, 3015, 330}));
        host.runUntilIdle();
    }
    ~Bench() { popup().Unload(); }

    tavo::frmCalendar& popup() { return *host.defaultInstance<tavo::frmCalendar>(tavo::frmCalendar::kFormClass); }

    void press() {
        host.postMouseDown(control->cmd(), 1, 0, 60, 60);
        host.runUntilIdle();
    }
};

void BM_PressToShownPopup(benchmark::State& state) {
    Bench b;
    for (auto _ : state) {
        const auto start = Clock::now();
        b.press();
        const auto end = Clock::now();
        if (!b.popup().Visible()) state.SkipWithError("the popup did not open");
        b.popup().Unload();
        b.host.clearTrace();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_PressToShownPopup)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_DayClickToValue(benchmark::State& state) {
    Bench b;
    double day = 36770;
    for (auto _ : state) {
        b.press();
        auto& grid = dynamic_cast<tavo::HeadlessMonthGrid&>(b.popup().cal());
        day = day == 36770 ? 36771 : 36770;
        const auto start = Clock::now();
        grid.dateClick(day);
        b.host.runUntilIdle();
        const auto end = Clock::now();
        if (b.popup().isLoaded() || b.control->Value().toDate() != day) state.SkipWithError("the day did not arrive");
        b.host.clearTrace();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_DayClickToValue)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
