// Forms of many controls on the headless host: a form file loaded into a
// form, the form saved back to its file, and the controls placed one by one
// as a script's `new` lines place them. Each at 1,000, 10,000 and 100,000
// controls: date controls, tree views and tree controllers bound to them by
// name. Target: the time per control ("per_control") the same at every size,
// which the fitted complexity reports as O(N).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "backends/headless/headless_host.h"
#include "tavo/calendar/register.h"
#include "tavo/host/form.h"
#include "tavo/host/form_file.h"
#include "tavo/ssaddon/register.h"

namespace tavo {
namespace {

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

struct Placed {
    const char* progId;
    std::string name;
};

// The i-th control: a date control, a tree view, then a tree controller
// bound to that tree view.
Placed controlAt(int i) {
    switch (i % 3) {
    case 0: return {"TavoCalendar.TavoCalendarDropDown", "Cal" + std::to_string(i)};
    case 1: return {"SSActiveTreeView.SSTree", "Tree" + std::to_string(i)};
    default: return {"TavoSSAddOn.TavoSSTreeController", "Ctl" + std::to_string(i)};
    }
}

std::string formText(int count) {
    std::string text = "VERSION 1.00\nBegin Form frmMany\n";
    for (int i = 0; i < count; ++i) {
        const Placed c = controlAt(i);
        text += "   Begin " + std::string(c.progId) + " " + c.name + "\n";
        text += "      Left = " + std::to_string(i % 600 * 15) + "\n      Top = " + std::to_string(i / 600 * 15) + "\n";
        if (i % 3 == 0) text += "      MonthRows = 2\n      CustomFormat = \"dd.MM.yyyy\"\n";
        if (i % 3 == 2) text += "      mySSTree = Control Tree" + std::to_string(i - 1) + "\n";
        text += "   End\n";
    }
    return text + "End\n";
}

std::string tempPath(const char* what, int count) {
    return (std::filesystem::temp_directory_path() /
            ("tavo-bench-" + std::to_string(::getpid()) + "-" + what + "-" + std::to_string(count) + ".frm"))
        .string();
}

// The form file of each size, written once and removed at the end.
class FormFiles {
public:
    ~FormFiles() {
        for (const auto& [count, path] : paths_) std::filesystem::remove(path);
    }
    const std::string& of(int count) {
        std::string& path = paths_[count];
        if (path.empty()) {
            path = tempPath("load", count);
            saveFormFile(path, parseFormText(formText(count), path));
        }
        return path;
    }

private:
    std::map<int, std::string> paths_;
};

const std::string& formFile(int count) {
    static FormFiles files;
    return files.of(count);
}

void perControl(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["per_control"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
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
