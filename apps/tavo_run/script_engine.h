#pragma once
// Runs a form script: one command a line, against one form on a backend.
// Everything the host sees is printed to `out` as it happens; a malformed
// line is reported on `err` and ends the run with status 2.
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "apps/tavo_run/script_backend.h"
#include "apps/tavo_run/script_syntax.h"
#include "apps/tavo_run/script_values.h"
#include "host/form.h"

namespace tavo {

class ScriptEngine {
public:
    ScriptEngine(ScriptBackend& backend, std::ostream& out, std::ostream& err);
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // Loads a form file before the script runs; a bad file prints its error.
    void loadForm(const std::string& path);
    // Replaces the form by the demo built into the runner; today's date in its date control.
    void loadDemo();
    // Runs the script to its end. Returns 0, 1 when an expect failed or the
    // script ended while a modal window waited, 2 for a malformed line.
    int run(std::istream& script);

    Form& form() { return *form_; }

private:
    using Tokens = std::vector<std::string>;
    struct HandlerValue {
        std::string param;
        Variant value;
    };

    bool step();
    bool modalIdle();
    void execute(const std::string& line);
    void dispatch(const Tokens& t);
    void settle(int line);
    void printError(int number, const std::string& where, const std::string& text);

    void openForm(const std::string& name);
    void load(const FormData& data);
    void onEvent(Control& c, std::string_view event, std::span<Variant> args);

    // Paths
    ObjectRef resolveHead(const PathSegment& seg);
    ObjectRef member(const ObjectRef& obj, const PathSegment& seg, const std::string& where);
    ObjectRef resolveObject(const Path& p);
    ObjectRef resolveParent(const Path& p);
    ControlSite* extenderSite(const Path& p, const ObjectRef& parent) const;
    Variant read(const Path& p);
    Variant readMember(const ObjectRef& obj, const PathSegment& seg, ControlSite* site);
    void write(const Path& p, const Variant& v);
    Variant evaluate(const ValueLiteral& lit);
    std::shared_ptr<Control> control(const std::string& name);
    std::shared_ptr<Child> child(const Path& p);

    // Commands
    void cmdNew(const Tokens& t);
    void cmdLoad(const Tokens& t);
    void cmdSave(const Tokens& t);
    void cmdSize(const Tokens& t);
    void cmdSet(const Tokens& t);
    void cmdGet(const Tokens& t);
    void cmdCall(const Tokens& t);
    void cmdDump(const Tokens& t);
    void cmdMouse(const Tokens& t);
    void cmdHandler(const Tokens& t);
    void cmdNode(const Tokens& t);
    void cmdStats(const Tokens& t);
    void cmdExpect(const Tokens& t);

    std::string formatFor(const Variant& v, std::string_view member);

    ScriptBackend& backend_;
    std::ostream& out_;
    std::ostream& err_;
    std::unique_ptr<Form> form_;
    ObjectIdentities ids_;
    ObjectRef screen_;
    ObjectRef formObject_;  // the form's window, by the form's name
    std::map<std::string, std::vector<HandlerValue>> handlers_;  // by "name.event" in lower case

    std::istream* in_ = nullptr;
    int lineNo_ = 0;
    int modalDepth_ = 0;
    bool expectFailed_ = false;
    bool scriptEndedInModal_ = false;
    bool modalEndReported_ = false;
};

}  // namespace tavo
