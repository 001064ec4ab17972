#include "tavo/qt/hosted_control.h"

#include "backends/qt/qt_control_site.h"
#include "tavo/host/ascii_text.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

void relayEvent(std::string_view event, std::span<Variant> args, const ControlEvents& to) {
    auto is = [&](const char* name) { return ascii::equalsNoCase(event, name); };
    auto call = [](const std::function<void()>& handler) {
        if (handler) handler();
    };
    if (is("Change")) call(to.change);
    else if (is("Click")) call(to.click);
    else if (is("DblClick")) call(to.dblClick);
    else if ((is("KeyDown") || is("KeyUp")) && args.size() >= 2) {
        qint16 code = args[0].toInteger(), shift = args[1].toInteger();
        const auto& handler = is("KeyDown") ? to.keyDown : to.keyUp;
        if (handler) handler(code, shift);
        args[0] = Variant::integer(code);
        args[1] = Variant::integer(shift);
    } else if (is("KeyPress") && !args.empty()) {
        qint16 ascii = args[0].toInteger();
        if (to.keyPress) to.keyPress(ascii);
        args[0] = Variant::integer(ascii);
    }
}

HostedControl::HostedControl(QtHost& host, QWidget* surface, std::string_view progId, const std::string& name,
                             const ComponentRegistry& registry)
    : host_(host), site_(std::make_unique<QtControlSite>(host, surface, name)) {
    site_->onRaiseEvent = [this](std::string_view event, std::span<Variant> args) {
        if (onEvent) onEvent(event, args);
    };
    site_->onPropertyChanged = [this](std::string_view property) {
        if (onPropertyChanged) onPropertyChanged(property);
    };
    site_->onResize = [this] {
        if (control_) control_->Resize();
    };
    control_ = registry.create(progId, *site_);
    control_->InitProperties();
    control_->Resize();
}

HostedControl::~HostedControl() {
    // The control is told while its site still stands (an open popup of the
    // control closes); whatever still holds it afterwards gets an error from
    // it, never a site that is gone. Then its children go before the site.
    control_->detachFromSite();
    control_.reset();
    site_.reset();
}

QSize HostedControl::size() const { return {host_.toPixelsX(site_->width()), host_.toPixelsY(site_->height())}; }

}  // namespace tavo
