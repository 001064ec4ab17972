#include "host/object.h"

#include "host/error.h"

namespace tavo {

Variant Object::get(std::string_view member, const Variant*) { throwNoSuchMember(*this, member); }

void Object::put(std::string_view member, const Variant&) { throwNoSuchMember(*this, member); }

void Object::putRef(std::string_view member, const Variant&) { throwNoSuchMember(*this, member); }

Variant Object::call(std::string_view member, std::span<Variant>) { throwNoSuchMember(*this, member); }

bool memberNameEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void throwNoSuchMember(const Object& obj, std::string_view member) {
    throwHostError(err::NoSuchMember, obj.className() + " has no member '" + std::string(member) + "'");
}

}  // namespace tavo
