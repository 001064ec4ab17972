#pragma once
// The objects a script reaches besides the controls and the host's windows:
// the screen, the form's own window, and a control's place on the form.
#include <string>
#include <vector>

#include "tavo/host/host.h"
#include "tavo/host/object.h"
#include "tavo/host/window.h"

namespace tavo {

// The screen as a script reads it: read only, as the controls see it.
class ScreenObject : public Object {
public:
    explicit ScreenObject(Host& host) : host_(host) {}
    Host& host() const { return host_; }

    std::string className() const override { return "Screen"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    // Fails for every member: the screen is read only.
    void put(std::string_view member, const Variant& value) override;
    std::vector<std::string> propertyNames() const override;

private:
    Host& host_;
};

// The form's own window, by the form's name: its place in twips and visibility.
class FormWindowObject : public Object {
public:
    explicit FormWindowObject(Window& w) : window_(w) {}
    Window& window() const { return window_; }

    std::string className() const override { return "Form"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    void put(std::string_view member, const Variant& value) override;
    std::vector<std::string> propertyNames() const override;

private:
    Window& window_;
};

// A control's place and size on the form: they belong to its site (the
// container's extender), and answer before the control's own members.
class ExtenderObject : public Object {
public:
    explicit ExtenderObject(ControlSite& site) : site_(site) {}
    ControlSite& site() const { return site_; }
    static bool serves(std::string_view member);

    std::string className() const override { return "Extender"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    void put(std::string_view member, const Variant& value) override;
    // A place is a number: an object fails as the number it is not.
    void putRef(std::string_view member, const Variant& value) override { put(member, value); }
    std::vector<std::string> propertyNames() const override;

private:
    ControlSite& site_;
};

}  // namespace tavo
