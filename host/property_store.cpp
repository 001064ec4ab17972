#include "tavo/host/property_store.h"

#include <algorithm>
#include <iterator>

#include "tavo/host/ascii_text.h"
#include "tavo/host/control.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

// Keys match without regard to letter case, as the host's member names do, so
// a hand-edited file may write "backcolor" for "BackColor".
int nextOccurrence(std::map<std::string, int, std::less<>>& counts, std::string_view key) {
    return ++counts[ascii::folded(key)];
}

}  // namespace

PropertyKey::PropertyKey(std::string_view key, int n) : folded(ascii::folded(key)), occurrence(n) {}

void KeptProperties::release(std::string_view property) { released_.insert(ascii::folded(property)); }

bool KeptProperties::controlWrites(const PropertyKey& key, const Variant& value) const {
    if (taken_.count(key)) return true;
    const auto loaded = asLoaded_.find(key);
    const bool changed = loaded == asLoaded_.end() || !(loaded->second == value);
    if (changed) return true;
    if (!released_.count(key.folded)) return false;
    const auto first = asLoaded_.lower_bound(PropertyKey(key.folded, 1));
    return std::next(first) == asLoaded_.end() || std::next(first)->first.folded != key.folded;
}

const StoredProperty* KeptProperties::untaken(const PropertyKey& key) const {
    for (const StoredProperty& p : untaken_)
        if (p.occurrence == key.occurrence && ascii::equalsNoCase(p.key, key.folded)) return &p;
    return nullptr;
}

int PropertyStore::find(std::string_view key, int occurrence) const {
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const StoredProperty& p) {
        return p.occurrence == occurrence && ascii::equalsNoCase(p.key, key);
    });
    return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
}

Variant PropertyStore::ReadProperty(std::string_view key, const Variant& defaultValue) {
    const int occurrence = nextOccurrence(readCounts_, key);
    const int entry = find(key, occurrence);
    lastRead_ = LastRead{std::string(key), occurrence, entry};
    if (entry < 0) return defaultValue;
    readEntries_.push_back(entry);
    const StoredProperty& p = entries_[static_cast<size_t>(entry)];
    if (p.refName.empty()) return p.value;

    ObjectRef target = resolver_ ? resolver_(p.refName) : nullptr;
    if (!target)
        throwHostError(err::ObjectNotSet, "property \"" + std::string(key) + "\" names the control \"" + p.refName +
                                              "\", which is not on the form");
    return Variant::object(std::move(target));
}

std::optional<PropertyStore::Read> PropertyStore::lastRead() const {
    if (!lastRead_) return std::nullopt;
    const StoredProperty* stored = lastRead_->entry < 0 ? nullptr : &entries_[static_cast<size_t>(lastRead_->entry)];
    return Read{lastRead_->key, lastRead_->occurrence, stored};
}

KeptProperties PropertyStore::keptAfterFailedLoad() const {
    std::vector<bool> taken(entries_.size(), false);
    std::size_t reads = readEntries_.size();
    if (lastRead_ && lastRead_->entry >= 0) --reads;
    std::set<PropertyKey> takenKeys;
    for (std::size_t i = 0; i < reads; ++i) {
        const StoredProperty& p = entries_[static_cast<size_t>(readEntries_[i])];
        taken[static_cast<size_t>(readEntries_[i])] = true;
        takenKeys.emplace(p.key, p.occurrence);
    }
    std::vector<StoredProperty> untaken;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (!taken[i]) untaken.push_back(entries_[i]);
    return KeptProperties(std::move(untaken), std::move(takenKeys));
}

void PropertyStore::WriteProperty(std::string_view key, const Variant& value, const Variant& defaultValue) {
    const int occurrence = nextOccurrence(writeCounts_, key);
    if (noting_) return noting_->noteAsLoaded(PropertyKey(key, occurrence), value);
    if (kept_) {
        PropertyKey k(key, occurrence);
        const bool own = kept_->controlWrites(k, value);
        // As the file had it: its value, or nothing where it held none.
        const StoredProperty* asInFile = own ? nullptr : kept_->untaken(k);
        keptWritten_.insert(std::move(k));
        if (asInFile) entries_.push_back(*asInFile);
        if (!own) return;
    }
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

void PropertyStore::finishKeeping() {
    if (!kept_) return;
    // Keys the control does not write at all (one it no longer knows, or
    // a misspelt one) go back after its own, in the file's order.
    for (const StoredProperty& p : kept_->untaken())
        if (!keptWritten_.count(PropertyKey(p.key, p.occurrence))) entries_.push_back(p);
    kept_ = nullptr;
    keptWritten_.clear();
}

void PropertyStore::add(StoredProperty p) { entries_.push_back(std::move(p)); }

}  // namespace tavo
