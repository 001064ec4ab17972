// Forms of many controls in a real window, drawn off the screen: the
// controls placed one by one through the form, as an application's code or a
// script's `new` lines place them, and a form file loaded. Each at 1,000,
// 4,000 and 16,000 controls (date controls, tree views and tree controllers
// bound to them by name), timed with the turn of the event loop that lays
// out and draws the window, which is when the user sees the form. Target:
// the time per control ("per_control") the same at every size, which the
// fitted complexity reports as O(N). Making the window and closing it are not
// timed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "bench/many_controls.h"
#include "tavo/calendar/register.h"
#include "tavo/host/form.h"
#include "tavo/qt/qt_host.h"
#include "tavo/ssaddon/register.h"

namespace tavo {
namespace {

const ComponentRegistry& registry() {
    static const ComponentRegistry r = [] {
        ComponentRegistry made;
        registerQtComponents(made);
        registerTavoCalendar(made);
        registerTavoSSAddOn(made);
        return made;
    }();
    return r;
}

void settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A shown form window, its controls not yet placed. It stands where the
// runner puts its form, away from the pointer: with the pointer over the
// window, Qt looks through all of the window's children for the one under it
// at every control shown, which is Qt's own cost and not measured here.
std::unique_ptr<Form> shownForm(QtHost& host) {
    auto form = std::make_unique<Form>(host, "frmMany", registry());
    form->window().setLeft(600);
    form->window().setTop(600);
    form->window().setWidth(9000);
    form->window().setHeight(6000);
    form->window().show();
    settle();
    return form;
}

template <class Fill>
void timeFilling(benchmark::State& state, Fill fill) {
    QtHost host;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Form> form = shownForm(host);
        state.ResumeTiming();
        fill(*form);
        settle();
        state.PauseTiming();
        form.reset();
        settle();
        state.ResumeTiming();
    }
    bench::perControl(state);
}

void PlaceControlsInRealWindow(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    timeFilling(state, [count](Form& form) {
        for (int i = 0; i < count; ++i) {
            const bench::Placed c = bench::controlAt(i);
            form.add(c.progId, c.name, {float(i % 60 * 150), float(i / 60 * 150), 1200, 300});
        }
    });
}
BENCHMARK(PlaceControlsInRealWindow)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond)->Complexity();

void LoadFormFileInRealWindow(benchmark::State& state) {
    const std::string& path = bench::formFile(static_cast<int>(state.range(0)));
    timeFilling(state, [&path](Form& form) { form.load(readFormFile(path)); });
}
BENCHMARK(LoadFormFileInRealWindow)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
}  // namespace tavo

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
