// tavo-run: loads a form into a real window (the built-in demo without one),
// or runs a script against it: in real windows, or headless, where the
// deterministic host stands in for the screen, the clock and the user.
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "apps/tavo_run/headless_backend.h"
#include "apps/tavo_run/script_engine.h"
#include "apps/tavo_run/script_input.h"
#include "apps/tavo_run/system_names.h"
#include "backends/headless/headless_host.h"
#include "tavo/calendar/register.h"
#include "tavo/host/registry.h"
#include "tavo/ssaddon/register.h"
#ifdef TAVO_WITH_QT
#include "apps/tavo_run/qt/window_runner.h"
#endif

namespace {

constexpr std::string_view kUsage =
    "usage: tavo-run [--script FILE] [--screenshot PNG] [FORMFILE]\n"
    "       tavo-run --headless [--script FILE] [FORMFILE]\n"
    "\n"
    "Opens FORMFILE (without one, the demo form) in a window. Ctrl+S saves the\n"
    "form to FORMFILE (the demo to ./demo.frm). With --script the script in FILE\n"
    "drives the window and the run ends with it; --screenshot writes a picture\n"
    "of the screen at the end (without a display both run off the screen).\n"
    "\n"
    "--headless runs on the deterministic host instead, with the script in FILE\n"
    "or on standard input. Everything the host sees is printed as it happens.\n"
    "Exit status: 0, 1 when an expect failed or the script ended while a modal\n"
    "window waited (or the picture could not be written), 2 for a malformed\n"
    "script line, a script that cannot be read, or bad arguments. The language\n"
    "is described in docs/runner.md; its commands, one a line:\n";

void printUsage(std::ostream& out) {
    out << kUsage;
    for (const tavo::ScriptEngine::Command& c : tavo::ScriptEngine::commands())
        out << "  " << tavo::ScriptEngine::usage(c) << '\n';
}

int usageError(std::string_view what) {
    std::cerr << "tavo-run: " << what << "\n\n";
    printUsage(std::cerr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool headless = false;
    std::string scriptPath, formPath, screenshotPath;
    const std::vector<std::string> args = tavo::utf8Arguments(argc, argv);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            printUsage(std::cout);
            return 0;
        }
        if (arg == "--headless") {
            headless = true;
        } else if (arg == "--script") {
            if (++i == args.size()) return usageError("--script needs a file");
            scriptPath = args[i];
        } else if (arg == "--screenshot") {
            if (++i == args.size()) return usageError("--screenshot needs a PNG file");
            screenshotPath = args[i];
        } else if (arg.starts_with("-")) {
            return usageError("unknown option " + std::string(arg));
        } else if (formPath.empty()) {
            formPath = arg;
        } else {
            return usageError("only one form file may be given");
        }
    }
    if (!headless) {
#ifdef TAVO_WITH_QT
        return tavo::runInWindows(argc, argv, {formPath, scriptPath, screenshotPath});
#else
        std::cerr << "tavo-run: this build has no Qt, so no real windows; use --headless\n";
        return 2;
#endif
    }
    if (!screenshotPath.empty()) return usageError("--screenshot needs real windows, not --headless");

    std::unique_ptr<tavo::ScriptInput> input =
        scriptPath.empty() ? std::make_unique<tavo::ScriptInput>() : std::make_unique<tavo::ScriptInput>(scriptPath);
    if (!input->problem().empty()) {
        std::cerr << "tavo-run: " << input->problem() << '\n';
        return 2;
    }
    std::istream script(input.get());

    tavo::ComponentRegistry& registry = tavo::ComponentRegistry::global();
    tavo::registerHeadlessComponents(registry);
    tavo::registerTavoCalendar(registry);
    tavo::registerTavoSSAddOn(registry);

    tavo::HeadlessHost host;
    tavo::HeadlessBackend backend(host);
    tavo::ScriptEngine engine(backend, std::cout, std::cerr);
    if (!formPath.empty()) engine.loadForm(formPath);
    return engine.run(script);
}
