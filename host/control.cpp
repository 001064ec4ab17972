#include "host/control.h"

#include "host/error.h"

namespace tavo {

std::shared_ptr<Control> toControlReference(const ObjectRef& obj) {
    if (!obj) return nullptr;
    if (auto control = std::dynamic_pointer_cast<Control>(obj)) return control;
    throwHostError(err::TypeMismatch, obj->className() + " object is not a control on a form");
}

}  // namespace tavo
