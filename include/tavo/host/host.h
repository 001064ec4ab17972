#pragma once
// The host: screen metrics, the message pump, keystrokes, message boxes, the
// window functions, windows, and the sites on which controls are placed.
// One host per user-interface thread; the controls reach it only through here.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "tavo/host/children.h"
#include "tavo/host/geometry.h"
#include "tavo/host/host_export.h"
#include "tavo/host/window.h"

namespace tavo {

class Control;

inline constexpr WindowHandle HWND_TOPMOST = -1;
inline constexpr unsigned SWP_NOSIZE = 1;
inline constexpr unsigned SWP_NOMOVE = 2;

// What the host gives one control placed on a form: its surface, its children,
// the change notification and the events it raises.
class TAVO_HOST_EXPORT ControlSite : public Container {
public:
    virtual class Host& host() = 0;
    virtual const std::string& controlName() const = 0;

    // The control's place on its form (the container's extender), twips.
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual void setLeft(float v) = 0;
    virtual void setTop(float v) = 0;
    // The form window the control stands on.
    virtual Window& window() = 0;

    // The control surface, in twips.
    virtual float scaleWidth() const = 0;
    virtual float scaleHeight() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    // A put from inside Resize that leaves the size unchanged raises no further Resize.
    virtual void setWidth(float v) = 0;
    virtual void setHeight(float v) = 0;
    virtual uint32_t backColor() const = 0;
    virtual void setBackColor(uint32_t c) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool e) = 0;
    virtual void refresh() = 0;

    virtual FontRef ambientFont() = 0;

    void propertyChanged(std::string_view property) {
        if (onPropertyChanged) onPropertyChanged(property);
    }
    // Delivers one of the control's events to the application's handler;
    // arguments are by reference: the handler's changes come back in args.
    void raiseEvent(std::string_view event, std::span<Variant> args) {
        if (onRaiseEvent) onRaiseEvent(event, args);
    }

    // Set by the form that places the control. The backend calls onResize
    // whenever the surface takes a new size.
    std::function<void(std::string_view)> onPropertyChanged;
    std::function<void(std::string_view, std::span<Variant>)> onRaiseEvent;
    std::function<void()> onResize;
};

class TAVO_HOST_EXPORT Host {
public:
    virtual ~Host() = default;

    // Screen. On a desktop of several screens, the one the pointer is on;
    // positions on it are the desktop's, so its edges may stand away from 0.
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
    virtual float screenWidth() const = 0;   // twips
    virtual float screenHeight() const = 0;  // twips
    virtual float screenLeft() const { return 0; }  // twips
    virtual float screenTop() const { return 0; }   // twips
    virtual double today() const = 0;        // date serial, no time

    // Messages
    virtual void doEvents() = 0;
    // Queues keystrokes ("{ESC}", "{ENTER}", "a") for the focused window; does not wait.
    virtual void sendKeys(std::string_view keys) = 0;
    // Modal message box; returns the button the user chose (1 is OK).
    virtual int msgBox(std::string_view text, int style) = 0;

    // Window functions
    virtual bool getCursorPos(int32_t& x, int32_t& y) = 0;
    virtual WindowHandle getActiveWindow() = 0;  // 0 when another application is active
    virtual bool setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;

    // A new hidden top-level window, its children to be added from design data.
    virtual std::shared_ptr<Window> createWindow(const WindowDesign& d) = 0;
    // A site for a control placed on a form window.
    virtual std::unique_ptr<ControlSite> createSite(Window& form, const std::string& name, const Placement& p) = 0;

    // The default instance of a form class: one per user-interface thread (one per host).
    template <class T>
    std::shared_ptr<T> defaultInstance(const std::string& formClass) {
        auto& slot = formInstances_[formClass];
        if (!slot) slot = T::create(*this);
        return std::static_pointer_cast<T>(slot);
    }
    ObjectRef findDefaultInstance(const std::string& formClass) const {
        auto it = formInstances_.find(formClass);
        return it == formInstances_.end() ? nullptr : it->second;
    }

protected:
    // For a backend's destructor: the default instances go while the backend
    // that holds their windows can still take them down.
    void releaseDefaultInstances() { formInstances_.clear(); }

private:
    std::map<std::string, ObjectRef, std::less<>> formInstances_;
};

}  // namespace tavo
