#pragma once
// The property store a control reads from and writes to when its form is
// loaded or saved.
//
// A key may be written more than once in one save (the date control writes
// "CalendarMonthBackColor" twice: once for its surface colour, once for its own
// setting). The store keeps every write as its own occurrence: the n-th
// WriteProperty of a key in a save is occurrence n, and the n-th ReadProperty of
// that key in a load reads occurrence n. Leaving out a value equal to its
// default leaves out that occurrence only, so each value round-trips on its own.
#include <compare>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "tavo/host/host_export.h"
#include "tavo/host/variant.h"

namespace tavo {

struct TAVO_HOST_EXPORT StoredProperty {
    std::string key;
    int occurrence = 1;   // 1 for the first write of the key in a save
    Variant value;        // unused when refName is set
    std::string refName;  // a reference to the control of this name on the same form
    int line = 0;         // where a form file held it (0: not from a file)
};

// One occurrence of a key, without regard to the key's letter case.
struct TAVO_HOST_EXPORT PropertyKey {
    std::string folded;
    int occurrence = 1;
    PropertyKey(std::string_view key, int n);
    bool operator==(const PropertyKey&) const = default;
    // Spelled out: libc++ 14 compares strings with <, but not with <=>.
    bool operator<(const PropertyKey& other) const {
        return std::tie(folded, occurrence) < std::tie(other.folded, other.occurrence);
    }
};

// What a control whose load stopped at an error did not take from its store:
// the value it failed on and every value it did not come to. The form writes
// them back as they were when it is saved, in place of what the control holds
// under the same keys, so a failed load loses nothing. Where the control's
// value has changed since the load, or its property has been set, the
// control's own write stands.
class TAVO_HOST_EXPORT KeptProperties {
public:
    KeptProperties(std::vector<StoredProperty> untaken, std::set<PropertyKey> taken)
        : untaken_(std::move(untaken)), taken_(std::move(taken)) {}

    // What the control writes under the key right after its failed load.
    void noteAsLoaded(const PropertyKey& key, const Variant& value) { asLoaded_.insert_or_assign(key, value); }
    // The property of this name was set since the load.
    void release(std::string_view property);
    // Whether the control's own write of `value` under the key stands. A key
    // written more than once (the date control's CalendarMonthBackColor: its
    // surface colour, then its setting) gives way, when its property is set,
    // only in the occurrences whose value changed.
    bool controlWrites(const PropertyKey& key, const Variant& value) const;
    // The value the file held for a key the control did not take, if it held one.
    const StoredProperty* untaken(const PropertyKey& key) const;
    const std::vector<StoredProperty>& untaken() const { return untaken_; }

private:
    std::vector<StoredProperty> untaken_;
    std::set<PropertyKey> taken_;
    std::map<PropertyKey, Variant> asLoaded_;
    std::set<std::string> released_;  // folded property names
};

class TAVO_HOST_EXPORT PropertyStore {
public:
    // Returns the stored value of the key's next occurrence, or the default.
    Variant ReadProperty(std::string_view key, const Variant& defaultValue);
    // Stores the value as the key's next occurrence unless it equals the default.
    void WriteProperty(std::string_view key, const Variant& value, const Variant& defaultValue);

    const std::vector<StoredProperty>& entries() const { return entries_; }
    void add(StoredProperty p);  // used by the form file reader; keeps order
    void rewind() {
        readCounts_.clear();
        writeCounts_.clear();
        readEntries_.clear();
        lastRead_.reset();
    }

    // Turns a stored control name into the control; set by the form that loads.
    using Resolver = std::function<ObjectRef(const std::string& name)>;
    void setResolver(Resolver r) { resolver_ = std::move(r); }

    // The last ReadProperty since the rewind: the key as the control spelled
    // it, and the entry it returned (null when it returned the default).
    struct Read {
        std::string key;
        int occurrence;
        const StoredProperty* stored;
    };
    std::optional<Read> lastRead() const;
    // After a ReadProperties that stopped with an error: every value read
    // before the last was taken; the last read is the one that failed.
    KeptProperties keptAfterFailedLoad() const;

    // Writes from now on only note in `kept` what the control holds as loaded.
    void noteAsLoaded(KeptProperties& kept) { noting_ = &kept; }
    // Writes from now on leave keys that `kept` holds as the file had them;
    // finishKeeping adds the kept values that the control did not write at
    // all. `kept` must outlive the writes.
    void keep(const KeptProperties& kept) { kept_ = &kept; }
    void finishKeeping();

private:
    int find(std::string_view key, int occurrence) const;  // an index in entries_, or -1

    struct LastRead {
        std::string key;
        int occurrence;
        int entry;
    };

    std::vector<StoredProperty> entries_;
    std::map<std::string, int, std::less<>> readCounts_, writeCounts_;
    std::vector<int> readEntries_;  // the entries ReadProperty returned, in order
    std::optional<LastRead> lastRead_;
    Resolver resolver_;
    KeptProperties* noting_ = nullptr;
    const KeptProperties* kept_ = nullptr;
    std::set<PropertyKey> keptWritten_;  // every key written while keeping
};

}  // namespace tavo
