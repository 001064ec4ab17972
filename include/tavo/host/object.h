#pragma once
// The late-bound interface: every object the host hands around (controls, their
// children, fonts, pictures, tree nodes) can be asked for a member by name at
// run time. An unknown member is HostError 438.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tavo/host/ascii_text.h"
#include "tavo/host/host_export.h"
#include "tavo/host/variant.h"

namespace tavo {

class TAVO_HOST_EXPORT Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;

    // A short class name for messages and dumps ("Font", "TavoCalendar.TavoCalendarDropDown").
    virtual std::string className() const = 0;

    // Property read with no argument, or with one (an indexed property such as "Nodes"(i)).
    virtual Variant get(std::string_view member, const Variant* arg = nullptr);
    virtual void put(std::string_view member, const Variant& value);
    // Put by reference: objects are shared, never copied.
    virtual void putRef(std::string_view member, const Variant& value);
    // Method call with 0 or 1 arguments (more are accepted where a method declares them).
    virtual Variant call(std::string_view member, std::span<Variant> args = {});
    // The properties that read without an argument, in the class's own order:
    // what a tool lists when it shows the whole object.
    virtual std::vector<std::string> propertyNames() const { return {}; }
};

[[noreturn]] TAVO_HOST_EXPORT void throwNoSuchMember(const Object& obj, std::string_view member);

// A table of members that a class serves by name; it keeps the late-bound
// surface of a class in one place next to its typed accessors.
template <class T>
class MemberTable {
public:
    using Getter = std::function<Variant(T&, const Variant* arg)>;
    using Putter = std::function<void(T&, const Variant&)>;
    using Method = std::function<Variant(T&, std::span<Variant>)>;

    MemberTable& property(std::string name, Getter get, Putter put = {}, Putter putRef = {}) {
        members_.push_back({std::move(name), std::move(get), std::move(put), std::move(putRef), {}});
        return *this;
    }
    MemberTable& method(std::string name, Method m) {
        members_.push_back({std::move(name), {}, {}, {}, std::move(m)});
        return *this;
    }

    Variant get(T& self, std::string_view name, const Variant* arg) const {
        const Entry* e = find(name);
        if (e && e->get) return e->get(self, arg);
        if (e && e->method && !arg) return e->method(self, {});
        throwNoSuchMember(self, name);
    }
    void put(T& self, std::string_view name, const Variant& v) const {
        const Entry* e = find(name);
        if (e && e->put) return e->put(self, v);
        if (e && e->putRef && v.isObject()) return e->putRef(self, v);
        throwNoSuchMember(self, name);
    }
    void putRef(T& self, std::string_view name, const Variant& v) const {
        const Entry* e = find(name);
        if (e && e->putRef) return e->putRef(self, v);
        throwNoSuchMember(self, name);
    }
    Variant call(T& self, std::string_view name, std::span<Variant> args) const {
        const Entry* e = find(name);
        if (e && e->method) return e->method(self, args);
        if (e && e->get && args.size() <= 1) return e->get(self, args.empty() ? nullptr : &args[0]);
        throwNoSuchMember(self, name);
    }
    bool has(std::string_view name) const { return find(name) != nullptr; }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : members_) out.push_back(e.name);
        return out;
    }
    // The members with a getter, in table order, after those of the base
    // class (`out`): a class's propertyNames().
    std::vector<std::string> propertyNames(std::vector<std::string> out = {}) const {
        for (const auto& e : members_)
            if (e.get) out.push_back(e.name);
        return out;
    }

private:
    struct Entry {
        std::string name;
        Getter get;
        Putter put;
        Putter putRef;
        Method method;
    };
    const Entry* find(std::string_view name) const {
        for (const auto& e : members_)
            if (ascii::equalsNoCase(e.name, name)) return &e;
        return nullptr;
    }
    std::vector<Entry> members_;
};

}  // namespace tavo
