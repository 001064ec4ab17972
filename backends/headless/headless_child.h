#pragma once
// What every child of the headless host shares: where it stands (a window, and
// the control surface on it, if any), its box in twips, and its visible and
// enabled states. Input reaches a child only through these.
#include <memory>
#include <string>
#include <utility>

#include "tavo/host/children.h"
#include "tavo/host/font.h"

namespace tavo {

class EventLoop;
class HeadlessScreen;
class HeadlessWindow;
class InputRouter;
class Recorder;
class WindowManager;
struct HeadlessHostParts;

// The part of a control surface that its children look at. It outlives the
// site, so that a child kept elsewhere can tell that its surface is gone.
struct SiteState {
    float left = 0, top = 0, width = 0, height = 0;
    bool enabled = true;
    bool alive = true;
};

struct Placing {
    HeadlessHostParts* host = nullptr;
    std::weak_ptr<HeadlessWindow> window;
    std::shared_ptr<SiteState> site;  // null for a window's own children
};

class ChildPlace {
public:
    explicit ChildPlace(Placing p) : placing_(std::move(p)) {}
    virtual ~ChildPlace() = default;

    // The host's parts a child works with.
    EventLoop& loop() const;
    Recorder& recorder() const;
    InputRouter& input() const;
    WindowManager& windows() const;
    const HeadlessScreen& screen() const;
    FontRef ambientFont() const;
    std::shared_ptr<HeadlessWindow> window() const { return placing_.window.lock(); }
    const SiteState* site() const { return placing_.site.get(); }

    // Its window was unloaded or its surface removed: no handler of it may run.
    bool gone() const;
    // Not gone, visible, enabled, and on an enabled surface.
    bool takesInput() const;
    // The screen position of its top-left corner, twips.
    double screenLeft() const;
    double screenTop() const;

    virtual Child& asChild() = 0;
    const Child& asChild() const { return const_cast<ChildPlace*>(this)->asChild(); }
    std::shared_ptr<Child> childRef() { return std::static_pointer_cast<Child>(asChild().shared_from_this()); }

private:
    Placing placing_;
};

// Calls an event handler through a copy of it: the handler may replace itself,
// or unload the window that holds it, while it runs.
template <class Handler, class... Args>
void fireHandler(const Handler& handler, Args&&... args) {
    Handler h = handler;
    if (h) h(std::forward<Args>(args)...);
}

// A number as messages show it: "-5", "2565.5".
std::string messageNumber(double v);
// HostError 380 naming the child and the member when a size is negative.
void checkChildSize(const Child& c, const char* member, float v);
// SetFocus: HostError 5 when the child is gone, hidden or disabled.
void focusChild(ChildPlace& c);

template <class Base>
class HeadlessChild : public Base, public ChildPlace {
public:
    HeadlessChild(const ChildDesign& d, Placing p)
        : Base(d),
          ChildPlace(std::move(p)),
          left_(d.left),
          top_(d.top),
          width_(d.width),
          height_(d.height),
          visible_(d.visible),
          enabled_(d.enabled) {
        checkChildSize(*this, "Width", d.width);
        checkChildSize(*this, "Height", d.height);
    }

    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float v) override { left_ = v; }
    void setTop(float v) override { top_ = v; }
    void setWidth(float v) override {
        checkChildSize(*this, "Width", v);
        width_ = v;
    }
    void setHeight(float v) override {
        checkChildSize(*this, "Height", v);
        height_ = v;
    }
    void setFocus() override { focusChild(*this); }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override { visible_ = v; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool v) override { enabled_ = v; }

    Child& asChild() override { return *this; }

private:
    float left_, top_, width_, height_;
    bool visible_, enabled_;
};

}  // namespace tavo
