#include "apps/tavo_run/script_values.h"

#include <cmath>
#include <cstdint>

#include "apps/tavo_run/script_syntax.h"
#include "tavo/components/tree_node.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

// A colour's 32 bits, whether the value came as a signed Long or as a
// positive number above the Long range.
uint32_t colourBits(double v) {
    return v < 0 ? static_cast<uint32_t>(static_cast<int32_t>(v)) : static_cast<uint32_t>(v);
}

}  // namespace

bool sameObject(const ObjectRef& a, const ObjectRef& b) {
    if (a == b) return true;
    if (!a || !b) return false;
    const auto* na = dynamic_cast<const TreeNode*>(a.get());
    const auto* nb = dynamic_cast<const TreeNode*>(b.get());
    return na && nb && na->sameNode(*nb);
}

int ObjectIdentities::identify(const ObjectRef& obj) {
    for (const auto& [known, id] : known_)
        if (sameObject(known, obj)) return id;
    const int id = static_cast<int>(known_.size()) + 1;
    known_.emplace_back(obj, id);
    return id;
}

std::string ObjectIdentities::name(const ObjectRef& obj) {
    return obj->className() + "#" + std::to_string(identify(obj));
}

ObjectRef ObjectIdentities::find(int id) const {
    for (const auto& [known, knownId] : known_)
        if (knownId == id) return known;
    return nullptr;
}

bool isColourMember(std::string_view member) {
    constexpr std::string_view kSuffix = "color";
    return member.size() >= kSuffix.size() &&
           ascii::equalsNoCase(member.substr(member.size() - kSuffix.size()), kSuffix);
}

std::string formatValue(const Variant& v, bool asColour, ObjectIdentities& ids) {
    switch (v.type()) {
        case VarType::Empty:
            return "Empty";
        case VarType::Boolean:
            return v.rawNumber() != 0 ? "True" : "False";
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
            if (asColour && v.rawNumber() == std::trunc(v.rawNumber())) return formatColour(colourBits(v.rawNumber()));
            return formatNumber(v.rawNumber());
        case VarType::Date:
            return "#" + formatDateCanonical(v.rawNumber()) + "#";
        case VarType::String:
            return quote(v.rawString());
        case VarType::Object:
            return v.rawObject() ? ids.name(v.rawObject()) : "Nothing";
    }
    return "?";
}

bool valuesMatch(const Variant& actual, const Variant& expected, bool asColour) {
    switch (expected.type()) {
        case VarType::Empty:
            return actual.isEmpty();
        case VarType::Object:
            return actual.isObject() && sameObject(actual.rawObject(), expected.rawObject());
        case VarType::String:
            return actual.type() == VarType::String && actual.rawString() == expected.rawString();
        case VarType::Date:
            return actual.isNumeric() && actual.rawNumber() == expected.rawNumber();
        case VarType::Integer:
        case VarType::Long:
        case VarType::Double:
        case VarType::Boolean:
            if (!actual.isNumeric() || actual.type() == VarType::Date) return false;
            if (asColour) return colourBits(actual.rawNumber()) == colourBits(expected.rawNumber());
            return actual.rawNumber() == expected.rawNumber();
    }
    return false;
}

}  // namespace tavo
