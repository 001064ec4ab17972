#include "host/property_store.h"

#include <algorithm>

#include "host/ascii_text.h"
#include "host/control.h"
#include "host/error.h"

namespace tavo {

namespace {

// Keys match without regard to letter case, as the host's member names do, so
// a hand-edited file may write "backcolor" for "BackColor".
int nextOccurrence(std::map<std::string, int, std::less<>>& counts, std::string_view key) {
    return ++counts[ascii::folded(key)];
}

}  // namespace

Variant PropertyStore::ReadProperty(std::string_view key, const Variant& defaultValue) {
    const int occurrence = nextOccurrence(readCounts_, key);
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const StoredProperty& p) {
        return p.occurrence == occurrence && ascii::equalsNoCase(p.key, key);
    });
    if (it == entries_.end()) return defaultValue;
    if (it->refName.empty()) return it->value;

    ObjectRef target = resolver_ ? resolver_(it->refName) : nullptr;
    if (!target)
        throwHostError(err::ObjectNotSet, "property \"" + std::string(key) + "\" names the control \"" + it->refName +
                                              "\", which is not on the form");
    return Variant::object(std::move(target));
}

void PropertyStore::WriteProperty(std::string_view key, const Variant& value, const Variant& defaultValue) {
    const int occurrence = nextOccurrence(writeCounts_, key);
    if (value == defaultValue) return;

    StoredProperty p;
    p.key = std::string(key);
    p.occurrence = occurrence;
    // A control is kept by name: the file names it, and the form that loads
    // the file turns the name back into whichever control then has it.
    if (auto* control = value.isObject() ? dynamic_cast<Control*>(value.rawObject().get()) : nullptr)
        p.refName = control->instanceName();
    else
        p.value = value;
    entries_.push_back(std::move(p));
}

void PropertyStore::add(StoredProperty p) { entries_.push_back(std::move(p)); }

}  // namespace tavo
