#include "tavo/host/value_conversions.h"

#include "tavo/host/error.h"

namespace tavo {

namespace {

// A value other than an object fails in Variant::toObject with its own words.
template <class T>
std::shared_ptr<T> toObjectOf(const Variant& v, bool nothingAllowed, const char* kind) {
    const ObjectRef obj = v.toObject();
    if (!obj && nothingAllowed) return nullptr;
    auto typed = std::dynamic_pointer_cast<T>(obj);
    if (!typed)
        throwHostError(err::TypeMismatch,
                       (obj ? obj->className() + " object" : std::string("Nothing")) + " is not " + kind);
    return typed;
}

}  // namespace

PictureRef toPicture(const Variant& v) { return toObjectOf<Picture>(v, true, "a picture"); }

FontRef toFont(const Variant& v) { return toObjectOf<Font>(v, true, "a font"); }

FontRef toRequiredFont(const Variant& v) { return toObjectOf<Font>(v, false, "a font"); }

}  // namespace tavo
