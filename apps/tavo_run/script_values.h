#pragma once
// Printing values in the script's own syntax and comparing them for `expect`.
// Objects print as an identity, <Class>#<n>, numbered the first time the
// runner meets each object; the runner keeps every printed object alive, so a
// number never comes to stand for another object at a reused address.
#include <string>
#include <utility>
#include <vector>

#include "tavo/host/object.h"
#include "tavo/host/variant.h"

namespace tavo {

// Whether two references stand for the same object; tree nodes compare by
// the node they wrap.
bool sameObject(const ObjectRef& a, const ObjectRef& b);

class ObjectIdentities {
public:
    int identify(const ObjectRef& obj);
    std::string name(const ObjectRef& obj);  // "Font#3"
    ObjectRef find(int id) const;            // nullptr when never printed

private:
    std::vector<std::pair<ObjectRef, int>> known_;
};

// Whether a member holds a colour and so prints in &H...& form.
bool isColourMember(std::string_view member);

std::string formatValue(const Variant& v, bool asColour, ObjectIdentities& ids);

// Numbers by value (colours as their 32 bits), dates by serial, text exactly,
// objects by identity, Empty and Nothing only as themselves.
bool valuesMatch(const Variant& actual, const Variant& expected, bool asColour);

}  // namespace tavo
