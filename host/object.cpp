#include "tavo/host/object.h"

#include "tavo/host/error.h"

namespace tavo {

Variant Object::get(std::string_view member, const Variant*) { throwNoSuchMember(*this, member); }

void Object::put(std::string_view member, const Variant&) { throwNoSuchMember(*this, member); }

void Object::putRef(std::string_view member, const Variant&) { throwNoSuchMember(*this, member); }

Variant Object::call(std::string_view member, std::span<Variant>) { throwNoSuchMember(*this, member); }

void throwNoSuchMember(const Object& obj, std::string_view member) {
    throwHostError(err::NoSuchMember, obj.className() + " has no member '" + std::string(member) + "'");
}

}  // namespace tavo
