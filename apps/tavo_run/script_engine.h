#pragma once
// Runs a form script: one command a line, against one form on a backend.
// Everything the host sees is printed to `out` as it happens; a malformed
// line is reported on `err` and ends the run with status 2.
#include <array>
#include <cstddef>
#include <iosfwd>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "apps/tavo_run/script_backend.h"
#include "apps/tavo_run/script_syntax.h"
#include "apps/tavo_run/script_values.h"
#include "tavo/host/form.h"

namespace tavo {

class ScriptEngine {
public:
    using Tokens = std::vector<std::string>;

    // Whether the event loop turns for a line. A user's action turns it, as
    // do the lines that run the loop (advance, doevents): what they cause is
    // delivered before the next line. A line of the application's own work
    // (building, setting, getting) leaves what it queued to the next turn,
    // as an application's code runs to its end before the loop goes on; so a
    // script that builds a big tree lays the view out once, not once a line.
    enum class Loop { Stays, Turns };

    // One command of the language. `forms` are its arguments as its usage
    // shows them (a second form where it has one); `minArgs` and `maxArgs`
    // count the words after the name.
    struct Command {
        std::string_view name;
        std::array<std::string_view, 2> forms;
        std::size_t minArgs, maxArgs;
        Loop loop;
        void (ScriptEngine::*run)(const Tokens&);
    };
    static std::span<const Command> commands();
    // "name form | name other form", as a malformed line's message shows it.
    static std::string usage(const Command& c);

    // The longest line a script may have: the engine reads a line at a time,
    // so this bounds the memory any script can take.
    static constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

    ScriptEngine(ScriptBackend& backend, std::ostream& out, std::ostream& err);
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // Loads a form file before the script runs; a bad file prints its error.
    void loadForm(const std::string& path);
    // Saves the form to a form file; refused for a file whose load failed
    // since the last load that did not, since the form open now does not
    // hold what that file holds.
    void saveForm(const std::string& path);
    // Replaces the form by the demo built into the runner; today's date in its date control.
    void loadDemo();
    // Runs the script to its end. Returns 0, 1 when an expect failed or the
    // script ended while a modal window waited, 2 for a malformed line, a
    // line longer than kMaxLineBytes, or a script that cannot be read to its end.
    int run(std::istream& script);

    Form& form() { return *form_; }

private:
    struct HandlerValue {
        std::string param;
        Variant value;
    };

    bool step();
    bool modalIdle();
    void execute(const std::string& line);
    // The line's command, its number of arguments checked.
    static const Command& command(const Tokens& t);
    void settle(int line);
    // Tells the backend that controls were placed, if they were since it last
    // heard: once for a script that places thousands, not once a control.
    void arrangeForm();
    void reportScriptEndInModal(const std::string& where);
    void printError(int number, const std::string& where, const std::string& text);

    void printLoadError(const FormLoadError& e, const std::string& where);

    void openForm(const std::string& name);
    void load(const FormData& data);
    void loadFile(const std::string& path);
    void onEvent(Control& c, std::string_view event, std::span<Variant> args);
    static std::string handlerKey(std::string_view nameDotEvent);

    // Paths
    ObjectRef resolveHead(const PathSegment& seg);
    ObjectRef member(const ObjectRef& obj, const PathSegment& seg, const std::string& where);
    ObjectRef resolveObject(const Path& p);
    ObjectRef resolveParent(const Path& p);
    ObjectRef memberOwner(const Path& p, const ObjectRef& parent) const;
    Variant read(const Path& p);
    Variant readMember(const ObjectRef& obj, const PathSegment& seg);
    void write(const Path& p, const Variant& v);
    Variant evaluate(const ValueLiteral& lit);
    std::shared_ptr<Control> control(const std::string& name);
    std::shared_ptr<Child> child(const Path& p);
    ObjectRef treeNode(Object& tree, const std::string& treeName, const std::string& key);
    std::string formatFor(const Variant& v, std::string_view member);

    // Commands: the world the script sets up
    void cmdScreen(const Tokens& t);
    void cmdForm(const Tokens& t);
    void cmdToday(const Tokens& t);
    void cmdDateOrder(const Tokens& t);
    void cmdRefuseModeless(const Tokens& t);
    void cmdAnswer(const Tokens& t);
    // ... the form and its controls
    void cmdNew(const Tokens& t);
    void cmdLoad(const Tokens& t);
    void cmdSave(const Tokens& t);
    void cmdDemo(const Tokens& t);
    void cmdScreenshot(const Tokens& t);
    void cmdSize(const Tokens& t);
    // ... members by path
    void cmdSet(const Tokens& t);
    void cmdGet(const Tokens& t);
    void cmdCall(const Tokens& t);
    void cmdDump(const Tokens& t);
    void cmdExpect(const Tokens& t);
    // ... the user and the loop
    void cmdMouse(const Tokens& t);
    void cmdDayClick(const Tokens& t);
    void cmdDropDown(const Tokens& t);
    void cmdChange(const Tokens& t);
    void cmdKey(const Tokens& t);
    void cmdHandler(const Tokens& t);
    void cmdActivate(const Tokens& t);
    void cmdAdvance(const Tokens& t);
    void cmdDoEvents(const Tokens& t);
    // ... the tree view
    void cmdNode(const Tokens& t);
    void cmdSelect(const Tokens& t);
    void cmdTree(const Tokens& t);
    void cmdStats(const Tokens& t);

    ScriptBackend& backend_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<Form> form_;
    ObjectIdentities ids_;
    ObjectRef screen_;
    ObjectRef formObject_;  // the form's window, by the form's name
    std::map<std::string, std::vector<HandlerValue>> handlers_;  // by "name.event" in lower case
    std::string unloadable_;  // the file whose load failed last, until a load succeeds

    std::istream* in_ = nullptr;
    int lineNo_ = 0;
    int modalDepth_ = 0;
    bool expectFailed_ = false;
    bool scriptEndedInModal_ = false;
    bool modalEndReported_ = false;
    bool unsettled_ = false;  // lines of the application's work ran since the loop last turned
    bool controlsPlaced_ = false;  // new placed controls the backend has not heard of
};

}  // namespace tavo
