// The script's commands: one table of names, usages and handlers, from which
// a line is dispatched, its arguments checked and its usage shown.
#include <cstdint>
#include <limits>
#include <ostream>

#include "apps/tavo_run/demo_form.h"
#include "apps/tavo_run/script_engine.h"
#include "apps/tavo_run/script_objects.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"
#include "tavo/host/registry.h"

namespace tavo {

namespace {

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

bool onOff(const std::string& token) {
    if (ascii::equalsNoCase(token, "on")) return true;
    if (ascii::equalsNoCase(token, "off")) return false;
    throw ScriptSyntaxError("expected on or off, not " + token);
}

double dateArgument(const std::string& token) {
    if (token.size() >= 2 && token.front() == '#' && token.back() == '#')
        return parseScriptDate(std::string_view(token).substr(1, token.size() - 2));
    return parseScriptDate(token);
}

std::string fileArgument(const std::string& token) { return token[0] == '"' ? unquote(token) : token; }

const ScriptEngine::Command& commandNamed(std::string_view name) {
    for (const ScriptEngine::Command& c : ScriptEngine::commands())
        if (c.name == name) return c;
    throw ScriptSyntaxError("unknown command " + std::string(name));
}

// A line whose words do not fit one of its command's forms.
[[noreturn]] void wrongArguments(const ScriptEngine::Tokens& t, std::string_view what) {
    throw ScriptSyntaxError(std::string(what) + " (usage: " + ScriptEngine::usage(commandNamed(t[0])) + ")");
}

}  // namespace

std::span<const ScriptEngine::Command> ScriptEngine::commands() {
    using E = ScriptEngine;
    constexpr std::size_t kAny = 63;
    static const Command table[] = {
        {"screen", {"<width px> <height px> [<dpi>]", "at <left px> <top px> <width px> <height px>"}, 2, 5,
         Loop::Stays, &E::cmdScreen},
        {"form", {"<left px> <top px>"}, 2, 2, Loop::Stays, &E::cmdForm},
        {"today", {"<yyyy-mm-dd>"}, 1, 1, Loop::Stays, &E::cmdToday},
        {"dateorder", {"dmy|mdy"}, 1, 1, Loop::Stays, &E::cmdDateOrder},
        {"refuse-modeless", {"on|off"}, 1, 1, Loop::Stays, &E::cmdRefuseModeless},
        {"answer", {"<n>"}, 1, 1, Loop::Stays, &E::cmdAnswer},
        {"new", {"<Library.Class> <Name> [<left> <top> <width> <height>]"}, 2, 6, Loop::Stays, &E::cmdNew},
        {"load", {"<file>"}, 1, 1, Loop::Stays, &E::cmdLoad},
        {"save", {"<file>"}, 1, 1, Loop::Stays, &E::cmdSave},
        {"demo", {""}, 0, 0, Loop::Stays, &E::cmdDemo},
        {"screenshot", {"<png file>"}, 1, 1, Loop::Stays, &E::cmdScreenshot},
        {"size", {"<Name> <width> <height>"}, 3, 3, Loop::Stays, &E::cmdSize},
        {"set", {"<path> <value>"}, 2, 2, Loop::Stays, &E::cmdSet},
        {"get", {"<path>"}, 1, 1, Loop::Stays, &E::cmdGet},
        {"call", {"<path> [<value> ...]"}, 1, kAny, Loop::Stays, &E::cmdCall},
        {"dump", {"<path>"}, 1, 1, Loop::Stays, &E::cmdDump},
        {"mousedown", {"<path> [<button> [<x> <y>]]"}, 1, 4, Loop::Turns, &E::cmdMouse},
        {"mouseup", {"<path> [<button> [<x> <y>]]"}, 1, 4, Loop::Turns, &E::cmdMouse},
        {"click", {"<path> [<button> [<x> <y>]]"}, 1, 4, Loop::Turns, &E::cmdMouse},
        {"dayclick", {"<path> <yyyy-mm-dd>"}, 2, 2, Loop::Turns, &E::cmdDayClick},
        {"dropdown", {"<path>"}, 1, 1, Loop::Turns, &E::cmdDropDown},
        {"change", {"<path> <yyyy-mm-dd>"}, 2, 2, Loop::Turns, &E::cmdChange},
        {"key", {"<path> <key>"}, 2, 2, Loop::Turns, &E::cmdKey},
        {"handler",
         {"<Name>.<Event> <Param>=<value>", "<Name>.<Event> off"}, 2, kAny, Loop::Stays, &E::cmdHandler},
        {"activate", {"other|app"}, 1, 1, Loop::Turns, &E::cmdActivate},
        {"advance", {"<ms>"}, 1, 1, Loop::Turns, &E::cmdAdvance},
        {"doevents", {""}, 0, 0, Loop::Turns, &E::cmdDoEvents},
        {"node", {"<Tree> add <key> [<parent key>] \"<text>\""}, 4, 5, Loop::Stays, &E::cmdNode},
        {"select", {"<Tree> <key>"}, 2, 2, Loop::Stays, &E::cmdSelect},
        {"tree", {"<Tree>"}, 1, 1, Loop::Stays, &E::cmdTree},
        {"stats", {"<Tree>"}, 1, 1, Loop::Stays, &E::cmdStats},
        {"expect", {"<path> <value>"}, 2, 2, Loop::Stays, &E::cmdExpect},
    };
    return table;
}

std::string ScriptEngine::usage(const Command& c) {
    std::string text;
    for (std::string_view form : c.forms) {
        if (!text.empty() && form.empty()) break;
        if (!text.empty()) text += " | ";
        text += c.name;
        if (!form.empty()) text += " " + std::string(form);
    }
    return text;
}

const ScriptEngine::Command& ScriptEngine::command(const Tokens& t) {
    const Command& c = commandNamed(t[0]);
    const std::size_t args = t.size() - 1;
    if (args < c.minArgs) wrongArguments(t, "missing argument");
    if (args > c.maxArgs) wrongArguments(t, "too many arguments");
    return c;
}

// ---- The world the script sets up --------------------------------------------

void ScriptEngine::cmdScreen(const Tokens& t) {
    constexpr long long kIntMax = std::numeric_limits<int>::max();
    auto whole = [&](std::size_t k, const char* what) {
        const long long v = parseInteger(t[k], what);
        if (v < -kIntMax || v > kIntMax)
            throw ScriptSyntaxError(std::string(what) + " must be within " + std::to_string(kIntMax) + " of 0");
        return static_cast<int>(v);
    };
    if (t[1] == "at") {
        if (t.size() != 6) throw ScriptSyntaxError("screen at takes <left px> <top px> <width px> <height px>");
        backend_.addScreen(whole(2, "screen left"), whole(3, "screen top"), whole(4, "screen width"),
                           whole(5, "screen height"));
        return;
    }
    if (t.size() > 4) throw ScriptSyntaxError("screen takes <width px> <height px> [<dpi>]");
    // The host has its own, smaller limits and names them; this only keeps
    // the figures whole on their way there.
    const int w = whole(1, "screen width"), h = whole(2, "screen height"), dpi = t.size() > 3 ? whole(3, "dpi") : 96;
    if (w <= 0 || h <= 0 || dpi <= 0) throw ScriptSyntaxError("screen sizes and dpi must be above 0");
    backend_.setScreen(w, h, dpi);
}

void ScriptEngine::cmdForm(const Tokens& t) {
    const long long left = parseInteger(t[1], "form left"), top = parseInteger(t[2], "form top");
    Host& host = backend_.host();
    form_->window().setLeft(static_cast<float>(left) * host.twipsPerPixelX());
    form_->window().setTop(static_cast<float>(top) * host.twipsPerPixelY());
}

void ScriptEngine::cmdToday(const Tokens& t) { backend_.setToday(dateArgument(t[1])); }

void ScriptEngine::cmdDateOrder(const Tokens& t) {
    if (t[1] == "dmy") setPreferredDateOrder(DateOrder::DayMonthYear);
    else if (t[1] == "mdy") setPreferredDateOrder(DateOrder::MonthDayYear);
    else throw ScriptSyntaxError("dateorder is dmy or mdy, not " + t[1]);
}

void ScriptEngine::cmdRefuseModeless(const Tokens& t) { backend_.setRefuseModeless(onOff(t[1])); }

void ScriptEngine::cmdAnswer(const Tokens& t) {
    backend_.setMsgBoxAnswer(static_cast<int>(parseInteger(t[1], "answer")));
}

// ---- The form and its controls -----------------------------------------------

void ScriptEngine::cmdNew(const Tokens& t) {
    if (t.size() != 3 && t.size() != 7) wrongArguments(t, "wrong number of arguments");
    const std::string& progId = t[1];
    if (progId.find('.') == std::string::npos) throw ScriptSyntaxError("a class is Library.Class, not " + progId);
    const std::string name = identifier(t[2], "the control's name");
    Placement place{0, 0, kFallbackWidth, kFallbackHeight};
    for (const DefaultSize& d : kDefaultSizes)
        if (ascii::equalsNoCase(d.progId, progId)) place.width = d.width, place.height = d.height;
    if (t.size() == 7) {
        place.left = static_cast<float>(parseNumber(t[3], "left"));
        place.top = static_cast<float>(parseNumber(t[4], "top"));
        place.width = static_cast<float>(parseNumber(t[5], "width"));
        place.height = static_cast<float>(parseNumber(t[6], "height"));
    }
    form_->add(progId, name, place);
    controlsPlaced_ = true;
}

void ScriptEngine::cmdLoad(const Tokens& t) { loadFile(fileArgument(t[1])); }

void ScriptEngine::cmdSave(const Tokens& t) { saveForm(fileArgument(t[1])); }

void ScriptEngine::cmdDemo(const Tokens&) {
    load(parseFormText(demo::formText(backend_.host().today()), "the demo form"));
}

void ScriptEngine::cmdScreenshot(const Tokens& t) {
    arrangeForm();
    backend_.screenshot(fileArgument(t[1]));
}

void ScriptEngine::cmdSize(const Tokens& t) {
    const std::string name = identifier(t[1], "the control");
    const float w = static_cast<float>(parseNumber(t[2], "width"));
    const float h = static_cast<float>(parseNumber(t[3], "height"));
    ControlSite* site = form_->siteOf(*control(name));
    site->setWidth(w);
    site->setHeight(h);
}

// ---- Members by path -----------------------------------------------------------

void ScriptEngine::cmdSet(const Tokens& t) {
    const Path p = memberPath(t[1]);
    if (p.segments.back().hasArg) throw ScriptSyntaxError("set cannot write an indexed member: " + p.text);
    const ValueLiteral lit = parseValue(t[2]);
    write(p, evaluate(lit));
}

void ScriptEngine::cmdGet(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const Variant v = read(p);
    out_ << p.text << " = " << formatFor(v, p.segments.back().name) << std::endl;
}

void ScriptEngine::cmdCall(const Tokens& t) {
    const Path p = memberPath(t[1]);
    if (p.segments.back().hasArg) throw ScriptSyntaxError("call takes its arguments after the path: " + p.text);
    std::vector<ValueLiteral> literals;
    for (std::size_t i = 2; i < t.size(); ++i) literals.push_back(parseValue(t[i]));
    const ObjectRef parent = resolveParent(p);
    std::vector<Variant> args;
    for (const ValueLiteral& lit : literals) args.push_back(evaluate(lit));
    const Variant result = parent->call(p.segments.back().name, args);
    if (!result.isEmpty()) out_ << p.text << " = " << formatFor(result, p.segments.back().name) << std::endl;
}

// A control on the form lists its place, then the properties of its type; any
// other object the properties its class serves.
void ScriptEngine::cmdDump(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const ObjectRef obj = resolveObject(p);
    std::vector<std::pair<ObjectRef, std::string>> members;
    const auto* ctl = dynamic_cast<const Control*>(obj.get());
    ControlSite* site = ctl ? form_->siteOf(*ctl) : nullptr;
    const TypeInfo* info = site ? ComponentRegistry::global().typeInfo(form_->classOf(*ctl)) : nullptr;
    if (info) {
        const auto extender = std::make_shared<ExtenderObject>(*site);
        for (const std::string& name : extender->propertyNames()) members.emplace_back(extender, name);
        for (const MemberInfo& m : info->members)
            if (m.kind == MemberKind::Property && m.canGet) members.emplace_back(obj, m.name);
    } else {
        for (const std::string& name : obj->propertyNames()) members.emplace_back(obj, name);
    }
    if (members.empty())
        throw HostError(err::NoSuchMember, "no member list is known for " + p.text + " (" + obj->className() + ")");
    for (const auto& [owner, name] : members) {
        out_ << p.text << '.' << name << " = ";
        try {
            out_ << formatFor(owner->get(name), name) << std::endl;
        } catch (const HostError& e) {
            out_ << "error " << e.number() << ": " << e.what() << std::endl;
        }
    }
}

void ScriptEngine::cmdExpect(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const ValueLiteral lit = parseValue(t[2]);
    const Variant expected = evaluate(lit);
    Variant actual;
    try {
        actual = read(p);
    } catch (const HostError&) {
        expectFailed_ = true;  // what cannot be read is not what was expected
        throw;
    }
    const bool colour = lit.hex || isColourMember(p.segments.back().name);
    if (valuesMatch(actual, expected, colour)) return;
    expectFailed_ = true;
    out_ << "expect failed line " << lineNo_ << ": " << p.text << " = " << formatFor(actual, p.segments.back().name)
         << ", expected " << lit.source << std::endl;
}

// ---- The user and the loop -------------------------------------------------------

void ScriptEngine::cmdMouse(const Tokens& t) {
    if (t.size() == 4) wrongArguments(t, "wrong number of arguments");
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

void ScriptEngine::cmdDayClick(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const double date = dateArgument(t[2]);
    backend_.dayClick(child(p), date);
}

void ScriptEngine::cmdDropDown(const Tokens& t) { backend_.dropDown(child(parsePath(t[1]))); }

void ScriptEngine::cmdChange(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const double date = dateArgument(t[2]);
    backend_.change(child(p), date);
}

void ScriptEngine::cmdKey(const Tokens& t) {
    const Path p = parsePath(t[1]);
    const std::string key = parseKeyName(t[2]);
    backend_.postKey(child(p), key);
}

void ScriptEngine::cmdHandler(const Tokens& t) {
    const Path target = parsePath(t[1]);
    if (target.segments.size() != 2 || target.segments[0].hasArg || target.segments[1].hasArg)
        throw ScriptSyntaxError("a handler is for <Name>.<Event>, not " + t[1]);
    const std::string key = handlerKey(t[1]);
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

void ScriptEngine::cmdActivate(const Tokens& t) {
    if (t[1] == "other") backend_.postActivateOtherWindow();
    else if (t[1] == "app") backend_.postActivateOtherApplication();
    else throw ScriptSyntaxError("activate other or activate app, not " + t[1]);
}

void ScriptEngine::cmdAdvance(const Tokens& t) {
    const long long ms = parseInteger(t[1], "advance");
    if (ms < 0) throw ScriptSyntaxError("advance needs milliseconds of 0 or more");
    backend_.advance(ms);
}

void ScriptEngine::cmdDoEvents(const Tokens&) { backend_.doEvents(); }

// ---- The tree view -----------------------------------------------------------------

void ScriptEngine::cmdNode(const Tokens& t) {
    if (t[2] != "add") wrongArguments(t, "a node is added with add, not " + t[2]);
    const std::string tree = identifier(t[1], "the tree");
    const std::string key = fileArgument(t[3]);
    const std::string parent = t.size() == 6 ? fileArgument(t[4]) : std::string();
    if (t.back()[0] != '"') throw ScriptSyntaxError("a node's text is in double quotes: " + t.back());
    const std::string text = unquote(t.back());
    backend_.addTreeNode(*control(tree), key, parent, text);
}

void ScriptEngine::cmdSelect(const Tokens& t) {
    const std::string name = identifier(t[1], "the tree");
    const std::string key = fileArgument(t[2]);
    backend_.selectTreeNode(*control(name), key);
}

void ScriptEngine::cmdTree(const Tokens& t) {
    std::string dump = backend_.treeDump(*control(identifier(t[1], "the tree")));
    if (!dump.empty() && dump.back() != '\n') dump += '\n';
    out_ << dump << std::flush;
}

void ScriptEngine::cmdStats(const Tokens& t) {
    const std::string name = identifier(t[1], "the tree");
    int64_t total = 0;
    for (const auto& [memberName, count] : backend_.takeTreeCallCounts(*control(name))) {
        out_ << "stats " << name << '.' << memberName << " = " << count << std::endl;
        total += count;
    }
    out_ << "stats " << name << ".total = " << total << std::endl;
}

}  // namespace tavo
