// How a script's paths reach objects and their members, and how its values
// become the host's.
#include <cstdint>

#include "apps/tavo_run/script_engine.h"
#include "apps/tavo_run/script_objects.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"
#include "tavo/host/font.h"
#include "tavo/host/picture.h"

namespace tavo {

namespace {

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

}  // namespace

std::shared_ptr<Control> ScriptEngine::control(const std::string& name) {
    if (auto c = form_->find(name)) return c;
    throwHostError(err::ObjectRequired, "the form has no control named \"" + name + "\"");
}

ObjectRef ScriptEngine::resolveHead(const PathSegment& seg) {
    if (!seg.hasArg) {
        if (auto c = form_->find(seg.name)) return c;
        if (ascii::equalsNoCase(seg.name, "Screen")) return screen_;
        if (ascii::equalsNoCase(seg.name, form_->name())) return formObject_;
        if (auto w = backend_.host().findDefaultInstance(seg.name)) return w;
    }
    throwHostError(err::ObjectRequired, "no control or window named \"" + segmentText(seg) + "\"");
}

ObjectRef ScriptEngine::member(const ObjectRef& obj, const PathSegment& seg, const std::string& where) {
    const std::string here = where + "." + segmentText(seg);
    if (seg.hasArg && ascii::equalsNoCase(seg.name, "node")) return treeNode(*obj, where, seg.argText);
    const Variant arg = seg.hasArg ? segmentArg(seg) : Variant();
    const Variant v = obj->get(seg.name, seg.hasArg ? &arg : nullptr);
    if (!v.isObject()) throwHostError(err::TypeMismatch, here + " is not an object");
    if (!v.rawObject()) throwHostError(err::ObjectNotSet, here + " is Nothing");
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

// A control's place on the form is its extender's, not its own.
ObjectRef ScriptEngine::memberOwner(const Path& p, const ObjectRef& parent) const {
    if (p.segments.size() != 2 || p.segments[1].hasArg || !ExtenderObject::serves(p.segments[1].name)) return parent;
    const auto* ctl = dynamic_cast<const Control*>(parent.get());
    ControlSite* site = ctl ? form_->siteOf(*ctl) : nullptr;
    return site ? std::make_shared<ExtenderObject>(*site) : parent;
}

Variant ScriptEngine::readMember(const ObjectRef& obj, const PathSegment& seg) {
    if (seg.hasArg && ascii::equalsNoCase(seg.name, "node")) return Variant::object(member(obj, seg, obj->className()));
    const Variant arg = seg.hasArg ? segmentArg(seg) : Variant();
    return obj->get(seg.name, seg.hasArg ? &arg : nullptr);
}

Variant ScriptEngine::read(const Path& p) {
    if (p.segments.size() == 1) return Variant::object(resolveHead(p.segments[0]));
    return readMember(memberOwner(p, resolveParent(p)), p.segments.back());
}

void ScriptEngine::write(const Path& p, const Variant& v) {
    const ObjectRef owner = memberOwner(p, resolveParent(p));
    const std::string& m = p.segments.back().name;
    if (v.isObject()) owner->putRef(m, v);
    else owner->put(m, v);
}

std::shared_ptr<Child> ScriptEngine::child(const Path& p) {
    ObjectRef obj = resolveObject(p);
    auto c = std::dynamic_pointer_cast<Child>(obj);
    if (!c) throwHostError(err::TypeMismatch, p.text + " is not a child control");
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
        case ValueLiteral::Kind::NodeRef:
            return Variant::object(treeNode(*control(lit.name), lit.name, lit.key));
        case ValueLiteral::Kind::Printed: {
            ObjectRef obj = ids_.find(lit.printedId);
            if (!obj || obj->className() != lit.key)
                throw ScriptSyntaxError("no object has been printed as " + lit.source);
            return Variant::object(obj);
        }
    }
    return {};
}

ObjectRef ScriptEngine::treeNode(Object& tree, const std::string& treeName, const std::string& key) {
    if (ObjectRef n = backend_.treeNode(tree, key)) return n;
    throwHostError(err::ElementNotFound, treeName + " has no node \"" + key + "\"");
}

std::string ScriptEngine::formatFor(const Variant& v, std::string_view member) {
    return formatValue(v, isColourMember(member), ids_);
}

}  // namespace tavo
