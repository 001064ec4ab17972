#pragma once
// Child controls a host creates for a control or a window from design data:
// push buttons, images (also as indexed sets), timers, and platform components
// (date box, month grid) created by class name. Events are plain callbacks that
// the owning control sets; the host calls them on its user-interface thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tavo/host/font.h"
#include "tavo/host/host_export.h"
#include "tavo/host/object.h"
#include "tavo/host/picture.h"

namespace tavo {

struct TAVO_HOST_EXPORT ChildDesign {
    std::string name;
    int index = -1;  // element of an indexed set, or -1
    float left = 0, top = 0, width = 0, height = 0;  // twips in the container
    bool visible = true;
    bool enabled = true;
    int tabIndex = 0;
    bool tabStop = true;
    std::string caption;
    PictureRef picture;
    bool graphical = false;  // push button in graphical style (shows its picture)
    // A graphical push button draws the pixels of its picture that have the
    // mask colour (0x00BBGGRR) as transparent, so that the picture stands on
    // the button's own face. Off unless the design says so; the host's
    // default mask colour is light grey.
    bool useMaskColor = false;
    uint32_t maskColor = 0x00C0C0C0;
    // What assistive tools call a child that has no caption to be named by.
    std::string accessibleName;
    int interval = 0;        // timers, milliseconds
};

using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;

// Container-provided members of any child.
class TAVO_HOST_EXPORT Child : public Object {
public:
    explicit Child(const ChildDesign& d) : name_(d.name), index_(d.index) {}
    const std::string& name() const { return name_; }
    int index() const { return index_; }
    // "cal", or "img(2)" for an element of an indexed set
    std::string displayName() const;

    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    // A size or place the host rejects (a negative width or height) is HostError 380.
    virtual void setLeft(float v) = 0;
    virtual void setTop(float v) = 0;
    virtual void setWidth(float v) = 0;
    virtual void setHeight(float v) = 0;
    virtual void move(float left, float top, float width, std::optional<float> height = {});
    virtual void setFocus() = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool v) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool v) = 0;

    // Late-bound: Left, Top, Width, Height, Visible, Enabled, Move, SetFocus.
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

private:
    std::string name_;
    int index_;
};

class TAVO_HOST_EXPORT PushButton : public Child {
public:
    using Child::Child;
    virtual PictureRef picture() const = 0;
    virtual void setPicture(PictureRef p) = 0;  // by reference
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& c) = 0;

    std::function<void()> onClick;
    MouseHandler onMouseDown;

    std::string className() const override { return "CommandButton"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    void putRef(std::string_view member, const Variant& value) override;
};

class TAVO_HOST_EXPORT Image : public Child {
public:
    using Child::Child;
    virtual PictureRef picture() const = 0;
    virtual void setPicture(PictureRef p) = 0;  // the image shows the same object
    virtual std::string toolTipText() const = 0;
    virtual void setToolTipText(const std::string& t) = 0;
    virtual void refresh() = 0;

    // MouseDown, MouseUp, Click in this order for one click; none while the
    // owning control's surface is disabled.
    MouseHandler onMouseDown;
    MouseHandler onMouseUp;
    std::function<void()> onClick;

    std::string className() const override { return "Image"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    void putRef(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;
};

class TAVO_HOST_EXPORT Timer : public Child {
public:
    using Child::Child;
    virtual int interval() const = 0;
    virtual void setInterval(int ms) = 0;
    // A timer's Enabled (from Child) starts and stops it.
    std::function<void()> onTimer;
    // Set by an owner whose handler only watches: it keeps nothing of its
    // own between ticks and reads no clock, it looks at the host and either
    // acts on what it sees or does nothing. After a tick that did nothing,
    // the ticks that follow do nothing either until something else happens;
    // a host with a virtual clock passes over them in a long wait instead of
    // running them one by one (the headless host's advance says exactly when).
    bool watchOnly = false;

    std::string className() const override { return "Timer"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
};

// Where children are created: a control's surface or a window.
class TAVO_HOST_EXPORT Container {
public:
    virtual ~Container() = default;
    virtual std::shared_ptr<PushButton> addButton(const ChildDesign& d) = 0;
    virtual std::shared_ptr<Image> addImage(const ChildDesign& d) = 0;
    virtual std::shared_ptr<Timer> addTimer(const ChildDesign& d) = 0;
    // A platform component by class name ("MSComCtl2.DTPicker", "MSComCtl2.MonthView").
    // Throws HostError 429 when the backend has no such component.
    virtual std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d) = 0;
};

}  // namespace tavo
