// load and save as a script (or Ctrl+S in the window) meets them: a form that
// a control partly refused saves back what its file held, and a file that
// could not be loaded is not replaced by whatever form is open.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "apps/tavo_run/headless_backend.h"
#include "apps/tavo_run/script_engine.h"
#include "backends/headless/headless_host.h"
#include "tavo/calendar/register.h"
#include "tavo/host/registry.h"
#include "tavo/ssaddon/register.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

class FormFileCommands : public ::testing::Test {
protected:
    FormFileCommands() : dir(fs::temp_directory_path() / ("tavo-form-file-commands-" + std::to_string(::getpid()))) {
        static const bool registered = [] {
            ComponentRegistry& registry = ComponentRegistry::global();
            registerHeadlessComponents(registry);
            registerTavoCalendar(registry);
            registerTavoSSAddOn(registry);
            return true;
        }();
        static_cast<void>(registered);
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~FormFileCommands() override { fs::remove_all(dir); }

    std::string file(const std::string& name, const std::string& text) {
        const std::string path = (dir / name).string();
        std::ofstream(path) << text;
        return path;
    }
    static std::string contents(const std::string& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The runner's output for the script, after its first line (the form it starts with).
    static std::string run(const std::string& script) {
        HeadlessHost host;
        HeadlessBackend backend(host);
        std::ostringstream out, err;
        {
            ScriptEngine engine(backend, out, err);
            std::istringstream in(script);
            engine.run(in);
        }
        return out.str();
    }

    fs::path dir;
};

TEST_F(FormFileCommands, AFormAControlPartlyRefusedSavesBackWhatItsFileHeld) {
    const std::string path = file("refused.frm",
                                  "VERSION 1.00\nBegin Form F\n"
                                  "Begin TavoCalendar.TavoCalendarDropDown Cal1\nEnabled = \"oops\"\nMonthRows = 2\nEnd\n"
                                  "Begin SSActiveTreeView.SSTree Tree1\nEnd\n"
                                  "Begin TavoSSAddOn.TavoSSTreeController Ctl1\nmySSTree = Control Tree1\n"
                                  "ToolTipTextPlus = \"auf\"\nEnd\nEnd\n");
    std::string out = run("load " + path + "\nexpect Ctl1.mySSTree ref:Tree1\nexpect Ctl1.ToolTipTextPlus \"auf\"\n"
                          "save " + path + "\n");
    EXPECT_NE(out.find("error 13 line 1: " + path +
                       ":4: Enabled: Type mismatch: \"oops\" cannot be converted to a truth value (control Cal1)\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("expect failed"), std::string::npos) << out;
    const std::string saved = contents(path);
    for (const char* line : {"Enabled = \"oops\"", "MonthRows = 2", "mySSTree = Control Tree1", "ToolTipTextPlus = \"auf\""})
        EXPECT_NE(saved.find(std::string("      ") + line + "\n"), std::string::npos) << line << " in\n" << saved;

    // Mended and saved, the file loads whole.
    out = run("load " + path + "\nset Cal1.Enabled True\nsave " + path + "\nload " + path +
              "\nexpect Cal1.MonthRows 2\nexpect Cal1.Enabled True\n");
    EXPECT_EQ(out.find("error", out.find("error") + 1), std::string::npos) << "only the first load fails:\n" << out;
    EXPECT_EQ(out.find("expect failed"), std::string::npos) << out;
}

TEST_F(FormFileCommands, AFileThatCouldNotBeLoadedIsNotReplacedByTheFormThatIsOpen) {
    for (const std::string& text : {std::string("VERSION 1.00\nBegin Form F\nBegin A.B C\nCount = \nEnd\nEnd\n"),
                                    std::string("VERSION 1.00\nBegin Form F\nBegin No.Such C\nEnd\nEnd\n")}) {
        const std::string path = file("broken.frm", text);
        const std::string other = (dir / "other.frm").string();
        const std::string out = run("new TavoCalendar.TavoCalendarDropDown Cal9\nload " + path + "\nsave " + path +
                                    "\nsave " + (dir / "." / "broken.frm").string() + "\nsave " + other + "\n");
        const std::string refusal = "cannot save over it: loading it failed, so the form now open does not hold what "
                                    "the file holds; correct the file and load it again, or save under another name\n";
        EXPECT_NE(out.find("error 75 line 3: " + path + ": " + refusal), std::string::npos) << out;
        EXPECT_NE(out.find("error 75 line 4: "), std::string::npos) << "another spelling of the same file:\n" << out;
        EXPECT_EQ(contents(path), text);
        EXPECT_TRUE(fs::exists(other)) << "saving elsewhere is fine";
        fs::remove(other);
    }
}

}  // namespace
}  // namespace tavo
