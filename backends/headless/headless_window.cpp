#include "backends/headless/headless_window.h"

#include "backends/headless/headless_children.h"
#include "backends/headless/headless_host_parts.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

void checkWindowSize(const std::string& window, const char* member, float v) {
    if (!(v >= 0))
        throwHostError(err::InvalidPropertyValue, window + "." + member + " " + messageNumber(v) + " is negative");
}

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessHostParts& host, const WindowDesign& d, WindowHandle handle)
    : host_(host), design_(d), handle_(handle), width_(d.clientWidth), height_(d.clientHeight) {
    checkWindowSize(d.name, "Width", d.clientWidth);
    checkWindowSize(d.name, "Height", d.clientHeight);
}

void HeadlessWindow::requireLoaded(const char* what) const {
    if (destroyed_)
        throwHostError(err::InvalidProcedureCall, std::string(what) + ": window " + name() + " has been unloaded");
}

void HeadlessWindow::show() {
    requireLoaded("Show");
    if (host_.windows.refusesModeless())
        throw HostError(err::CantShowModeless,
                        "Can't show non-modal form now: the host refuses a modeless " + name() + " at this moment");
    if (const auto modal = host_.windows.modalWindow())
        throwHostError(err::CantShowModeless, name() + " while " + modal->name() + " is up");
    visible_ = true;
    host_.recorder.record("show " + name() + " modeless");
    host_.windows.activateShown(shared_from_this());
}

void HeadlessWindow::showModal() {
    requireLoaded("Show vbModal");
    if (visible_) throwHostError(err::FormAlreadyDisplayed, name());
    const auto self = shared_from_this();
    host_.recorder.record("show " + name() + " modal");
    visible_ = true;
    modal_ = true;
    host_.windows.pushModal(self);
    host_.windows.activateShown(self);

    const auto endModal = [this] {
        modal_ = false;
        host_.windows.popModal(*this);
    };
    // Whether the caller's idle hook gave the loop something to do.
    const auto idleBroughtWork = [this] {
        const auto idle = host_.owner.onModalIdle;
        if (!idle) return false;
        const EventLoop::Mark before = host_.loop.mark();
        const bool more = idle();
        return more && (!host_.loop.idle() || host_.loop.mark() != before || !visible_ || destroyed_);
    };
    try {
        while (visible_ && !destroyed_) {
            if (host_.loop.deliverOne() || idleBroughtWork()) continue;
            hide();
            throwHostError(err::InvalidProcedureCall,
                           "modal window " + name() + " is waiting and nothing is left that could close it");
        }
    } catch (...) {
        endModal();
        throw;
    }
    endModal();
}

void HeadlessWindow::hide() {
    visible_ = false;
    host_.windows.giveBackActivation(*this);
}

void HeadlessWindow::setWidth(float v) {
    checkWindowSize(name(), "Width", v);
    width_ = v;
}

void HeadlessWindow::setHeight(float v) {
    checkWindowSize(name(), "Height", v);
    height_ = v;
}

void HeadlessWindow::destroy() {
    if (destroyed_) return;
    // The host's list may hold the last reference; the window must outlive this call.
    const auto self = shared_from_this();
    destroyed_ = true;
    visible_ = false;
    host_.recorder.record("unload " + name());
    host_.windows.unloaded(self);
}

Placing HeadlessWindow::placing() { return Placing{&host_, weak_from_this(), nullptr}; }

std::shared_ptr<PushButton> HeadlessWindow::addButton(const ChildDesign& d) {
    requireLoaded("adding a button");
    return makeButton(d, placing());
}

std::shared_ptr<Image> HeadlessWindow::addImage(const ChildDesign& d) {
    requireLoaded("adding an image");
    return makeImage(d, placing());
}

std::shared_ptr<Timer> HeadlessWindow::addTimer(const ChildDesign& d) {
    requireLoaded("adding a timer");
    return makeTimer(d, placing());
}

std::shared_ptr<Child> HeadlessWindow::addComponent(std::string_view className, const ChildDesign& d) {
    requireLoaded("adding a component");
    return makeComponent(className, d, placing());
}

}  // namespace tavo
