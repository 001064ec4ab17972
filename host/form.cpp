#include "tavo/host/form.h"

#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {

struct Form::Slot {
    // Declared before the control so that the control, which refers to its
    // site, goes first when the slot is destroyed.
    std::unique_ptr<ControlSite> site;
    std::shared_ptr<Control> control;
    std::string progId;
    // What the control did not take from its file when its load failed.
    std::unique_ptr<KeptProperties> kept;
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

// What the application hears of a control that refused a value of its file.
LoadFailure describeFailure(const FormData& data, const FormControlData& c, const PropertyStore& store,
                            const HostError& e) {
    LoadFailure f{c.name, {}, c.line, e.number(), {}};
    std::string note = " (control " + c.name;
    if (const auto read = store.lastRead()) {
        const std::string& spelt = read->stored ? read->stored->key : read->key;
        f.key = read->occurrence == 1 ? spelt : spelt + "(" + std::to_string(read->occurrence) + ")";
        if (read->stored && read->stored->line > 0) f.line = read->stored->line;
        if (!read->stored) note += "; the file does not hold " + f.key + ", so it took its default";
    }
    f.text = formFileMessage(data.file, f.line, f.key, e.what() + note + ")");
    return f;
}

std::string joinedText(const std::vector<LoadFailure>& failures) {
    std::string text;
    for (const LoadFailure& f : failures) text += (text.empty() ? "" : "\n") + f.text;
    return text;
}

// Passes the site's notifications on to the form's listener, naming the
// control; the holder is filled once the registry has made the control. A
// property set after a failed load is the control's to save again.
void wireSite(Form& form, ControlSite& site, const std::shared_ptr<Control>& holder,
              const std::unique_ptr<KeptProperties>& kept) {
    site.onPropertyChanged = [&form, &holder, &kept](std::string_view property) {
        if (kept) kept->release(property);
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

FormLoadError::FormLoadError(std::vector<LoadFailure> failures)
    : HostError(failures.front().number, joinedText(failures)), failures_(std::move(failures)) {}

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
    wireSite(*this, *slot->site, slot->control, slot->kept);
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
        wireSite(*this, *slot->site, slot->control, slot->kept);
        try {
            slot->control = registry_.create(c.className, *slot->site);
        } catch (const HostError& e) {
            controls_.clear();
            slots_.clear();
            rethrowFor(e, c.name, c.line);
        }
        adopt(std::move(slot));
    }

    std::vector<LoadFailure> failures;
    for (size_t i = 0; i < data.controls.size(); ++i) {
        const auto& c = data.controls[i];
        PropertyStore store = c.properties;
        store.setResolver([this](const std::string& name) -> ObjectRef { return find(name); });
        store.rewind();
        try {
            controls_[i]->ReadProperties(store);
        } catch (const HostError& e) {
            failures.push_back(describeFailure(data, c, store, e));
            slots_[i]->kept = std::make_unique<KeptProperties>(store.keptAfterFailedLoad());
            // What it holds now is the measure of what changes before a save.
            // A control that cannot write now fails its save the same way.
            PropertyStore asLoaded;
            asLoaded.noteAsLoaded(*slots_[i]->kept);
            try {
                controls_[i]->WriteProperties(asLoaded);
            } catch (const HostError&) {
            }
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
    if (!failures.empty()) throw FormLoadError(std::move(failures));
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
        if (slot->kept) c.properties.keep(*slot->kept);
        try {
            slot->control->WriteProperties(c.properties);
        } catch (const HostError& e) {
            rethrowFor(e, c.name, 0);
        }
        c.properties.finishKeeping();
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
