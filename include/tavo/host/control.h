#pragma once
// Base of a control placed on a form: the lifecycle the host drives.
#include <string>

#include "tavo/host/host.h"
#include "tavo/host/host_export.h"
#include "tavo/host/property_store.h"

namespace tavo {

class TAVO_HOST_EXPORT Control : public Object {
public:
    explicit Control(ControlSite& site) : site_(&site), name_(site.controlName()) {}

    // HostError 364 once the control's form has gone.
    ControlSite& site() const;
    Host& host() const { return site().host(); }
    const std::string& instanceName() const { return name_; }
    // False once the control's form has gone.
    bool hasSite() const { return site_ != nullptr; }

    // The host calls this as the control's form goes, while the site still
    // stands: Terminate runs, then the control lets go of the site. The
    // control object may live on where something else still holds it (the
    // popup's back reference, a script, an application); every call on it
    // by name then fails with HostError 364, and so does anything of its own
    // that needs the site.
    void detachFromSite();

    virtual void InitProperties() {}
    virtual void ReadProperties(PropertyStore&) {}
    virtual void WriteProperties(PropertyStore&) {}
    virtual void Resize() {}

    // The late-bound face: checks that the control is still on its form, then
    // asks the class's own members (getMember, ...).
    Variant get(std::string_view member, const Variant* arg = nullptr) final;
    void put(std::string_view member, const Variant& value) final;
    void putRef(std::string_view member, const Variant& value) final;
    Variant call(std::string_view member, std::span<Variant> args = {}) final;

protected:
    // The control's form is going: let go of what must not outlive it. The
    // site still stands; a failure here is passed over, since the form goes
    // whatever its controls say.
    virtual void Terminate() {}

    virtual Variant getMember(std::string_view member, const Variant* arg) { return Object::get(member, arg); }
    virtual void putMember(std::string_view member, const Variant& value) { Object::put(member, value); }
    virtual void putRefMember(std::string_view member, const Variant& value) { Object::putRef(member, value); }
    virtual Variant callMember(std::string_view member, std::span<Variant> args) {
        return Object::call(member, args);
    }

private:
    ControlSite* site_;
    std::string name_;
};

// Converts an object to the host's control reference: a control placed on a
// form. Anything else (an empty reference passes as empty) is HostError 13.
TAVO_HOST_EXPORT std::shared_ptr<Control> toControlReference(const ObjectRef& obj);

}  // namespace tavo
