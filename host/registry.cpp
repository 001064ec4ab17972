#include "tavo/host/registry.h"

#include "tavo/host/ascii_text.h"
#include "tavo/host/control.h"
#include "tavo/host/error.h"
#include "tavo/host/object.h"

namespace tavo {

const MemberInfo* TypeInfo::member(std::string_view name) const {
    for (const auto& m : members)
        if (ascii::equalsNoCase(m.name, name)) return &m;
    return nullptr;
}

const EventInfo* TypeInfo::event(std::string_view name) const {
    for (const auto& e : events)
        if (ascii::equalsNoCase(e.name, name)) return &e;
    return nullptr;
}

ComponentRegistry& ComponentRegistry::global() {
    static ComponentRegistry registry;
    return registry;
}

void ComponentRegistry::add(TypeInfo info, ControlFactory factory) {
    for (auto& e : entries_) {
        if (ascii::equalsNoCase(e.info.progId, info.progId)) {
            e = Entry{std::move(info), std::move(factory)};
            return;
        }
    }
    entries_.push_back(Entry{std::move(info), std::move(factory)});
}

const TypeInfo* ComponentRegistry::typeInfo(std::string_view progId) const {
    for (const auto& e : entries_)
        if (ascii::equalsNoCase(e.info.progId, progId)) return &e.info;
    return nullptr;
}

std::shared_ptr<Control> ComponentRegistry::create(std::string_view progId, ControlSite& site) const {
    for (const auto& e : entries_) {
        if (!ascii::equalsNoCase(e.info.progId, progId)) continue;
        if (!e.factory) throwHostError(err::CantCreateObject, "class '" + std::string(progId) + "' has no factory");
        return e.factory(site);
    }
    throwHostError(err::CantCreateObject, "class '" + std::string(progId) + "' is not registered");
}

std::vector<std::string> ComponentRegistry::names() const {
    std::vector<std::string> out;
    out.reserve(entries_.size());
    for (const auto& e : entries_) out.push_back(e.info.progId);
    return out;
}

}  // namespace tavo
