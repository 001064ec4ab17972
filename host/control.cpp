#include "tavo/host/control.h"

#include "tavo/host/error.h"

namespace tavo {

ControlSite& Control::site() const {
    if (!site_)
        throwHostError(err::ObjectUnloaded,
                       "the control \"" + name_ + "\" no longer exists: its form was unloaded");
    return *site_;
}

void Control::detachFromSite() {
    if (!site_) return;
    try {
        Terminate();
    } catch (const HostError&) {
    }
    site_ = nullptr;
}

Variant Control::get(std::string_view member, const Variant* arg) {
    site();
    return getMember(member, arg);
}

void Control::put(std::string_view member, const Variant& value) {
    site();
    putMember(member, value);
}

void Control::putRef(std::string_view member, const Variant& value) {
    site();
    putRefMember(member, value);
}

Variant Control::call(std::string_view member, std::span<Variant> args) {
    site();
    return callMember(member, args);
}

std::shared_ptr<Control> toControlReference(const ObjectRef& obj) {
    if (!obj) return nullptr;
    if (auto control = std::dynamic_pointer_cast<Control>(obj)) return control;
    throwHostError(err::TypeMismatch, obj->className() + " object is not a control on a form");
}

}  // namespace tavo
