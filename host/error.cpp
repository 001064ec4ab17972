#include "tavo/host/error.h"

namespace tavo {

std::string standardErrorText(int number) {
    switch (number) {
    case err::InvalidProcedureCall: return "Invalid procedure call or argument";
    case err::Overflow: return "Overflow";
    case err::TypeMismatch: return "Type mismatch";
    case err::InternalError: return "Internal error";
    case err::FileNotFound: return "File not found";
    case err::PathFileAccessError: return "Path/File access error";
    case err::ObjectNotSet: return "Object variable not set";
    case err::InvalidFileFormat: return "Invalid file format";
    case err::ControlArrayElementMissing: return "Control array element doesn't exist";
    case err::ObjectUnloaded: return "Object was unloaded";
    case err::InvalidPropertyValue: return "Invalid property value";
    case err::ReadOnlyProperty: return "Set not supported (read-only property)";
    case err::FormAlreadyDisplayed: return "Form already displayed; can't show modally";
    case err::CantShowModeless: return "Can't show non-modal form when modal form is displayed";
    case err::ObjectRequired: return "Object required";
    case err::CantCreateObject: return "ActiveX component can't create object";
    case err::NoSuchMember: return "Object doesn't support this property or method";
    case err::InvalidPicture: return "Invalid picture";
    case err::IndexOutOfBounds: return "Index out of bounds";
    case err::ElementNotFound: return "Element not found";
    default: return "Application-defined or object-defined error";
    }
}

void throwHostError(int number, const std::string& detail) {
    std::string text = standardErrorText(number);
    if (!detail.empty()) text += ": " + detail;
    throw HostError(number, text);
}

}  // namespace tavo
