// The form runner building a tree of 32,767 nodes from a script, one
// `node … add` line a node (16,384 top-level nodes, all but the last with one
// child), in real windows and headless.
//
// The lines are the application's own work, so the runner turns the event
// loop once, at the end of the script, where the tree view is laid out and
// drawn: the time grows with the nodes, not with their square, as it would
// if the view were laid out again after every line. Each run starts on a new
// form; closing the form is not timed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <sstream>
#include <string>

#include "apps/tavo_run/headless_backend.h"
#include "apps/tavo_run/qt/window_session.h"
#include "apps/tavo_run/script_engine.h"
#include "backends/headless/headless_host.h"
#include "tavo/host/registry.h"
#include "tavo/qt/qt_host.h"

namespace {

constexpr int kTopLevel = 16384;

const std::string& treeScript() {
    static const std::string script = [] {
        std::string s = "new SSActiveTreeView.SSTree T 0 0 4000 3000\n";
        for (int i = 0; i < kTopLevel; ++i) {
            const std::string n = std::to_string(i);
            s += "node T add k" + n + " \"Node " + n + "\"\n";
            if (i + 1 < kTopLevel) s += "node T add c" + n + " k" + n + " \"Child " + n + "\"\n";
        }
        s += "expect T.Nodes.Count 32767\n";
        return s;
    }();
    return script;
}

void checkStatus(benchmark::State& state, int status) {
    if (status != 0) state.SkipWithError("the script failed");
}

void BuildTheTreeInRealWindows(benchmark::State& state) {
    tavo::registerQtComponents(tavo::ComponentRegistry::global());
    tavo::QtHost host;
    std::ostringstream sink;
    for (auto _ : state) {
        state.PauseTiming();
        auto session = std::make_unique<tavo::WindowSession>(host, sink, sink);
        QApplication::processEvents();
        std::istringstream script(treeScript());
        state.ResumeTiming();
        checkStatus(state, session->runScript(script));
        state.PauseTiming();
        session.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * (2 * kTopLevel - 1));
}
BENCHMARK(BuildTheTreeInRealWindows)->Unit(benchmark::kMillisecond);

void BuildTheTreeHeadless(benchmark::State& state) {
    tavo::registerHeadlessComponents(tavo::ComponentRegistry::global());
    std::ostringstream sink;
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<tavo::HeadlessHost>();
        auto backend = std::make_unique<tavo::HeadlessBackend>(*host);
        auto engine = std::make_unique<tavo::ScriptEngine>(*backend, sink, sink);
        std::istringstream script(treeScript());
        state.ResumeTiming();
        checkStatus(state, engine->run(script));
        state.PauseTiming();
        engine.reset();
        backend.reset();
        host.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * (2 * kTopLevel - 1));
}
BENCHMARK(BuildTheTreeHeadless)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
