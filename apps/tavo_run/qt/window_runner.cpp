#include "apps/tavo_run/qt/window_runner.h"

#include <QApplication>
#include <iostream>
#include <istream>
#include <optional>

#include "apps/tavo_run/qt/window_session.h"
#include "apps/tavo_run/script_input.h"
#include "backends/qt/event_hook.h"
#include "tavo/calendar/register.h"
#include "tavo/host/error.h"
#include "tavo/qt/deep_stack.h"
#include "tavo/qt/qt_host.h"
#include "tavo/ssaddon/register.h"

namespace tavo {

namespace {

// Qt cannot carry an exception through its event dispatch. The widgets of
// the host end an error at the event it came in with; this ends one at the
// dispatch of any other event of the run the same way, reported through the
// host's onHandlerError.
class RunnerApplication : public QApplication {
public:
    RunnerApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override {
        return deliverGuarded([&] { return QApplication::notify(receiver, event); });
    }
};

bool haveDisplay() {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int runWindows(int argc, char** argv, const WindowRunOptions& options) {
    const bool unattended = !options.scriptPath.empty() || !options.screenshotPath.empty();
    if (!haveDisplay()) {
        // A script or a picture needs no one to look: draw off the screen.
        if (!unattended) {
            std::cerr << "tavo-run: there is no display to open a window on (DISPLAY is not set).\n"
                         "Run it under xvfb-run, take a picture with --screenshot, or use --headless.\n";
            return 2;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    std::optional<ScriptInput> input;
    if (!options.scriptPath.empty()) {
        input.emplace(options.scriptPath);
        if (!input->problem().empty()) {
            std::cerr << "tavo-run: " << input->problem() << '\n';
            return 2;
        }
    }
    std::istream script(input ? &*input : nullptr);

    RunnerApplication app(argc, argv);
    QApplication::setApplicationName("tavo-run");
    ComponentRegistry& registry = ComponentRegistry::global();
    registerQtComponents(registry);
    registerTavoCalendar(registry);
    registerTavoSSAddOn(registry);

    QtHost host;
    int status = 0;
    {
        WindowSession session(host, std::cout, std::cerr);
        host.onHandlerError = [&](const HostError& e) { session.backend().reportHandlerError(e); };
        session.open(options.formPath);
        if (!options.scriptPath.empty()) status = session.runScript(script);
        if (!options.screenshotPath.empty() && status != 2) {
            try {
                session.backend().screenshot(options.screenshotPath);
            } catch (const HostError& e) {
                std::cerr << "tavo-run: " << e.what() << '\n';
                status = 1;
            }
        }
        if (!unattended) QApplication::exec();
        host.onHandlerError = nullptr;
    }
    return status;
}

}  // namespace

// A form may hold a tree far deeper than Qt's view can lay out on the main
// thread's stack.
int runInWindows(int argc, char** argv, const WindowRunOptions& options) {
    return runOnDeepStack([&] { return runWindows(argc, argv, options); });
}

}  // namespace tavo
