#pragma once
// An application form: a window holding controls created by class name from
// the component registry, loaded from and saved to form data.
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "tavo/host/ascii_text.h"
#include "tavo/host/control.h"
#include "tavo/host/error.h"
#include "tavo/host/form_data.h"
#include "tavo/host/host_export.h"
#include "tavo/host/registry.h"

namespace tavo {

// A control that refused a value of its form file when the form was loaded.
struct TAVO_HOST_EXPORT LoadFailure {
    std::string control;
    std::string key;   // as the file spells it, "Key(n)" for a later occurrence; empty when none was read
    int line = 0;      // the key's line, or the control's Begin line when the file does not hold the key
    int number = 0;    // the host's error number
    std::string text;  // "<file>:<line>: <key>: <error> (control <name>)"
};

// A load in which controls refused values of theirs. The form holds every
// control all the same: a failing one took what its own load rules keep, and
// keeps the values it did not take to write them back when the form is saved.
// The number is the first failure's; the text has a line for each.
class TAVO_HOST_EXPORT FormLoadError : public HostError {
public:
    explicit FormLoadError(std::vector<LoadFailure> failures);
    const std::vector<LoadFailure>& failures() const { return failures_; }

private:
    std::vector<LoadFailure> failures_;
};

class TAVO_HOST_EXPORT Form {
public:
    // What the application hears from the controls on the form.
    struct Listener {
        std::function<void(Control&, std::string_view event, std::span<Variant> args)> event;
        std::function<void(Control&, std::string_view property)> changed;
    };

    Form(Host& host, std::string name, const ComponentRegistry& registry = ComponentRegistry::global());
    // The controls go with the form (see unloadControls).
    ~Form();

    Host& host() const { return host_; }
    const std::string& name() const { return name_; }
    Window& window() const { return *window_; }
    void setListener(Listener l) { listener_ = std::move(l); }
    const Listener& listener() const { return listener_; }

    // Places a new control: creates it, InitProperties, then Resize.
    std::shared_ptr<Control> add(std::string_view progId, const std::string& name, const Placement& p);
    // Replaces the form's controls by those of the data: creates them all, then
    // ReadProperties in order (so a reference may name a later control), then
    // Resize. A control the registry cannot create fails the whole load, which
    // leaves the form empty. A control that refuses a value does not stop the
    // others: once every control stands, FormLoadError lists the refusals.
    // The controls the form had go first, as unloadControls says.
    void load(const FormData& data);
    // The stored properties of every control. A control whose load failed
    // gives back the values it did not take as its file held them, but where
    // a property has been set since (docs/form-files.md).
    FormData save() const;

    std::shared_ptr<Control> find(std::string_view name) const;
    const std::vector<std::shared_ptr<Control>>& controls() const { return controls_; }
    ControlSite* siteOf(const Control& c) const;
    std::string classOf(const Control& c) const;

    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }

private:
    struct Slot;
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return ascii::hashNoCase(s); }
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return ascii::equalsNoCase(a, b); }
    };

    // Each control is told that its form goes (Control::detachFromSite) while
    // every site still stands, then the controls and their sites go.
    void unloadControls();
    Slot& adopt(std::unique_ptr<Slot> slot);
    Slot* slotOf(const Control& c) const;

    Host& host_;
    std::string name_;
    const ComponentRegistry& registry_;
    std::shared_ptr<Window> window_;
    std::vector<std::unique_ptr<Slot>> slots_;
    std::vector<std::shared_ptr<Control>> controls_;
    // The slots by control name (in any letter case) and by control, so that
    // building or loading a form of many controls takes time in proportion to them.
    std::unordered_map<std::string, Slot*, NameHash, NameEqual> byName_;
    std::unordered_map<const Control*, Slot*> byControl_;
    Listener listener_;
    bool modified_ = false;
};

}  // namespace tavo
