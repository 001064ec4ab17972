#include "tavo/host/children.h"

#include "tavo/host/error.h"
#include "tavo/host/value_conversions.h"

namespace tavo {

namespace {

Variant pictureValue(const PictureRef& p) { return Variant::object(p); }

const MemberTable<Child>& childMembers() {
    static const MemberTable<Child> table = [] {
        MemberTable<Child> t;
        t.property(
            "Left", [](Child& c, const Variant*) { return Variant::number(c.left()); },
            [](Child& c, const Variant& v) { c.setLeft(v.toSingle()); });
        t.property(
            "Top", [](Child& c, const Variant*) { return Variant::number(c.top()); },
            [](Child& c, const Variant& v) { c.setTop(v.toSingle()); });
        t.property(
            "Width", [](Child& c, const Variant*) { return Variant::number(c.width()); },
            [](Child& c, const Variant& v) { c.setWidth(v.toSingle()); });
        t.property(
            "Height", [](Child& c, const Variant*) { return Variant::number(c.height()); },
            [](Child& c, const Variant& v) { c.setHeight(v.toSingle()); });
        t.property(
            "Visible", [](Child& c, const Variant*) { return Variant::boolean(c.visible()); },
            [](Child& c, const Variant& v) { c.setVisible(v.isTrue()); });
        t.property(
            "Enabled", [](Child& c, const Variant*) { return Variant::boolean(c.enabled()); },
            [](Child& c, const Variant& v) { c.setEnabled(v.isTrue()); });
        // Move(Left, [Top], [Width], [Height]): what is left out keeps its value.
        t.method("Move", [](Child& c, std::span<Variant> args) {
            if (args.empty() || args.size() > 4)
                throwHostError(err::InvalidProcedureCall,
                               c.displayName() + ".Move takes 1 to 4 arguments, not " + std::to_string(args.size()));
            const float left = args[0].toSingle();
            const float top = args.size() > 1 ? args[1].toSingle() : c.top();
            const float width = args.size() > 2 ? args[2].toSingle() : c.width();
            std::optional<float> height;
            if (args.size() > 3) height = args[3].toSingle();
            c.move(left, top, width, height);
            return Variant();
        });
        t.method("SetFocus", [](Child& c, std::span<Variant>) {
            c.setFocus();
            return Variant();
        });
        return t;
    }();
    return table;
}

const MemberTable<PushButton>& buttonMembers() {
    static const MemberTable<PushButton> table = [] {
        MemberTable<PushButton> t;
        auto setPicture = [](PushButton& b, const Variant& v) { b.setPicture(toPicture(v)); };
        t.property(
            "Picture", [](PushButton& b, const Variant*) { return pictureValue(b.picture()); }, setPicture,
            setPicture);
        t.property(
            "Caption", [](PushButton& b, const Variant*) { return Variant::string(b.caption()); },
            [](PushButton& b, const Variant& v) { b.setCaption(v.toString()); });
        return t;
    }();
    return table;
}

const MemberTable<Image>& imageMembers() {
    static const MemberTable<Image> table = [] {
        MemberTable<Image> t;
        auto setPicture = [](Image& i, const Variant& v) { i.setPicture(toPicture(v)); };
        t.property(
            "Picture", [](Image& i, const Variant*) { return pictureValue(i.picture()); }, setPicture, setPicture);
        t.property(
            "ToolTipText", [](Image& i, const Variant*) { return Variant::string(i.toolTipText()); },
            [](Image& i, const Variant& v) { i.setToolTipText(v.toString()); });
        t.method("Refresh", [](Image& i, std::span<Variant>) {
            i.refresh();
            return Variant();
        });
        return t;
    }();
    return table;
}

const MemberTable<Timer>& timerMembers() {
    static const MemberTable<Timer> table = [] {
        MemberTable<Timer> t;
        t.property(
            "Interval", [](Timer& tm, const Variant*) { return Variant::longValue(tm.interval()); },
            [](Timer& tm, const Variant& v) {
                const int32_t ms = v.toLong();
                // The host's timers count up to 65535 milliseconds.
                if (ms < 0 || ms > 65535)
                    throwHostError(err::InvalidPropertyValue,
                                   tm.displayName() + ".Interval " + std::to_string(ms) + " is not in 0..65535");
                tm.setInterval(ms);
            });
        return t;
    }();
    return table;
}

}  // namespace

std::string Child::displayName() const {
    if (index_ < 0) return name_;
    return name_ + "(" + std::to_string(index_) + ")";
}

void Child::move(float left, float top, float width, std::optional<float> height) {
    setLeft(left);
    setTop(top);
    setWidth(width);
    if (height) setHeight(*height);
}

Variant Child::get(std::string_view member, const Variant* arg) { return childMembers().get(*this, member, arg); }

void Child::put(std::string_view member, const Variant& value) { childMembers().put(*this, member, value); }

std::vector<std::string> Child::propertyNames() const { return childMembers().propertyNames(); }

Variant Child::call(std::string_view member, std::span<Variant> args) {
    // A property of a derived kind ("Caption", "Interval") read in call form.
    if (!childMembers().has(member) && args.size() <= 1) return get(member, args.empty() ? nullptr : &args[0]);
    return childMembers().call(*this, member, args);
}

Variant PushButton::get(std::string_view member, const Variant* arg) {
    if (buttonMembers().has(member)) return buttonMembers().get(*this, member, arg);
    return Child::get(member, arg);
}

std::vector<std::string> PushButton::propertyNames() const {
    return buttonMembers().propertyNames(Child::propertyNames());
}

void PushButton::put(std::string_view member, const Variant& value) {
    if (buttonMembers().has(member)) return buttonMembers().put(*this, member, value);
    Child::put(member, value);
}

void PushButton::putRef(std::string_view member, const Variant& value) {
    if (buttonMembers().has(member)) return buttonMembers().putRef(*this, member, value);
    Child::putRef(member, value);
}

Variant Image::get(std::string_view member, const Variant* arg) {
    if (imageMembers().has(member)) return imageMembers().get(*this, member, arg);
    return Child::get(member, arg);
}

std::vector<std::string> Image::propertyNames() const {
    return imageMembers().propertyNames(Child::propertyNames());
}

void Image::put(std::string_view member, const Variant& value) {
    if (imageMembers().has(member)) return imageMembers().put(*this, member, value);
    Child::put(member, value);
}

void Image::putRef(std::string_view member, const Variant& value) {
    if (imageMembers().has(member)) return imageMembers().putRef(*this, member, value);
    Child::putRef(member, value);
}

Variant Image::call(std::string_view member, std::span<Variant> args) {
    if (imageMembers().has(member)) return imageMembers().call(*this, member, args);
    return Child::call(member, args);
}

Variant Timer::get(std::string_view member, const Variant* arg) {
    if (timerMembers().has(member)) return timerMembers().get(*this, member, arg);
    return Child::get(member, arg);
}

std::vector<std::string> Timer::propertyNames() const {
    return timerMembers().propertyNames(Child::propertyNames());
}

void Timer::put(std::string_view member, const Variant& value) {
    if (timerMembers().has(member)) return timerMembers().put(*this, member, value);
    Child::put(member, value);
}

}  // namespace tavo
