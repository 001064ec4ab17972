#pragma once
// The host's tagged value. Conversions follow the platform's rules (round half
// to even, overflow at the 16-bit limits, text to date in the host's preferred
// day/month order); a conversion that cannot be made throws HostError 6 or 13,
// never a silent default.
#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "tavo/host/host_export.h"

namespace tavo {

class Object;
using ObjectRef = std::shared_ptr<Object>;

// Truth values as the host stores them: True is -1, False is 0.
inline constexpr int16_t vbTrue = -1;
inline constexpr int16_t vbFalse = 0;
inline constexpr int16_t toTruth(bool b) { return b ? vbTrue : vbFalse; }

enum class VarType : uint8_t { Empty, Integer, Long, Double, Date, String, Object, Boolean };

class TAVO_HOST_EXPORT Variant {
public:
    Variant() = default;  // Empty
    static Variant integer(int16_t v);
    static Variant longValue(int32_t v);
    static Variant number(double v);  // a double (twips, serials on the way in)
    static Variant date(double serial);  // checked against the date range
    static Variant string(std::string v);
    static Variant object(ObjectRef v);  // an empty reference is "Nothing"
    static Variant boolean(bool v);

    VarType type() const { return type_; }
    bool isEmpty() const { return type_ == VarType::Empty; }
    bool isObject() const { return type_ == VarType::Object; }
    bool isNothing() const { return type_ == VarType::Object && !obj_; }
    bool isNumeric() const;  // Integer, Long, Double, Date, Boolean

    // Conversions (throw HostError 6 overflow / 13 type mismatch).
    int16_t toInteger() const;
    int32_t toLong() const;
    double toDouble() const;
    float toSingle() const;
    double toDate() const;           // date serial; text is parsed in the host's order
    int16_t toBoolean() const;       // -1 or 0
    bool isTrue() const { return toBoolean() != 0; }
    std::string toString() const;    // the host's display form ("True", "21.08.2000"...)
    uint32_t toColour() const { return static_cast<uint32_t>(toLong()); }
    ObjectRef toObject() const;      // Object type only (Nothing gives nullptr); else 13

    // Raw access for code that already checked type().
    const std::string& rawString() const { return str_; }
    const ObjectRef& rawObject() const { return obj_; }
    double rawNumber() const { return num_; }

    // Equality as the property store uses it for its default rule: numbers by
    // value (a date equals the same serial), strings exactly, objects by identity.
    friend TAVO_HOST_EXPORT bool operator==(const Variant& a, const Variant& b);
    // Ordering comparison of the host: numbers and dates on the time line,
    // strings by bytes; returns <0, 0, >0; throws 13 when not comparable.
    static int compare(const Variant& a, const Variant& b);

private:
    VarType type_ = VarType::Empty;
    double num_ = 0;  // Integer, Long, Double, Date, Boolean
    std::string str_;
    ObjectRef obj_;
};

}  // namespace tavo
