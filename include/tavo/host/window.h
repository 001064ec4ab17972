#pragma once
// A top-level window of the host (a form). Created hidden by Host::createWindow;
// destroying it (unload) destroys its children and ends a modal loop showing it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "tavo/host/children.h"
#include "tavo/host/host_export.h"

namespace tavo {

using WindowHandle = intptr_t;

struct TAVO_HOST_EXPORT WindowDesign {
    std::string name;            // "frmCalendar"
    std::string caption;
    bool border = true;          // false: no title bar, no control box
    bool showInTaskbar = true;
    bool keyPreview = false;     // the window's KeyPress sees keys before its children
    float clientWidth = 0, clientHeight = 0;  // twips
};

class TAVO_HOST_EXPORT Window : public Container {
public:
    virtual const std::string& name() const = 0;
    virtual WindowHandle hWnd() const = 0;

    // Modeless, without an owner; returns at once. Throws HostError 401 when the
    // host cannot show a modeless window now (a modal window is up).
    virtual void show() = 0;
    // Modal, without an owner: runs the host's modal loop and returns when the
    // window is hidden or unloaded.
    virtual void showModal() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual bool isModal() const = 0;

    // Outer position and size on the screen, twips.
    virtual float left() const = 0;
    virtual float top() const = 0;
    virtual float width() const = 0;
    virtual float height() const = 0;
    virtual void setLeft(float v) = 0;
    virtual void setTop(float v) = 0;
    virtual void setWidth(float v) = 0;
    virtual void setHeight(float v) = 0;

    // Destroys the window and its children (Unload). Safe to call from one of
    // the window's own handlers; a second call does nothing.
    virtual void destroy() = 0;
    virtual bool destroyed() const = 0;

    std::function<void()> onActivate;
    std::function<void(int16_t& keyAscii)> onKeyPress;
};

}  // namespace tavo
