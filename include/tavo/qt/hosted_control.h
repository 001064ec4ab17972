#pragma once
// A control created by its registered class name on a widget of the
// application's, which becomes the control's surface: what a QWidget needs
// to carry a control in an application's layouts. A size the application's
// layout gives the widget reaches the control as Resize.
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "tavo/host/control.h"
#include "tavo/host/registry.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class QtControlSite;
class QtHost;

// The events a control raises, typed. The key handlers get the codes by
// reference: a handler that changes or zeroes one changes what the control sees.
struct TAVO_QT_EXPORT ControlEvents {
    std::function<void()> click, dblClick, change;
    std::function<void(qint16& keyCode, qint16& shift)> keyDown, keyUp;
    std::function<void(qint16& keyAscii)> keyPress;
};

// Hands an event the control raised to the matching handler of `to`, and the
// key codes the handler leaves back into the event's arguments.
TAVO_QT_EXPORT void relayEvent(std::string_view event, std::span<Variant> args, const ControlEvents& to);

class TAVO_QT_EXPORT HostedControl {
public:
    // Creates the control on `surface` at the surface's present size
    // (InitProperties, then Resize). An unknown class is HostError 429.
    HostedControl(QtHost& host, QWidget* surface, std::string_view progId, const std::string& name,
                  const ComponentRegistry& registry);
    ~HostedControl();
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    Control& control() const { return *control_; }
    const std::shared_ptr<Control>& controlRef() const { return control_; }
    QtControlSite& site() const { return *site_; }
    QtHost& host() const { return host_; }
    // The surface's size as the control has it, in pixels.
    QSize size() const;

    // Every event the control raises, with its arguments (by reference), and
    // the name of every property written.
    std::function<void(std::string_view event, std::span<Variant> args)> onEvent;
    std::function<void(std::string_view property)> onPropertyChanged;

private:
    QtHost& host_;
    std::unique_ptr<QtControlSite> site_;
    std::shared_ptr<Control> control_;
};

}  // namespace tavo
