#include "apps/tavo_run/script_engine.h"

#include <cctype>
#include <cstdint>
#include <istream>
#include <map>
#include <ostream>

#include "apps/tavo_run/demo_form.h"
#include "host/date.h"
#include "host/error.h"
#include "host/font.h"
#include "host/form_file.h"
#include "host/picture.h"
#include "host/registry.h"

namespace tavo {

namespace {

// Numbers the runner raises itself, in the host's numbering.
constexpr int kInternalError = 51;
constexpr int kFileAccessError = 75;
constexpr int kBadFileFormat = 321;
constexpr int kReadOnlyProperty = 383;
constexpr int kObjectRequired = 424;
constexpr int kElementNotFound = 35601;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool is(std::string_view a, std::string_view b) { return memberNameEquals(a, b); }

// The screen as a script reads it: read only, as the controls see it.
class ScreenObject : public Object {
public:
    explicit ScreenObject(Host& host) : host_(host) {}
    std::string className() const override { return "Screen"; }
    Variant get(std::string_view member, const Variant* arg) override {
        if (!arg) {
            if (is(member, "TwipsPerPixelX")) return Variant::number(host_.twipsPerPixelX());
            if (is(member, "TwipsPerPixelY")) return Variant::number(host_.twipsPerPixelY());
            if (is(member, "Width")) return Variant::number(host_.screenWidth());
            if (is(member, "Height")) return Variant::number(host_.screenHeight());
        }
        throwNoSuchMember(*this, member);
    }
    void put(std::string_view member, const Variant&) override {
        throw HostError(kReadOnlyProperty, "Set not supported (read-only property): Screen." + std::string(member));
    }

private:
    Host& host_;
};

// The form's own window, by the form's name: its place in twips and visibility.
class FormWindowObject : public Object {
public:
    explicit FormWindowObject(Window& w) : window_(w) {}
    std::string className() const override { return "Form"; }
    Variant get(std::string_view member, const Variant* arg) override {
        if (!arg) {
            if (is(member, "Left")) return Variant::number(window_.left());
            if (is(member, "Top")) return Variant::number(window_.top());
            if (is(member, "Width")) return Variant::number(window_.width());
            if (is(member, "Height")) return Variant::number(window_.height());
            if (is(member, "Visible")) return Variant::boolean(window_.visible());
            if (is(member, "hWnd")) return Variant::longValue(static_cast<int32_t>(window_.hWnd()));
            if (is(member, "Name")) return Variant::string(window_.name());
        }
        throwNoSuchMember(*this, member);
    }
    void put(std::string_view member, const Variant& v) override {
        if (is(member, "Left")) return window_.setLeft(v.toSingle());
        if (is(member, "Top")) return window_.setTop(v.toSingle());
        if (is(member, "Width")) return window_.setWidth(v.toSingle());
        if (is(member, "Height")) return window_.setHeight(v.toSingle());
        throwNoSuchMember(*this, member);
    }

private:
    Window& window_;
};

// The members `dump` lists for objects that carry no type information.
const std::map<std::string, std::vector<std::string>, std::less<>>& dumpLists() {
    static const std::map<std::string, std::vector<std::string>, std::less<>> lists = {
        {"Screen", {"TwipsPerPixelX", "TwipsPerPixelY", "Width", "Height"}},
        {"Form", {"Name", "Left", "Top", "Width", "Height", "Visible", "hWnd"}},
        {"Font", {"Name", "Size", "Bold", "Italic", "Underline", "Strikethrough", "Charset", "Weight"}},
        {"Picture", {"Type", "Width", "Height"}},
        {"CommandButton", {"Left", "Top", "Width", "Height", "Visible", "Enabled", "Caption", "Picture"}},
        {"Image", {"Left", "Top", "Width", "Height", "Visible", "Enabled", "Picture", "ToolTipText"}},
        {"Timer", {"Enabled", "Interval"}},
        {"MSComCtl2.DTPicker",
         {"Left", "Top", "Width", "Height", "Visible", "Enabled", "Value", "MinDate", "MaxDate", "Format",
          "CustomFormat", "UpDown", "CalendarBackColor", "CalendarForeColor", "CalendarTitleBackColor",
          "CalendarTitleForeColor", "CalendarTrailingForeColor", "Font"}},
        {"MSComCtl2.MonthView",
         {"Left", "Top", "Width", "Height", "Visible", "Enabled", "Value", "MinDate", "MaxDate", "MonthColumns",
          "MonthRows", "ShowToday", "ShowWeekNumbers", "BackColor", "ForeColor", "MonthBackColor", "TitleBackColor",
          "TitleForeColor", "TrailingForeColor", "Font"}},
        {"frmCalendar", {"Visible", "Left", "Top", "Width", "Height", "hWnd", "objBackReference"}},
        {"SSNode", {"Key", "Text", "Level", "Index", "Expanded", "Children", "Parent", "Child", "Next", "LastSibling"}},
        {"SSNodes", {"Count"}},
    };
    return lists;
}

struct DefaultSize {
    std::string_view progId;
    float width, height;
};
// What a control measures when placed without a size: its own design size.
constexpr DefaultSize kDefaultSizes[] = {
    {"TavoCalendar.TavoCalendarDropDown", 3015, 330},
    {"TavoSSAddOn.TavoSSTreeController", 1080, 225},
    {"SSActiveTreeView.SSTree", 4000, 3000},
};
constexpr float kFallbackWidth = 1215, kFallbackHeight = 495;

void need(const std::vector<std::string>& t, std::size_t min, std::size_t max, std::string_view usage) {
    if (t.size() < min || t.size() > max)
        throw ScriptSyntaxError(std::string(t.size() < min ? "missing argument" : "too many arguments") +
                                " (usage: " + std::string(usage) + ")");
}

std::string identifier(const std::string& token, std::string_view what) {
    const Path p = parsePath(token);
    if (p.segments.size() != 1 || p.segments[0].hasArg)
        throw ScriptSyntaxError(std::string(what) + " must be a name, not " + token);
    return token;
}

// A path that ends in a member (Name.Member), as get, set, call and expect need.
Path memberPath(const std::string& token) {
    Path p = parsePath(token);
    if (p.segments.size() < 2) throw ScriptSyntaxError("the path " + token + " names no member (Name.Member)");
    return p;
}

std::string segmentText(const PathSegment& s) {
    if (!s.hasArg) return s.name;
    return s.name + "(" + (s.argQuoted ? quote(s.argText) : s.argText) + ")";
}

Variant segmentArg(const PathSegment& s) {
    if (!s.argQuoted) {
        try {
            const long long n = parseInteger(s.argText, "index");
            if (n >= -32768 && n <= 32767) return Variant::integer(static_cast<int16_t>(n));
            if (n >= INT32_MIN && n <= INT32_MAX) return Variant::longValue(static_cast<int32_t>(n));
        } catch (const ScriptSyntaxError&) {
        }
    }
    return Variant::string(s.argText);
}

bool onOff(const std::string& token) {
    if (is(token, "on")) return true;
    if (is(token, "off")) return false;
    throw ScriptSyntaxError("expected on or off, not " + token);
}

double dateArgument(const std::string& token) {
    if (token.size() >= 2 && token.front() == '#' && token.back() == '#')
        return parseScriptDate(std::string_view(token).substr(1, token.size() - 2));
    return parseScriptDate(token);
}

std::string fileArgument(const std::string& token) { return token[0] == '"' ? unquote(token) : token; }

}  // namespace

ScriptEngine::ScriptEngine(ScriptBackend& backend, std::ostream& out, std::ostream& err)
    : backend_(backend), out_(out), err_(err), screen_(std::make_shared<ScreenObject>(backend.host())) {
    backend_.setTrace([this](const std::string& line) { out_ << line << '\n'; });
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
            out_ << "changed " << c.instanceName() << '.' << property << '\n';
        },
    });
    formObject_ = std::make_shared<FormWindowObject>(form_->window());
    backend_.setMainWindow(form_->window());
}

// The demo's own load code fills its tree, as an application fills its tree
// when its form loads; a saved copy of the demo reloads with the same tree.
void ScriptEngine::load(const FormData& data) {
    openForm(data.name);
    form_->load(data);
    if (is(form_->name(), demo::kFormName))
        if (auto tree = form_->find(demo::kTreeName)) {
            const Variant nodes = tree->get("Nodes");
            if (nodes.isObject() && nodes.rawObject() && nodes.rawObject()->get("Count").toLong() == 0) {
                for (const demo::TreeNode& n : demo::sampleTree())
                    backend_.addTreeNode(*tree, std::string(n.key), std::string(n.parentKey), std::string(n.text));
                backend_.selectTreeNode(*tree, std::string(demo::sampleTree().front().key));
            }
        }
    backend_.formChanged(*form_);
}

void ScriptEngine::loadDemo() {
    try {
        load(parseFormText(demo::formText(backend_.host().today()), "the demo form"));
    } catch (const HostError& e) {
        printError(e.number(), "demo", e.what());
    }
    settle(0);
    out_.flush();
}

void ScriptEngine::loadForm(const std::string& path) {
    try {
        load(readFormFile(path));
    } catch (const FormFileError& e) {
        printError(e.line() > 0 ? kBadFileFormat : kFileAccessError, path, e.what());
    } catch (const HostError& e) {
        printError(e.number(), path, e.what());
    }
    settle(0);
    out_.flush();
}

int ScriptEngine::run(std::istream& script) {
    in_ = &script;
    backend_.setModalIdle([this] { return modalIdle(); });
    int status = 0;
    try {
        while (step()) {
        }
    } catch (const ScriptSyntaxError& e) {
        out_.flush();
        err_ << "line " << lineNo_ << ": " << e.what() << '\n';
        status = 2;
    }
    backend_.setModalIdle({});
    out_.flush();
    if (status == 0 && (expectFailed_ || scriptEndedInModal_)) status = 1;
    return status;
}

bool ScriptEngine::step() {
    std::string line;
    if (!std::getline(*in_, line)) return false;
    ++lineNo_;
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
    out_ << "error " << number << ' ' << where << ": " << text << '\n';
}

void ScriptEngine::execute(const std::string& line) {
    const Tokens tokens = splitTokens(line);
    if (tokens.empty()) return;
    const int here = lineNo_;
    const std::string where = "line " + std::to_string(here);
    try {
        dispatch(tokens);
    } catch (const HostError& e) {
        if (scriptEndedInModal_) modalEndReported_ = true;
        printError(e.number(), where, e.what());
    } catch (const FormFileError& e) {
        printError(e.line() > 0 ? kBadFileFormat : kFileAccessError, where, e.what());
    } catch (const ScriptSyntaxError&) {
        throw;
    } catch (const std::exception& e) {
        // Whatever else fails (memory, the file system) is reported, not a crash.
        printError(kInternalError, where, std::string("Internal error: ") + e.what());
    }
    // Inside a modal loop the loop itself delivers what the line queued.
    if (modalDepth_ == 0) settle(here);
    if (scriptEndedInModal_ && !modalEndReported_ && modalDepth_ == 0) {
        // The control that showed the window ran it under its own error guard,
        // which swallowed the loop's failure: say it here.
        modalEndReported_ = true;
        printError(err::InvalidProcedureCall, where, "the script ended while a modal window waited for input");
    }
    out_.flush();
}

void ScriptEngine::settle(int line) {
    try {
        backend_.runUntilIdle();
    } catch (const HostError& e) {
        if (scriptEndedInModal_) modalEndReported_ = true;
        printError(e.number(), line > 0 ? "line " + std::to_string(line) : "load", e.what());
    }
}

void ScriptEngine::dispatch(const Tokens& t) {
    const std::string& cmd = t[0];
    if (cmd == "screen") {
        need(t, 3, 4, "screen <width px> <height px> [<dpi>]");
        const long long w = parseInteger(t[1], "screen width"), h = parseInteger(t[2], "screen height");
        const long long dpi = t.size() > 3 ? parseInteger(t[3], "dpi") : 96;
        if (w <= 0 || h <= 0 || dpi <= 0) throw ScriptSyntaxError("screen sizes and dpi must be above 0");
        backend_.setScreen(static_cast<int>(w), static_cast<int>(h), static_cast<int>(dpi));
    } else if (cmd == "form") {
        need(t, 3, 3, "form <left px> <top px>");
        const long long left = parseInteger(t[1], "form left"), top = parseInteger(t[2], "form top");
        Host& host = backend_.host();
        form_->window().setLeft(static_cast<float>(left) * host.twipsPerPixelX());
        form_->window().setTop(static_cast<float>(top) * host.twipsPerPixelY());
    } else if (cmd == "today") {
        need(t, 2, 2, "today <yyyy-mm-dd>");
        backend_.setToday(dateArgument(t[1]));
    } else if (cmd == "dateorder") {
        need(t, 2, 2, "dateorder dmy|mdy");
        if (t[1] == "dmy") setPreferredDateOrder(DateOrder::DayMonthYear);
        else if (t[1] == "mdy") setPreferredDateOrder(DateOrder::MonthDayYear);
        else throw ScriptSyntaxError("dateorder is dmy or mdy, not " + t[1]);
    } else if (cmd == "refuse-modeless") {
        need(t, 2, 2, "refuse-modeless on|off");
        backend_.setRefuseModeless(onOff(t[1]));
    } else if (cmd == "answer") {
        need(t, 2, 2, "answer <n>");
        backend_.setMsgBoxAnswer(static_cast<int>(parseInteger(t[1], "answer")));
    } else if (cmd == "new") {
        cmdNew(t);
    } else if (cmd == "load") {
        cmdLoad(t);
    } else if (cmd == "save") {
        cmdSave(t);
    } else if (cmd == "demo") {
        need(t, 1, 1, "demo");
        load(parseFormText(demo::formText(backend_.host().today()), "the demo form"));
    } else if (cmd == "screenshot") {
        need(t, 2, 2, "screenshot <png file>");
        backend_.screenshot(fileArgument(t[1]));
    } else if (cmd == "size") {
        cmdSize(t);
    } else if (cmd == "set") {
        cmdSet(t);
    } else if (cmd == "get") {
        cmdGet(t);
    } else if (cmd == "call") {
        cmdCall(t);
    } else if (cmd == "dump") {
        cmdDump(t);
    } else if (cmd == "mousedown" || cmd == "mouseup" || cmd == "click") {
        cmdMouse(t);
    } else if (cmd == "dayclick") {
        need(t, 3, 3, "dayclick <path> <yyyy-mm-dd>");
        const Path p = parsePath(t[1]);
        const double date = dateArgument(t[2]);
        backend_.dayClick(child(p), date);
    } else if (cmd == "dropdown") {
        need(t, 2, 2, "dropdown <path>");
        backend_.dropDown(child(parsePath(t[1])));
    } else if (cmd == "change") {
        need(t, 3, 3, "change <path> <yyyy-mm-dd>");
        const Path p = parsePath(t[1]);
        const double date = dateArgument(t[2]);
        backend_.change(child(p), date);
    } else if (cmd == "key") {
        need(t, 3, 3, "key <path> <key>");
        const Path p = parsePath(t[1]);
        const std::string key = parseKeyName(t[2]);
        backend_.postKey(child(p), key);
    } else if (cmd == "handler") {
        cmdHandler(t);
    } else if (cmd == "activate") {
        need(t, 2, 2, "activate other|app");
        if (t[1] == "other") backend_.postActivateOtherWindow();
        else if (t[1] == "app") backend_.postActivateOtherApplication();
        else throw ScriptSyntaxError("activate other or activate app, not " + t[1]);
    } else if (cmd == "advance") {
        need(t, 2, 2, "advance <ms>");
        const long long ms = parseInteger(t[1], "advance");
        if (ms < 0) throw ScriptSyntaxError("advance needs milliseconds of 0 or more");
        backend_.advance(ms);
    } else if (cmd == "doevents") {
        need(t, 1, 1, "doevents");
        backend_.doEvents();
    } else if (cmd == "node") {
        cmdNode(t);
    } else if (cmd == "select") {
        need(t, 3, 3, "select <Tree> <key>");
        const std::string name = identifier(t[1], "the tree");
        const std::string key = fileArgument(t[2]);
        backend_.selectTreeNode(*control(name), key);
    } else if (cmd == "tree") {
        need(t, 2, 2, "tree <Tree>");
        std::string dump = backend_.treeDump(*control(identifier(t[1], "the tree")));
        if (!dump.empty() && dump.back() != '\n') dump += '\n';
        out_ << dump;
    } else if (cmd == "stats") {
        cmdStats(t);
    } else if (cmd == "expect") {
        cmdExpect(t);
    } else {
        throw ScriptSyntaxError("unknown command " + cmd);
    }
}

// ---- Paths -------------------------------------------------------------------

std::shared_ptr<Control> ScriptEngine::control(const std::string& name) {
    if (auto c = form_->find(name)) return c;
    throw HostError(kObjectRequired, "Object required: the form has no control named \"" + name + "\"");
}

ObjectRef ScriptEngine::resolveHead(const PathSegment& seg) {
    if (!seg.hasArg) {
        if (auto c = form_->find(seg.name)) return c;
        if (is(seg.name, "Screen")) return screen_;
        if (is(seg.name, form_->name())) return formObject_;
        if (auto w = backend_.host().findDefaultInstance(seg.name)) return w;
    }
    throw HostError(kObjectRequired, "Object required: no control or window named \"" + segmentText(seg) + "\"");
}

ObjectRef ScriptEngine::member(const ObjectRef& obj, const PathSegment& seg, const std::string& where) {
    const std::string here = where + "." + segmentText(seg);
    if (seg.hasArg && is(seg.name, "node")) {
        ObjectRef n = backend_.treeNode(*obj, seg.argText);
        if (!n) throw HostError(kElementNotFound, "Element not found: " + where + " has no node \"" + seg.argText + "\"");
        return n;
    }
    const Variant arg = seg.hasArg ? segmentArg(seg) : Variant();
    const Variant v = obj->get(seg.name, seg.hasArg ? &arg : nullptr);
    if (!v.isObject()) throw HostError(err::TypeMismatch, "Type mismatch: " + here + " is not an object");
    if (!v.rawObject()) throw HostError(err::ObjectNotSet, "Object variable not set: " + here + " is Nothing");
    return v.rawObject();
}

ObjectRef ScriptEngine::resolveObject(const Path& p) {
    ObjectRef obj = resolveHead(p.segments[0]);
    std::string where = segmentText(p.segments[0]);
    for (std::size_t i = 1; i < p.segments.size(); ++i) {
        obj = member(obj, p.segments[i], where);
        where += "." + segmentText(p.segments[i]);
    }
    return obj;
}

ObjectRef ScriptEngine::resolveParent(const Path& p) {
    Path parent = p;
    parent.segments.pop_back();
    return resolveObject(parent);
}

// A control's place and size on the form belong to its site (the extender),
// which answers before the control's own members.
ControlSite* ScriptEngine::extenderSite(const Path& p, const ObjectRef& parent) const {
    if (p.segments.size() != 2 || p.segments[1].hasArg) return nullptr;
    const auto* ctl = dynamic_cast<const Control*>(parent.get());
    if (!ctl) return nullptr;
    const std::string& m = p.segments[1].name;
    if (!is(m, "Left") && !is(m, "Top") && !is(m, "Width") && !is(m, "Height")) return nullptr;
    return form_->siteOf(*ctl);
}

Variant ScriptEngine::readMember(const ObjectRef& obj, const PathSegment& seg, ControlSite* site) {
    if (site) {
        if (is(seg.name, "Left")) return Variant::number(site->left());
        if (is(seg.name, "Top")) return Variant::number(site->top());
        if (is(seg.name, "Width")) return Variant::number(site->width());
        return Variant::number(site->height());
    }
    if (seg.hasArg && is(seg.name, "node")) return Variant::object(member(obj, seg, obj->className()));
    const Variant arg = seg.hasArg ? segmentArg(seg) : Variant();
    return obj->get(seg.name, seg.hasArg ? &arg : nullptr);
}

Variant ScriptEngine::read(const Path& p) {
    if (p.segments.size() == 1) return Variant::object(resolveHead(p.segments[0]));
    const ObjectRef parent = resolveParent(p);
    return readMember(parent, p.segments.back(), extenderSite(p, parent));
}

void ScriptEngine::write(const Path& p, const Variant& v) {
    const ObjectRef parent = resolveParent(p);
    const std::string& m = p.segments.back().name;
    if (ControlSite* site = extenderSite(p, parent)) {
        const float f = v.toSingle();
        if (is(m, "Left")) site->setLeft(f);
        else if (is(m, "Top")) site->setTop(f);
        else if (is(m, "Width")) site->setWidth(f);
        else site->setHeight(f);
        return;
    }
    if (v.isObject()) parent->putRef(m, v);
    else parent->put(m, v);
}

std::shared_ptr<Child> ScriptEngine::child(const Path& p) {
    ObjectRef obj = resolveObject(p);
    auto c = std::dynamic_pointer_cast<Child>(obj);
    if (!c) throw HostError(err::TypeMismatch, "Type mismatch: " + p.text + " is not a child control");
    return c;
}

Variant ScriptEngine::evaluate(const ValueLiteral& lit) {
    switch (lit.kind) {
        case ValueLiteral::Kind::Plain:
            return lit.plain;
        case ValueLiteral::Kind::Picture:
            return Variant::object(Picture::fromFile(lit.name));
        case ValueLiteral::Kind::Font:
            return Variant::object(std::make_shared<Font>(lit.name, lit.fontSize, lit.bold, lit.italic));
        case ValueLiteral::Kind::ControlRef:
            return Variant::object(control(lit.name));
        case ValueLiteral::Kind::NodeRef: {
            ObjectRef n = backend_.treeNode(*control(lit.name), lit.key);
            if (!n) throw HostError(kElementNotFound, "Element not found: " + lit.name + " has no node \"" + lit.key + "\"");
            return Variant::object(n);
        }
        case ValueLiteral::Kind::Printed: {
            ObjectRef obj = ids_.find(lit.printedId);
            if (!obj || obj->className() != lit.key)
                throw ScriptSyntaxError("no object has been printed as " + lit.source);
            return Variant::object(obj);
        }
    }
    return {};
}

std::string ScriptEngine::formatFor(const Variant& v, std::string_view member) {
    return formatValue(v, isColourMember(member), ids_);
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
    out_ << '\n';

    auto it = handlers_.find(lower(c.instanceName() + "." + std::string(event)));
    if (it == handlers_.end()) return;
    for (const HandlerValue& h : it->second)
        for (std::size_t i = 0; i < args.size(); ++i)
            if (is(paramName(i), h.param)) args[i] = h.value;
}

// ---- Commands ----------------------------------------------------------------

void ScriptEngine::cmdNew(const Tokens& t) {
    if (t.size() != 3 && t.size() != 7)
        throw ScriptSyntaxError(std::string(t.size() < 3 ? "missing argument" : "wrong number of arguments") +
                                " (usage: new <Library.Class> <Name> [<left> <top> <width> <height>])");
    const std::string& progId = t[1];
    if (progId.find('.') == std::string::npos) throw ScriptSyntaxError("a class is Library.Class, not " + progId);
    const std::string name = identifier(t[2], "the control's name");
    Placement place{0, 0, kFallbackWidth, kFallbackHeight};
    for (const DefaultSize& d : kDefaultSizes)
        if (is(d.progId, progId)) place.width = d.width, place.height = d.height;
    if (t.size() == 7) {
        place.left = static_cast<float>(parseNumber(t[3], "left"));
        place.top = static_cast<float>(parseNumber(t[4], "top"));
        place.width = static_cast<float>(parseNumber(t[5], "width"));
        place.height = static_cast<float>(parseNumber(t[6], "height"));
    }
    form_->add(progId, name, place);
    backend_.formChanged(*form_);
}

void ScriptEngine::cmdLoad(const Tokens& t) {
    need(t, 2, 2, "load <file>");
    load(readFormFile(fileArgument(t[1])));
}

void ScriptEngine::cmdSave(const Tokens& t) {
    need(t, 2, 2, "save <file>");
    const std::string path = fileArgument(t[1]);
    saveFormFile(path, form_->save());
}

void ScriptEngine::cmdSize(const Tokens& t) {
    need(t, 4, 4, "size <Name> <width> <height>");
    const std::string name = identifier(t[1], "the control");
    const float w = static_cast<float>(parseNumber(t[2], "width"));
    const float h = static_cast<float>(parseNumber(t[3], "height"));
    ControlSite* site = form_->siteOf(*control(name));
    site->setWidth(w);
    site->setHeight(h);
}

void ScriptEngine::cmdSet(const Tokens& t) {
    need(t, 3, 3, "set <path> <value>");
    const Path p = memberPath(t[1]);
    if (p.segments.back().hasArg) throw ScriptSyntaxError("set cannot write an indexed member: " + p.text);
    const ValueLiteral lit = parseValue(t[2]);
    write(p, evaluate(lit));
}

void ScriptEngine::cmdGet(const Tokens& t) {
    need(t, 2, 2, "get <path>");
    const Path p = parsePath(t[1]);
    const Variant v = read(p);
    out_ << p.text << " = " << formatFor(v, p.segments.back().name) << '\n';
}

void ScriptEngine::cmdCall(const Tokens& t) {
    need(t, 2, 64, "call <path> [<value> ...]");
    const Path p = memberPath(t[1]);
    if (p.segments.back().hasArg) throw ScriptSyntaxError("call takes its arguments after the path: " + p.text);
    std::vector<ValueLiteral> literals;
    for (std::size_t i = 2; i < t.size(); ++i) literals.push_back(parseValue(t[i]));
    const ObjectRef parent = resolveParent(p);
    std::vector<Variant> args;
    for (const ValueLiteral& lit : literals) args.push_back(evaluate(lit));
    const Variant result = parent->call(p.segments.back().name, args);
    if (!result.isEmpty()) out_ << p.text << " = " << formatFor(result, p.segments.back().name) << '\n';
}

void ScriptEngine::cmdDump(const Tokens& t) {
    need(t, 2, 2, "dump <path>");
    const Path p = parsePath(t[1]);
    const ObjectRef obj = resolveObject(p);
    std::vector<std::string> names;
    const auto* ctl = dynamic_cast<const Control*>(obj.get());
    ControlSite* site = ctl ? form_->siteOf(*ctl) : nullptr;
    const TypeInfo* info = site ? ComponentRegistry::global().typeInfo(form_->classOf(*ctl)) : nullptr;
    if (info) {
        for (const MemberInfo& m : info->members)
            if (m.kind == MemberKind::Property && m.canGet) names.push_back(m.name);
    } else if (auto it = dumpLists().find(obj->className()); it != dumpLists().end()) {
        names = it->second;
    } else {
        throw HostError(err::NoSuchMember, "no member list is known for " + p.text + " (" + obj->className() + ")");
    }
    auto line = [&](const std::string& name, auto&& readValue) {
        out_ << p.text << '.' << name << " = ";
        try {
            out_ << formatFor(readValue(), name) << '\n';
        } catch (const HostError& e) {
            out_ << "error " << e.number() << ": " << e.what() << '\n';
        }
    };
    if (site)
        for (const char* m : {"Left", "Top", "Width", "Height"})
            line(m, [&] { return readMember(obj, PathSegment{m, false, {}, false}, site); });
    for (const std::string& name : names) line(name, [&] { return obj->get(name); });
}

void ScriptEngine::cmdMouse(const Tokens& t) {
    if (t.size() != 2 && t.size() != 3 && t.size() != 5)
        throw ScriptSyntaxError("wrong number of arguments (usage: " + t[0] + " <path> [<button> [<x> <y>]])");
    const Path p = parsePath(t[1]);
    const long long button = t.size() > 2 ? parseInteger(t[2], "the mouse button") : 1;
    if (button < 0 || button > 7) throw ScriptSyntaxError("the mouse button is 1 left, 2 right or 4 middle");
    const float x = t.size() > 3 ? static_cast<float>(parseNumber(t[3], "x")) : 0;
    const float y = t.size() > 3 ? static_cast<float>(parseNumber(t[4], "y")) : 0;
    const auto kind = t[0] == "mousedown" ? ScriptBackend::Mouse::Down
                      : t[0] == "mouseup" ? ScriptBackend::Mouse::Up
                                          : ScriptBackend::Mouse::Click;
    backend_.postMouse(kind, child(p), static_cast<int16_t>(button), x, y);
}

void ScriptEngine::cmdHandler(const Tokens& t) {
    need(t, 3, 64, "handler <Name>.<Event> <Param>=<value> | handler <Name>.<Event> off");
    const Path target = parsePath(t[1]);
    if (target.segments.size() != 2 || target.segments[0].hasArg || target.segments[1].hasArg)
        throw ScriptSyntaxError("a handler is for <Name>.<Event>, not " + t[1]);
    const std::string key = lower(t[1]);
    if (t.size() == 3 && t[2] == "off") {
        handlers_.erase(key);
        return;
    }
    // A date with a time holds a blank, so the value may span tokens.
    std::string assignment = t[2];
    for (std::size_t i = 3; i < t.size(); ++i) assignment += " " + t[i];
    const std::size_t eq = assignment.find('=');
    if (eq == std::string::npos) throw ScriptSyntaxError("a handler sets <Param>=<value>, not " + assignment);
    const std::string param = identifier(assignment.substr(0, eq), "the parameter");
    const ValueLiteral lit = parseValue(assignment.substr(eq + 1));
    handlers_[key].push_back({param, evaluate(lit)});
}

void ScriptEngine::cmdNode(const Tokens& t) {
    if (t.size() < 5 || t.size() > 6 || t[2] != "add")
        throw ScriptSyntaxError("usage: node <Tree> add <key> [<parent key>] \"<text>\"");
    const std::string tree = identifier(t[1], "the tree");
    const std::string key = fileArgument(t[3]);
    const std::string parent = t.size() == 6 ? fileArgument(t[4]) : std::string();
    if (t.back()[0] != '"') throw ScriptSyntaxError("a node's text is in double quotes: " + t.back());
    const std::string text = unquote(t.back());
    backend_.addTreeNode(*control(tree), key, parent, text);
}

void ScriptEngine::cmdStats(const Tokens& t) {
    need(t, 2, 2, "stats <Tree>");
    const std::string name = identifier(t[1], "the tree");
    int64_t total = 0;
    for (const auto& [memberName, count] : backend_.takeTreeCallCounts(*control(name))) {
        out_ << "stats " << name << '.' << memberName << " = " << count << '\n';
        total += count;
    }
    out_ << "stats " << name << ".total = " << total << '\n';
}

void ScriptEngine::cmdExpect(const Tokens& t) {
    need(t, 3, 3, "expect <path> <value>");
    const Path p = parsePath(t[1]);
    const ValueLiteral lit = parseValue(t[2]);
    const Variant expected = evaluate(lit);
    const Variant actual = read(p);
    const bool colour = lit.hex || isColourMember(p.segments.back().name);
    if (valuesMatch(actual, expected, colour)) return;
    expectFailed_ = true;
    out_ << "expect failed line " << lineNo_ << ": " << p.text << " = " << formatFor(actual, p.segments.back().name)
         << ", expected " << lit.source << '\n';
}

}  // namespace tavo
