#include "apps/tavo_run/script_engine.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>

#include "apps/tavo_run/demo_form.h"
#include "apps/tavo_run/script_objects.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"
#include "tavo/host/registry.h"

namespace tavo {

namespace {

// One line of the script without its end; false at the end of the script.
// A line past the limit, or a script the system fails to read (a folder
// opens, but gives no lines), is a malformed script, never a short one.
bool readLine(std::istream& in, std::string& line, std::size_t limit) {
    line.clear();
    std::istream::sentry ok(in, true);
    if (!ok) return false;
    std::streambuf& buf = *in.rdbuf();
    try {
        for (int c = buf.sbumpc(); c != std::char_traits<char>::eof(); c = buf.sbumpc()) {
            if (c == '\n') return true;
            if (line.size() == limit)
                throw ScriptSyntaxError("the line is longer than " + std::to_string(limit) + " bytes");
            line.push_back(static_cast<char>(c));
        }
    } catch (const std::ios_base::failure&) {
        in.setstate(std::ios_base::badbit);
        throw ScriptSyntaxError("the script cannot be read any further");
    }
    in.setstate(std::ios_base::eofbit);
    return !line.empty();
}

}  // namespace

ScriptEngine::ScriptEngine(ScriptBackend& backend, std::ostream& out, std::ostream& err)
    : backend_(backend), out_(out), err_(err), screen_(std::make_shared<ScreenObject>(backend.host())) {
    backend_.setTrace([this](const std::string& line) { out_ << line << std::endl; });
    backend_.setHandlerError([this](const HostError& e) {
        if (scriptEndedInModal_) modalEndReported_ = true;
        printError(e.number(), lineNo_ > 0 ? "line " + std::to_string(lineNo_) : "load", e.what());
    });
    openForm("Form1");
}

ScriptEngine::~ScriptEngine() {
    backend_.setModalIdle({});
    backend_.setTrace({});
    backend_.setHandlerError({});
    handlers_.clear();
    form_.reset();
}

void ScriptEngine::openForm(const std::string& name) {
    if (form_ && form_->name() == name) return;
    formObject_.reset();
    form_.reset();
    form_ = std::make_unique<Form>(backend_.host(), name);
    form_->setListener({
        [this](Control& c, std::string_view event, std::span<Variant> args) { onEvent(c, event, args); },
        [this](Control& c, std::string_view property) {
            out_ << "changed " << c.instanceName() << '.' << property << std::endl;
        },
    });
    formObject_ = std::make_shared<FormWindowObject>(form_->window());
    backend_.setMainWindow(form_->window());
}

// The demo's own load code fills its tree, as an application fills its tree
// when its form loads; a saved copy of the demo reloads with the same tree.
void ScriptEngine::load(const FormData& data) {
    openForm(data.name);
    // A control that refused a value does not keep the form from its window.
    std::optional<FormLoadError> refused;
    try {
        form_->load(data);
    } catch (const FormLoadError& e) {
        refused = e;
    }
    unloadable_.clear();
    if (ascii::equalsNoCase(form_->name(), demo::kFormName))
        if (auto tree = form_->find(demo::kTreeName)) {
            const Variant nodes = tree->get("Nodes");
            if (nodes.isObject() && nodes.rawObject() && nodes.rawObject()->get("Count").toLong() == 0) {
                for (const demo::TreeNode& n : demo::sampleTree())
                    backend_.addTreeNode(*tree, std::string(n.key), std::string(n.parentKey), std::string(n.text));
                backend_.selectTreeNode(*tree, std::string(demo::sampleTree().front().key));
            }
        }
    controlsPlaced_ = false;
    backend_.formChanged(*form_);
    if (refused) throw *refused;
}

// A file that could not be loaded is remembered, so that a save does not put
// the form that is open in its place.
void ScriptEngine::loadFile(const std::string& path) {
    try {
        load(readFormFile(path));
    } catch (const FormLoadError&) {
        throw;
    } catch (...) {
        unloadable_ = path;
        throw;
    }
}

void ScriptEngine::saveForm(const std::string& path) {
    std::error_code ec;
    if (!unloadable_.empty() && (path == unloadable_ || std::filesystem::equivalent(path, unloadable_, ec)))
        throw FormFileError(path, 0, "",
                            "cannot save over it: loading it failed, so the form now open does not hold what the file "
                            "holds; correct the file and load it again, or save under another name");
    saveFormFile(path, form_->save());
}

void ScriptEngine::printLoadError(const FormLoadError& e, const std::string& where) {
    for (const LoadFailure& f : e.failures()) printError(f.number, where, f.text);
}

void ScriptEngine::loadDemo() {
    try {
        load(parseFormText(demo::formText(backend_.host().today()), "the demo form"));
    } catch (const FormLoadError& e) {
        printLoadError(e, "demo");
    } catch (const HostError& e) {
        printError(e.number(), "demo", e.what());
    }
    settle(0);
}

void ScriptEngine::loadForm(const std::string& path) {
    try {
        loadFile(path);
    } catch (const FormFileError& e) {
        printError(e.line() > 0 ? err::InvalidFileFormat : err::PathFileAccessError, "load", e.what());
    } catch (const FormLoadError& e) {
        printLoadError(e, "load");
    } catch (const HostError& e) {
        printError(e.number(), "load", e.what());
    }
    settle(0);
}

int ScriptEngine::run(std::istream& script) {
    in_ = &script;
    backend_.setModalIdle([this] { return modalIdle(); });
    int status = 0;
    try {
        while (step()) {
        }
        if (unsettled_) {
            settle(lineNo_);
            reportScriptEndInModal("line " + std::to_string(lineNo_));
        }
    } catch (const ScriptSyntaxError& e) {
        err_ << "line " << lineNo_ << ": " << e.what() << std::endl;
        status = 2;
    }
    backend_.setModalIdle({});
    if (status == 0 && (expectFailed_ || scriptEndedInModal_)) status = 1;
    return status;
}

bool ScriptEngine::step() {
    std::string line;
    ++lineNo_;
    if (!readLine(*in_, line, kMaxLineBytes)) {
        --lineNo_;
        return false;
    }
    execute(line);
    return true;
}

// A modal window waits for the user: the next line of the script is the
// user's next action inside its loop.
bool ScriptEngine::modalIdle() {
    ++modalDepth_;
    bool more = false;
    try {
        more = step();
    } catch (...) {
        --modalDepth_;
        throw;
    }
    --modalDepth_;
    if (!more) scriptEndedInModal_ = true;
    return more;
}

void ScriptEngine::printError(int number, const std::string& where, const std::string& text) {
    out_ << "error " << number << ' ' << where << ": " << text << std::endl;
}

void ScriptEngine::execute(const std::string& line) {
    const Tokens tokens = splitTokens(line);
    if (tokens.empty()) return;
    const int here = lineNo_;
    const std::string where = "line " + std::to_string(here);
    // Inside a modal loop the loop itself delivers what a line queued.
    bool turns = false;
    try {
        const Command& c = command(tokens);
        turns = c.loop == Loop::Turns && modalDepth_ == 0;
        // What the application's own lines queued comes before the user's action.
        if (turns && unsettled_) settle(here);
        (this->*c.run)(tokens);
    } catch (const FormLoadError& e) {
        printLoadError(e, where);
    } catch (const HostError& e) {
        if (scriptEndedInModal_) modalEndReported_ = true;
        printError(e.number(), where, e.what());
    } catch (const FormFileError& e) {
        printError(e.line() > 0 ? err::InvalidFileFormat : err::PathFileAccessError, where, e.what());
    } catch (const ScriptSyntaxError&) {
        if (modalDepth_ == 0 && unsettled_) settle(here);
        throw;
    } catch (const std::exception& e) {
        // Whatever else fails (memory, the file system) is reported, not a crash.
        printError(err::InternalError, where, standardErrorText(err::InternalError) + ": " + e.what());
    }
    if (turns) settle(here);
    else if (modalDepth_ == 0) unsettled_ = true;
    else arrangeForm();
    reportScriptEndInModal(where);
}

void ScriptEngine::reportScriptEndInModal(const std::string& where) {
    if (!scriptEndedInModal_ || modalEndReported_ || modalDepth_ != 0) return;
    // The control that showed the window ran it under its own error guard,
    // which swallowed the loop's failure: say it here.
    modalEndReported_ = true;
    printError(err::InvalidProcedureCall, where, "the script ended while a modal window waited for input");
}

void ScriptEngine::settle(int line) {
    unsettled_ = false;
    arrangeForm();
    try {
        backend_.runUntilIdle();
    } catch (const HostError& e) {
        if (scriptEndedInModal_) modalEndReported_ = true;
        printError(e.number(), line > 0 ? "line " + std::to_string(line) : "load", e.what());
    }
}

void ScriptEngine::arrangeForm() {
    if (!controlsPlaced_) return;
    controlsPlaced_ = false;
    backend_.formChanged(*form_);
}

// ---- Events ------------------------------------------------------------------

void ScriptEngine::onEvent(Control& c, std::string_view event, std::span<Variant> args) {
    const TypeInfo* info = ComponentRegistry::global().typeInfo(form_->classOf(c));
    const EventInfo* ev = info ? info->event(event) : nullptr;
    auto paramName = [&](std::size_t i) {
        return ev && i < ev->params.size() ? ev->params[i].name : "Arg" + std::to_string(i + 1);
    };
    out_ << "event " << c.instanceName() << '.' << event;
    for (std::size_t i = 0; i < args.size(); ++i) out_ << ' ' << paramName(i) << '=' << formatValue(args[i], false, ids_);
    out_ << std::endl;

    auto it = handlers_.find(handlerKey(c.instanceName() + "." + std::string(event)));
    if (it == handlers_.end()) return;
    for (const HandlerValue& h : it->second)
        for (std::size_t i = 0; i < args.size(); ++i)
            if (ascii::equalsNoCase(paramName(i), h.param)) args[i] = h.value;
}

// Handlers are found by control and event in any letter case.
std::string ScriptEngine::handlerKey(std::string_view nameDotEvent) { return ascii::folded(nameDotEvent); }

}  // namespace tavo
