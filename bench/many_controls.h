#pragma once
// The form of many controls the form benchmarks share, on either host: date
// controls, tree views and tree controllers bound to them by name, in that
// order; its form file, written once a size; and the time per control.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "tavo/host/form_file.h"

namespace tavo::bench {

struct Placed {
    const char* progId;
    std::string name;
};

// The i-th control: a date control, a tree view, then a tree controller
// bound to that tree view.
inline Placed controlAt(int i) {
    switch (i % 3) {
    case 0: return {"TavoCalendar.TavoCalendarDropDown", "Cal" + std::to_string(i)};
    case 1: return {"SSActiveTreeView.SSTree", "Tree" + std::to_string(i)};
    default: return {"TavoSSAddOn.TavoSSTreeController", "Ctl" + std::to_string(i)};
    }
}

inline std::string formText(int count) {
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

inline std::string tempPath(const char* what, int count) {
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

inline const std::string& formFile(int count) {
    static FormFiles files;
    return files.of(count);
}

// Reports the time per control ("per_control") and the size for the fitted
// complexity.
inline void perControl(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["per_control"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace tavo::bench
