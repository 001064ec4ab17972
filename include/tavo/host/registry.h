#pragma once
// The component registry: "Library.Class" to a factory and to the class's
// type information, as a property browser and a form runner need it.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tavo/host/host_export.h"

namespace tavo {

class Control;
class ControlSite;

struct TAVO_HOST_EXPORT ParamInfo {
    std::string name;
    std::string type;  // "Integer", "Long", "Single", "Date", "Object", "Variant", "Boolean", ...
    bool byRef = false;
};

enum class MemberKind { Property, Method };

struct TAVO_HOST_EXPORT MemberInfo {
    MemberKind kind = MemberKind::Property;
    std::string name;
    std::string type;     // property type, or the method's result ("" for none)
    bool canGet = true;
    bool canPut = true;
    bool putByRef = false;  // object-valued properties put by reference
    std::vector<ParamInfo> params;
    std::string description;  // help string; may be empty
};

struct TAVO_HOST_EXPORT EventInfo {
    int number = 0;  // the event's identifier within the event interface
    std::string name;
    std::vector<ParamInfo> params;
    std::string description;
};

struct TAVO_HOST_EXPORT TypeInfo {
    std::string progId;  // "Library.Class"
    std::vector<MemberInfo> members;  // interface order
    std::vector<EventInfo> events;    // interface order
    const MemberInfo* member(std::string_view name) const;
    const EventInfo* event(std::string_view name) const;
};

using ControlFactory = std::function<std::shared_ptr<Control>(ControlSite&)>;

class TAVO_HOST_EXPORT ComponentRegistry {
public:
    static ComponentRegistry& global();

    // Registering a name twice replaces the earlier entry.
    void add(TypeInfo info, ControlFactory factory);
    const TypeInfo* typeInfo(std::string_view progId) const;
    // Throws HostError 429 naming the class when it is not registered.
    std::shared_ptr<Control> create(std::string_view progId, ControlSite& site) const;
    std::vector<std::string> names() const;

private:
    struct Entry {
        TypeInfo info;
        ControlFactory factory;
    };
    std::vector<Entry> entries_;
};

}  // namespace tavo
