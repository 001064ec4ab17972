#pragma once
// Host errors: every failure the controls meet or raise is a HostError carrying
// the host's error number, so callers can tell an overflow from a type mismatch.
// err:: names every number the code raises; each has its standard text. The
// names read as enumerators (err::TypeMismatch), not as kName constants.
#include <stdexcept>
#include <string>

#include "tavo/host/host_export.h"

namespace tavo {

namespace err {
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int TypeMismatch = 13;
inline constexpr int InternalError = 51;
inline constexpr int FileNotFound = 53;
inline constexpr int PathFileAccessError = 75;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidFileFormat = 321;
inline constexpr int ControlArrayElementMissing = 340;
// A control whose form has gone: what still holds it cannot use it.
inline constexpr int ObjectUnloaded = 364;
inline constexpr int InvalidPropertyValue = 380;
inline constexpr int ReadOnlyProperty = 383;
inline constexpr int FormAlreadyDisplayed = 400;
inline constexpr int CantShowModeless = 401;
inline constexpr int ObjectRequired = 424;
inline constexpr int CantCreateObject = 429;
inline constexpr int NoSuchMember = 438;
inline constexpr int InvalidPicture = 481;
// The tree view's own numbers.
inline constexpr int IndexOutOfBounds = 35600;
inline constexpr int ElementNotFound = 35601;
}  // namespace err

class TAVO_HOST_EXPORT HostError : public std::runtime_error {
public:
    HostError(int number, const std::string& text) : std::runtime_error(text), number_(number) {}
    int number() const noexcept { return number_; }

private:
    int number_;
};

// The host's standard text for an error number ("Overflow", "Type mismatch", ...).
TAVO_HOST_EXPORT std::string standardErrorText(int number);

[[noreturn]] TAVO_HOST_EXPORT void throwHostError(int number, const std::string& detail = {});

}  // namespace tavo
