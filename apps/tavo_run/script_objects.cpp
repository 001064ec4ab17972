#include "apps/tavo_run/script_objects.h"

#include <cstdint>

#include "tavo/host/error.h"

namespace tavo {

namespace {

// Left, Top, Width and Height in twips, of the window or site `place` gives.
template <class T, class Place>
void placeProperties(MemberTable<T>& t, Place place) {
    t.property(
        "Left", [place](T& o, const Variant*) { return Variant::number(place(o).left()); },
        [place](T& o, const Variant& v) { place(o).setLeft(v.toSingle()); });
    t.property(
        "Top", [place](T& o, const Variant*) { return Variant::number(place(o).top()); },
        [place](T& o, const Variant& v) { place(o).setTop(v.toSingle()); });
    t.property(
        "Width", [place](T& o, const Variant*) { return Variant::number(place(o).width()); },
        [place](T& o, const Variant& v) { place(o).setWidth(v.toSingle()); });
    t.property(
        "Height", [place](T& o, const Variant*) { return Variant::number(place(o).height()); },
        [place](T& o, const Variant& v) { place(o).setHeight(v.toSingle()); });
}

const MemberTable<ScreenObject>& screenMembers() {
    static const MemberTable<ScreenObject> table = [] {
        using S = ScreenObject;
        MemberTable<S> t;
        t.property("TwipsPerPixelX", [](S& s, const Variant*) { return Variant::number(s.host().twipsPerPixelX()); });
        t.property("TwipsPerPixelY", [](S& s, const Variant*) { return Variant::number(s.host().twipsPerPixelY()); });
        t.property("Width", [](S& s, const Variant*) { return Variant::number(s.host().screenWidth()); });
        t.property("Height", [](S& s, const Variant*) { return Variant::number(s.host().screenHeight()); });
        t.property("Left", [](S& s, const Variant*) { return Variant::number(s.host().screenLeft()); });
        t.property("Top", [](S& s, const Variant*) { return Variant::number(s.host().screenTop()); });
        return t;
    }();
    return table;
}

const MemberTable<FormWindowObject>& formWindowMembers() {
    static const MemberTable<FormWindowObject> table = [] {
        using F = FormWindowObject;
        MemberTable<F> t;
        t.property("Name", [](F& f, const Variant*) { return Variant::string(f.window().name()); });
        placeProperties(t, [](F& f) -> Window& { return f.window(); });
        t.property("Visible", [](F& f, const Variant*) { return Variant::boolean(f.window().visible()); });
        t.property("hWnd", [](F& f, const Variant*) {
            return Variant::longValue(static_cast<int32_t>(f.window().hWnd()));
        });
        return t;
    }();
    return table;
}

const MemberTable<ExtenderObject>& extenderMembers() {
    static const MemberTable<ExtenderObject> table = [] {
        using E = ExtenderObject;
        MemberTable<E> t;
        placeProperties(t, [](E& e) -> ControlSite& { return e.site(); });
        return t;
    }();
    return table;
}

// Members read with an argument are no members of these objects.
void noArgument(Object& self, std::string_view member, const Variant* arg) {
    if (arg) throwNoSuchMember(self, member);
}

}  // namespace

Variant ScreenObject::get(std::string_view member, const Variant* arg) {
    noArgument(*this, member, arg);
    return screenMembers().get(*this, member, nullptr);
}

void ScreenObject::put(std::string_view member, const Variant&) {
    throwHostError(err::ReadOnlyProperty, "Screen." + std::string(member));
}

std::vector<std::string> ScreenObject::propertyNames() const { return screenMembers().propertyNames(); }

Variant FormWindowObject::get(std::string_view member, const Variant* arg) {
    noArgument(*this, member, arg);
    return formWindowMembers().get(*this, member, nullptr);
}

void FormWindowObject::put(std::string_view member, const Variant& value) {
    formWindowMembers().put(*this, member, value);
}

std::vector<std::string> FormWindowObject::propertyNames() const { return formWindowMembers().propertyNames(); }

bool ExtenderObject::serves(std::string_view member) { return extenderMembers().has(member); }

Variant ExtenderObject::get(std::string_view member, const Variant* arg) {
    noArgument(*this, member, arg);
    return extenderMembers().get(*this, member, nullptr);
}

void ExtenderObject::put(std::string_view member, const Variant& value) { extenderMembers().put(*this, member, value); }

std::vector<std::string> ExtenderObject::propertyNames() const { return extenderMembers().propertyNames(); }

}  // namespace tavo
