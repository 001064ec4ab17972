#include "backends/headless/input_router.h"

#include <cmath>

#include "backends/headless/event_loop.h"
#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_month_grid.h"
#include "backends/headless/headless_screen.h"
#include "backends/headless/headless_window.h"
#include "backends/headless/window_manager.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

bool takesFocus(const Child& c) {
    return dynamic_cast<const PushButton*>(&c) || dynamic_cast<const DateBox*>(&c) ||
           dynamic_cast<const MonthGrid*>(&c);
}

}  // namespace

bool InputRouter::allowed(const ChildPlace& p) const {
    if (!p.takesInput()) return false;
    const auto modal = windows_.modalWindow();
    return !modal || p.window() == modal;
}

void InputRouter::post(std::shared_ptr<Child> target, bool activates, std::function<void(Child&)> action) {
    if (!target) throwHostError(err::ObjectNotSet, "input needs a target control");
    if (!dynamic_cast<ChildPlace*>(target.get()))
        throwHostError(err::InvalidProcedureCall, target->displayName() + " does not belong to the headless host");
    loop_.post([this, target = std::move(target), activates, action = std::move(action)] {
        auto& place = dynamic_cast<ChildPlace&>(*target);
        if (!allowed(place)) return;
        if (activates) {
            // A press on an inactive window activates it before the press arrives.
            const auto w = place.window();
            if (w && windows_.active() != w->hWnd()) {
                windows_.activate(w);
                if (!allowed(place)) return;
            }
        }
        action(*target);
    });
}

void InputRouter::postMouse(const std::shared_ptr<Child>& target, MouseAction action, int16_t button, int16_t shift,
                            float x, float y) {
    post(target, true, [=, this](Child& c) { deliverMouse(c, action, button, shift, x, y); });
}

void InputRouter::postKey(const std::shared_ptr<Child>& target, const KeyStroke& key) {
    post(target, false, [this, key](Child& c) { deliverKey(c, key); });
}

void InputRouter::postToFocus(const KeyStroke& key) {
    loop_.post([this, key] {
        const auto target = windows_.focusedChild();
        if (!target || !allowed(dynamic_cast<ChildPlace&>(*target))) return;
        deliverKey(*target, key);
    });
}

void InputRouter::deliverMouse(Child& c, MouseAction action, int16_t button, int16_t shift, float x, float y) {
    auto& place = dynamic_cast<ChildPlace&>(c);
    const bool press = action != MouseAction::Up;
    if (press && takesFocus(c)) windows_.setFocus(place.childRef());

    // The pointer stands on a whole pixel; X and Y are measured from there, so
    // that cursor × twips per pixel − X − child Left is the surface's left edge.
    const double originX = place.screenLeft(), originY = place.screenTop();
    const float tpp = screen_.twipsPerPixel();
    screen_.setCursor(static_cast<int32_t>(std::floor((originX + x) / tpp)),
                      static_cast<int32_t>(std::floor((originY + y) / tpp)));
    const auto px = static_cast<float>(screen_.cursorX() * static_cast<double>(tpp) - originX);
    const auto py = static_cast<float>(screen_.cursorY() * static_cast<double>(tpp) - originY);
    const auto still = [&] { return allowed(place); };

    if (auto* b = dynamic_cast<PushButton*>(&c)) {
        if (press) fireHandler(b->onMouseDown, button, shift, px, py);
        if (action == MouseAction::Click && still()) fireHandler(b->onClick);
    } else if (auto* img = dynamic_cast<Image*>(&c)) {
        if (press) fireHandler(img->onMouseDown, button, shift, px, py);
        if (action != MouseAction::Down && still()) fireHandler(img->onMouseUp, button, shift, px, py);
        if (action == MouseAction::Click && still()) fireHandler(img->onClick);
    } else if (auto* box = dynamic_cast<DateBox*>(&c)) {
        if (action == MouseAction::Click) fireHandler(box->onClick);
    }
}

void InputRouter::deliverKey(Child& c, const KeyStroke& k) {
    auto& place = dynamic_cast<ChildPlace&>(c);
    const auto still = [&] { return allowed(place); };
    auto* box = dynamic_cast<HeadlessDateBox*>(&c);
    auto* grid = dynamic_cast<HeadlessMonthGrid*>(&c);
    auto* button = dynamic_cast<PushButton*>(&c);

    // The box's own calendar, while down, takes the keys itself.
    if (box && box->droppedDown()) {
        if (k.keyCode == key::Escape || k.keyCode == key::Enter) box->closeOwnCalendar();
        return;
    }

    int16_t keyCode = k.keyCode, shift = k.shift;
    if (box) {
        fireHandler(box->onKeyDown, keyCode, shift);
        if (!still()) return;
        if (keyCode == key::F4 || (keyCode == key::Down && (shift & kAltMask))) box->openOwnCalendar();
    } else if (grid) {
        grid->navigate(keyCode);
    }

    if (k.keyAscii != 0 && still()) {
        int16_t keyAscii = k.keyAscii;
        const auto w = place.window();
        if (w && w->design().keyPreview) fireHandler(w->onKeyPress, keyAscii);
        if (keyAscii != 0 && still()) {
            if (box)
                fireHandler(box->onKeyPress, keyAscii);
            else if (grid && keyAscii == key::Enter)
                grid->clickDay(grid->value());
            else if (button && (keyAscii == key::Enter || keyAscii == key::Space))
                fireHandler(button->onClick);
        }
    }

    if (box && still()) {
        int16_t upCode = k.keyCode, upShift = k.shift;
        fireHandler(box->onKeyUp, upCode, upShift);
    }
}

}  // namespace tavo
