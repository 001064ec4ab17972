// Forms of many controls on the headless host: a form file loaded into a
// form, the form saved back to its file, and the controls placed one by one
// as a script's `new` lines place them. Each at 1,000, 10,000 and 100,000
// controls: date controls, tree views and tree controllers bound to them by
// name. Target: the time per control ("per_control") the same at every size,
// which the fitted complexity reports as O(N).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "backends/headless/headless_host.h"
#include "bench/many_controls.h"
#include "tavo/calendar/register.h"
#include "tavo/host/form.h"
#include "tavo/host/form_file.h"
#include "tavo/ssaddon/register.h"

namespace tavo {
namespace {

using bench::controlAt;
using bench::formFile;
using bench::perControl;
using bench::Placed;
using bench::tempPath;

const ComponentRegistry& registry() {
    static const ComponentRegistry r = [] {
        ComponentRegistry made;
        registerHeadlessComponents(made);
        registerTavoCalendar(made);
        registerTavoSSAddOn(made);
        return made;
    }();
    return r;
}

void BM_LoadFormFile(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    const std::string& path = formFile(count);
    HeadlessHost host;
    Form form(host, "frmMany", registry());
    for (auto _ : state) form.load(readFormFile(path));
    perControl(state);
}
BENCHMARK(BM_LoadFormFile)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Complexity();

void BM_SaveFormFile(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    HeadlessHost host;
    Form form(host, "frmMany", registry());
    form.load(readFormFile(formFile(count)));
    const std::string path = tempPath("save", count);
    for (auto _ : state) saveFormFile(path, form.save());
    std::filesystem::remove(path);
    perControl(state);
}
BENCHMARK(BM_SaveFormFile)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Complexity();

// Each control placed on its own, its name checked against all before it.
void BM_PlaceControls(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    HeadlessHost host;
    for (auto _ : state) {
        Form form(host, "frmMany", registry());
        for (int i = 0; i < count; ++i) {
            const Placed c = controlAt(i);
            form.add(c.progId, c.name, {0, 0, 1200, 300});
        }
    }
    perControl(state);
}
BENCHMARK(BM_PlaceControls)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
}  // namespace tavo
