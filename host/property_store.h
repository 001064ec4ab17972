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
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host/variant.h"

namespace tavo {

struct StoredProperty {
    std::string key;
    int occurrence = 1;   // 1 for the first write of the key in a save
    Variant value;        // unused when refName is set
    std::string refName;  // a reference to the control of this name on the same form
    int line = 0;         // where a form file held it (0: not from a file)
};

class PropertyStore {
public:
    // Returns the stored value of the key's next occurrence, or the default.
    Variant ReadProperty(std::string_view key, const Variant& defaultValue);
    // Stores the value as the key's next occurrence unless it equals the default.
    void WriteProperty(std::string_view key, const Variant& value, const Variant& defaultValue);

    const std::vector<StoredProperty>& entries() const { return entries_; }
    void add(StoredProperty p);  // used by the form file reader; keeps order
    void rewind() { readCounts_.clear(); writeCounts_.clear(); }

    // Turns a stored control name into the control; set by the form that loads.
    using Resolver = std::function<ObjectRef(const std::string& name)>;
    void setResolver(Resolver r) { resolver_ = std::move(r); }

private:
    std::vector<StoredProperty> entries_;
    std::map<std::string, int, std::less<>> readCounts_, writeCounts_;
    Resolver resolver_;
};

}  // namespace tavo
