#pragma once
// A host just big enough to place controls on a form, and a small control
// that persists a few values, so the form and the store can be tested without
// a backend.
#include <memory>
#include <string>
#include <vector>

#include "tavo/host/control.h"
#include "tavo/host/error.h"
#include "tavo/host/host.h"
#include "tavo/host/registry.h"

namespace tavo {

class NoChildren {
protected:
    [[noreturn]] static void refuse() { throw HostError(err::CantCreateObject, "the test host makes no children"); }
};

class TestWindow : public Window, NoChildren {
public:
    explicit TestWindow(std::string name) : name_(std::move(name)) {}
    std::shared_ptr<PushButton> addButton(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Image> addImage(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Timer> addTimer(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Child> addComponent(std::string_view, const ChildDesign&) override { refuse(); }
    const std::string& name() const override { return name_; }
    WindowHandle hWnd() const override { return 1; }
    void show() override {}
    void showModal() override {}
    void hide() override {}
    bool visible() const override { return false; }
    bool isModal() const override { return false; }
    float left() const override { return 0; }
    float top() const override { return 0; }
    float width() const override { return 0; }
    float height() const override { return 0; }
    void setLeft(float) override {}
    void setTop(float) override {}
    void setWidth(float) override {}
    void setHeight(float) override {}
    void destroy() override { destroyed_ = true; }
    bool destroyed() const override { return destroyed_; }

private:
    std::string name_;
    bool destroyed_ = false;
};

class TestSite : public ControlSite, NoChildren {
public:
    TestSite(Host& host, Window& window, std::string name, const Placement& p)
        : host_(host), window_(window), name_(std::move(name)), place_(p) {}
    std::shared_ptr<PushButton> addButton(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Image> addImage(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Timer> addTimer(const ChildDesign&) override { refuse(); }
    std::shared_ptr<Child> addComponent(std::string_view, const ChildDesign&) override { refuse(); }
    Host& host() override { return host_; }
    const std::string& controlName() const override { return name_; }
    float left() const override { return place_.left; }
    float top() const override { return place_.top; }
    void setLeft(float v) override { place_.left = v; }
    void setTop(float v) override { place_.top = v; }
    Window& window() override { return window_; }
    float scaleWidth() const override { return place_.width; }
    float scaleHeight() const override { return place_.height; }
    float width() const override { return place_.width; }
    float height() const override { return place_.height; }
    void setWidth(float v) override { resizeTo(v, place_.height); }
    void setHeight(float v) override { resizeTo(place_.width, v); }
    uint32_t backColor() const override { return backColor_; }
    void setBackColor(uint32_t c) override { backColor_ = c; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool e) override { enabled_ = e; }
    void refresh() override {}
    FontRef ambientFont() override { return ambientFont_; }

private:
    void resizeTo(float w, float h) {
        if (w == place_.width && h == place_.height) return;
        place_.width = w;
        place_.height = h;
        if (onResize) onResize();
    }
    Host& host_;
    Window& window_;
    std::string name_;
    Placement place_;
    uint32_t backColor_ = 0x8000000Fu;
    bool enabled_ = true;
    FontRef ambientFont_ = std::make_shared<Font>();
};

class TestHost : public Host {
public:
    float twipsPerPixelX() const override { return 15; }
    float twipsPerPixelY() const override { return 15; }
    float screenWidth() const override { return 1024 * 15; }
    float screenHeight() const override { return 768 * 15; }
    double today() const override { return 36759; }
    void doEvents() override {}
    void sendKeys(std::string_view) override {}
    int msgBox(std::string_view, int) override { return 1; }
    bool getCursorPos(int32_t& x, int32_t& y) override {
        x = y = 0;
        return true;
    }
    WindowHandle getActiveWindow() override { return 0; }
    bool setWindowPos(WindowHandle, WindowHandle, int, int, int, int, unsigned) override { return true; }
    std::shared_ptr<Window> createWindow(const WindowDesign& d) override {
        auto w = std::make_shared<TestWindow>(d.name);
        windows.push_back(w);
        return w;
    }
    std::unique_ptr<ControlSite> createSite(Window& form, const std::string& name, const Placement& p) override {
        return std::make_unique<TestSite>(*this, form, name, p);
    }
    std::vector<std::shared_ptr<TestWindow>> windows;
};

// Persists "Caption" (text, default "Label"), "Count" (Integer, default 0) and
// "Buddy" (a control on the same form, default none), and logs its lifecycle.
// A Count of 13 read from a store fails as a stored value a control rejects.
class Gadget : public Control {
public:
    using Control::Control;
    std::string className() const override { return "Test.Gadget"; }

    void InitProperties() override { log.push_back("init"); }
    void ReadProperties(PropertyStore& store) override {
        log.push_back("read");
        caption = store.ReadProperty("Caption", Variant::string("Label")).toString();
        count = store.ReadProperty("Count", Variant::integer(0)).toInteger();
        if (count == 13) throw HostError(err::InvalidPropertyValue, "Count 13 is not allowed");
        buddy = toControlReference(store.ReadProperty("Buddy", Variant::object(nullptr)).toObject());
    }
    void WriteProperties(PropertyStore& store) override {
        store.WriteProperty("Caption", Variant::string(caption), Variant::string("Label"));
        store.WriteProperty("Count", Variant::integer(count), Variant::integer(0));
        store.WriteProperty("Buddy", Variant::object(buddy), Variant::object(nullptr));
    }
    void Resize() override { log.push_back("resize"); }

    void setCaption(const std::string& c) {
        caption = c;
        site().propertyChanged("Caption");
    }

    std::string caption;
    int16_t count = 0;
    std::shared_ptr<Control> buddy;
    std::vector<std::string> log;
};

inline void registerGadget(ComponentRegistry& registry) {
    TypeInfo info;
    info.progId = "Test.Gadget";
    registry.add(info, [](ControlSite& site) { return std::make_shared<Gadget>(site); });
}

}  // namespace tavo
