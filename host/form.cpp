#include "host/form.h"

#include "host/error.h"

namespace tavo {

struct Form::Slot {
    // Declared before the control so that the control, which refers to its
    // site, goes first when the slot is destroyed.
    std::unique_ptr<ControlSite> site;
    std::shared_ptr<Control> control;
    std::string progId;
};

namespace {

// The failing control's name goes in front of the text; the number stays so
// that callers can still tell an overflow from a type mismatch.
[[noreturn]] void rethrowFor(const HostError& e, const std::string& controlName, int line) {
    std::string where = "control \"" + controlName + "\"";
    if (line > 0) where += " (line " + std::to_string(line) + ")";
    throw HostError(e.number(), where + ": " + e.what());
}

[[noreturn]] void throwDuplicateName(const std::string& formName, const std::string& name) {
    throwHostError(err::InvalidProcedureCall,
                   "the form \"" + formName + "\" already has a control named \"" + name + "\"");
}

// Passes the site's notifications on to the form's listener, naming the
// control; the holder is filled once the registry has made the control.
void wireSite(Form& form, ControlSite& site, const std::shared_ptr<Control>& holder) {
    site.onPropertyChanged = [&form, &holder](std::string_view property) {
        form.setModified(true);
        if (form.listener().changed && holder) form.listener().changed(*holder, property);
    };
    site.onRaiseEvent = [&form, &holder](std::string_view event, std::span<Variant> args) {
        if (form.listener().event && holder) form.listener().event(*holder, event, args);
    };
    site.onResize = [&holder] {
        if (holder) holder->Resize();
    };
}

}  // namespace

Form::Form(Host& host, std::string name, const ComponentRegistry& registry)
    : host_(host), name_(std::move(name)), registry_(registry) {
    WindowDesign design;
    design.name = name_;
    design.caption = name_;
    window_ = host_.createWindow(design);
}

Form::~Form() {
    unloadControls();
    if (window_ && !window_->destroyed()) window_->destroy();
}

// A control may outlive its form where something else holds it (the popup's
// back reference, a script, a bound tree controller); told first, it lets go
// of what must not outlive the form, and from then on fails every call
// instead of reaching a site that is gone.
void Form::unloadControls() {
    for (const auto& slot : slots_) slot->control->detachFromSite();
    byName_.clear();
    byControl_.clear();
    controls_.clear();
    slots_.clear();
}

Form::Slot& Form::adopt(std::unique_ptr<Slot> slot) {
    Slot& s = *slot;
    byName_.emplace(s.site->controlName(), &s);
    byControl_.emplace(s.control.get(), &s);
    controls_.push_back(s.control);
    slots_.push_back(std::move(slot));
    return s;
}

Form::Slot* Form::slotOf(const Control& c) const {
    const auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second;
}

std::shared_ptr<Control> Form::add(std::string_view progId, const std::string& name, const Placement& p) {
    if (find(name)) throwDuplicateName(name_, name);

    auto slot = std::make_unique<Slot>();
    slot->progId = std::string(progId);
    slot->site = host_.createSite(*window_, name, p);
    wireSite(*this, *slot->site, slot->control);
    slot->control = registry_.create(progId, *slot->site);

    auto control = adopt(std::move(slot)).control;
    modified_ = true;

    control->InitProperties();
    control->Resize();
    return control;
}

void Form::load(const FormData& data) {
    unloadControls();

    // Every control exists before the first one reads, so that a stored
    // reference may name a control further down the file.
    for (const auto& c : data.controls) {
        if (find(c.name)) throwDuplicateName(name_, c.name);
        auto slot = std::make_unique<Slot>();
        slot->progId = c.className;
        slot->site = host_.createSite(*window_, c.name, c.place);
        wireSite(*this, *slot->site, slot->control);
        try {
            slot->control = registry_.create(c.className, *slot->site);
        } catch (const HostError& e) {
            rethrowFor(e, c.name, c.line);
        }
        adopt(std::move(slot));
    }

    for (size_t i = 0; i < data.controls.size(); ++i) {
        const auto& c = data.controls[i];
        PropertyStore store = c.properties;
        store.setResolver([this](const std::string& name) -> ObjectRef { return find(name); });
        store.rewind();
        try {
            controls_[i]->ReadProperties(store);
        } catch (const HostError& e) {
            rethrowFor(e, c.name, c.line);
        }
    }
    for (size_t i = 0; i < controls_.size(); ++i) {
        try {
            controls_[i]->Resize();
        } catch (const HostError& e) {
            rethrowFor(e, data.controls[i].name, data.controls[i].line);
        }
    }
    modified_ = false;
}

FormData Form::save() const {
    FormData data;
    data.name = name_;
    data.controls.reserve(slots_.size());
    for (const auto& slot : slots_) {
        FormControlData c;
        c.className = slot->progId;
        c.name = slot->site->controlName();
        const ControlSite& site = *slot->site;
        c.place = Placement{site.left(), site.top(), site.width(), site.height()};
        try {
            slot->control->WriteProperties(c.properties);
        } catch (const HostError& e) {
            rethrowFor(e, c.name, 0);
        }
        data.controls.push_back(std::move(c));
    }
    return data;
}

std::shared_ptr<Control> Form::find(std::string_view name) const {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second->control;
}

ControlSite* Form::siteOf(const Control& c) const {
    const Slot* slot = slotOf(c);
    return slot ? slot->site.get() : nullptr;
}

std::string Form::classOf(const Control& c) const {
    const Slot* slot = slotOf(c);
    return slot ? slot->progId : std::string();
}

}  // namespace tavo
