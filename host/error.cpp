#include "host/error.h"

namespace tavo {

std::string standardErrorText(int number) {
    switch (number) {
    case err::InvalidProcedureCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::TypeMismatch: return "Type mismatch";
    case err::FileNotFound: return "File not found";
    case err::ObjectNotSet: return "Object variable not set";
    case err::InvalidPropertyValue: return "Invalid property value";
    case err::CantShowModeless: return "Can't show non-modal form when modal form is displayed";
    case err::CantCreateObject: return "ActiveX component can't create object";
    case err::NoSuchMember: return "Object doesn't support this property or method";
    case err::InvalidPicture: return "Invalid picture";
    default: return "Application-defined or object-defined error";
    }
}

void throwHostError(int number, const std::string& detail) {
    std::string text = standardErrorText(number);
    if (!detail.empty()) text += ": " + detail;
    throw HostError(number, text);
}

}  // namespace tavo
