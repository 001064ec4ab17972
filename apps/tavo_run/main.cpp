// tavo-run: loads a form and runs a script against it. Headless for now: the
// deterministic host stands in for the screen, the clock and the user.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "apps/tavo_run/headless_backend.h"
#include "apps/tavo_run/script_engine.h"
#include "backends/headless/headless_host.h"
#include "datecontrol/register.h"
#include "host/registry.h"
#include "treecontroller/register.h"

namespace {

constexpr std::string_view kUsage =
    "usage: tavo-run --headless [--script FILE] [FORMFILE]\n"
    "\n"
    "Loads FORMFILE (if given) into a form on the headless host and runs the\n"
    "script in FILE, or on standard input without --script. Everything the host\n"
    "sees is printed as it happens. Exit status: 0, 1 when an expect failed or\n"
    "the script ended while a modal window waited, 2 for a malformed script\n"
    "line or bad arguments. The language is described in docs/runner.md.\n";

int usageError(std::string_view what) {
    std::cerr << "tavo-run: " << what << "\n\n" << kUsage;
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool headless = false;
    std::string scriptPath, formPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--headless") {
            headless = true;
        } else if (arg == "--script") {
            if (++i == argc) return usageError("--script needs a file");
            scriptPath = argv[i];
        } else if (arg.starts_with("-")) {
            return usageError("unknown option " + std::string(arg));
        } else if (formPath.empty()) {
            formPath = arg;
        } else {
            return usageError("only one form file may be given");
        }
    }
    if (!headless) {
        std::cerr << "tavo-run: real windows come with the Qt backend; use --headless for now\n";
        return 2;
    }

    std::ifstream scriptFile;
    if (!scriptPath.empty()) {
        scriptFile.open(scriptPath);
        if (!scriptFile) {
            std::cerr << "tavo-run: cannot open the script " << scriptPath << '\n';
            return 2;
        }
    }

    tavo::ComponentRegistry& registry = tavo::ComponentRegistry::global();
    tavo::registerHeadlessComponents(registry);
    tavo::registerTavoCalendar(registry);
    tavo::registerTavoSSAddOn(registry);

    tavo::HeadlessHost host;
    tavo::HeadlessBackend backend(host);
    tavo::ScriptEngine engine(backend, std::cout, std::cerr);
    if (!formPath.empty()) engine.loadForm(formPath);
    return engine.run(scriptPath.empty() ? std::cin : scriptFile);
}
