#pragma once
// Base of a control placed on a form: the lifecycle the host drives.
#include <string>

#include "host/host.h"
#include "host/property_store.h"

namespace tavo {

class Control : public Object {
public:
    explicit Control(ControlSite& site) : site_(site) {}

    ControlSite& site() const { return site_; }
    Host& host() const { return site_.host(); }
    std::string instanceName() const { return site_.controlName(); }

    virtual void InitProperties() {}
    virtual void ReadProperties(PropertyStore&) {}
    virtual void WriteProperties(PropertyStore&) {}
    virtual void Resize() {}

private:
    ControlSite& site_;
};

// Converts an object to the host's control reference: a control placed on a
// form. Anything else (an empty reference passes as empty) is HostError 13.
std::shared_ptr<Control> toControlReference(const ObjectRef& obj);

}  // namespace tavo
