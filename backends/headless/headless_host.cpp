#include "backends/headless/headless_host.h"

#include <algorithm>
#include <cmath>

#include "backends/headless/headless_children.h"
#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_host_impl.h"
#include "backends/headless/headless_month_grid.h"
#include "backends/headless/headless_site.h"
#include "backends/headless/headless_window.h"

namespace tavo {

namespace {

constexpr WindowHandle kNotTopmost = -2;

bool takesFocus(const Child& c) {
    return dynamic_cast<const PushButton*>(&c) || dynamic_cast<const DateBox*>(&c) ||
           dynamic_cast<const MonthGrid*>(&c);
}

std::string escapeForTrace(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n";
        else
            out += ch;
    }
    return out;
}

std::shared_ptr<HeadlessWindow> headlessWindow(const std::shared_ptr<Window>& w, const char* operation) {
    if (!w) throwHostError(err::ObjectNotSet, std::string(operation) + " needs a window");
    auto hw = std::dynamic_pointer_cast<HeadlessWindow>(w);
    if (!hw)
        throwHostError(err::InvalidProcedureCall,
                       std::string(operation) + ": window " + w->name() + " does not belong to the headless host");
    return hw;
}

}  // namespace

// ---- Impl -------------------------------------------------------------------

HeadlessHost::Impl::Impl(HeadlessHost& o) : owner(o), ambientFont(std::make_shared<Font>()) {}

void HeadlessHost::Impl::record(const std::string& line) {
    traceLines.push_back(line);
    fireHandler(owner.onTrace, line);
}

void HeadlessHost::Impl::post(std::function<void()> work) { queue.push_back({nextSeq++, std::move(work)}); }

bool HeadlessHost::Impl::deliverOne() {
    if (queue.empty()) return false;
    const std::function<void()> work = std::move(queue.front().work);
    queue.pop_front();
    dispatch(work);
    return true;
}

void HeadlessHost::Impl::dispatch(const std::function<void()>& work) {
    try {
        work();
    } catch (const HostError& e) {
        handlerErrors.push_back(e);
        record("error " + std::to_string(e.number()) + " " + e.what());
    }
}

bool HeadlessHost::Impl::fireNextTimer(int64_t until) {
    std::erase_if(timers, [](const std::weak_ptr<HeadlessTimer>& t) { return t.expired(); });
    std::shared_ptr<HeadlessTimer> next;
    for (const auto& weak : timers) {
        auto t = weak.lock();
        // Strictly earlier only: of two ticks due at once the older timer goes first.
        if (t && t->dueBy(until) && (!next || t->due() < next->due())) next = t;
    }
    if (!next) return false;
    now = std::max(now, next->due());
    next->ticked();
    post([weak = std::weak_ptr<HeadlessTimer>(next)] {
        const auto t = weak.lock();
        if (t && !t->gone() && t->enabled()) fireHandler(t->onTimer);
    });
    while (deliverOne()) {
    }
    return true;
}

void HeadlessHost::Impl::activate(const std::shared_ptr<HeadlessWindow>& w) {
    active = w->hWnd();
    if (!w->destroyed()) fireHandler(w->onActivate);
}

void HeadlessHost::Impl::postActivate(const std::shared_ptr<HeadlessWindow>& w) {
    post([weak = std::weak_ptr<HeadlessWindow>(w)] {
        const auto win = weak.lock();
        if (win && !win->destroyed()) fireHandler(win->onActivate);
    });
}

void HeadlessHost::Impl::giveBackActivation(const HeadlessWindow& leaving) {
    if (active != leaving.hWnd()) return;
    const auto main = mainWindow.lock();
    active = main && !main->destroyed() && main.get() != &leaving ? main->hWnd() : 0;
}

std::shared_ptr<HeadlessWindow> HeadlessHost::Impl::modalWindow() const {
    for (auto it = modalStack.rbegin(); it != modalStack.rend(); ++it) {
        auto w = it->lock();
        if (w && !w->destroyed() && w->visible() && w->isModal()) return w;
    }
    return nullptr;
}

std::shared_ptr<Child> HeadlessHost::Impl::focusedChild() const {
    auto f = focused.lock();
    const auto* place = dynamic_cast<const ChildPlace*>(f.get());
    return place && !place->gone() ? f : nullptr;
}

bool HeadlessHost::Impl::inputAllowed(const ChildPlace& p) const {
    if (!p.takesInput()) return false;
    const auto modal = modalWindow();
    return !modal || p.window() == modal;
}

void HeadlessHost::Impl::postInput(std::shared_ptr<Child> target, bool activates, std::function<void(Child&)> action) {
    if (!target) throwHostError(err::ObjectNotSet, "input needs a target control");
    if (!dynamic_cast<ChildPlace*>(target.get()))
        throwHostError(err::InvalidProcedureCall, target->displayName() + " does not belong to the headless host");
    post([this, target = std::move(target), activates, action = std::move(action)] {
        auto& place = dynamic_cast<ChildPlace&>(*target);
        if (!inputAllowed(place)) return;
        if (activates) {
            // A press on an inactive window activates it before the press arrives.
            const auto w = place.window();
            if (w && active != w->hWnd()) {
                activate(w);
                if (!inputAllowed(place)) return;
            }
        }
        action(*target);
    });
}

void HeadlessHost::Impl::deliverMouse(Child& c, MouseAction action, int16_t button, int16_t shift, float x, float y) {
    auto& place = dynamic_cast<ChildPlace&>(c);
    const bool press = action != MouseAction::Up;
    if (press && takesFocus(c)) focused = place.childRef();

    // The pointer stands on a whole pixel; X and Y are measured from there, so
    // that cursor × twips per pixel − X − child Left is the surface's left edge.
    const double originX = place.screenLeft(), originY = place.screenTop();
    cursorX = static_cast<int32_t>(std::floor((originX + x) / twipsPerPixel));
    cursorY = static_cast<int32_t>(std::floor((originY + y) / twipsPerPixel));
    const auto px = static_cast<float>(cursorX * static_cast<double>(twipsPerPixel) - originX);
    const auto py = static_cast<float>(cursorY * static_cast<double>(twipsPerPixel) - originY);
    const auto still = [&] { return inputAllowed(place); };

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

void HeadlessHost::Impl::deliverKey(Child& c, const KeyStroke& k) {
    auto& place = dynamic_cast<ChildPlace&>(c);
    const auto still = [&] { return inputAllowed(place); };
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

// ---- HeadlessHost -------------------------------------------------------------

HeadlessHost::HeadlessHost() : impl_(std::make_unique<Impl>(*this)) {}

HeadlessHost::~HeadlessHost() = default;

void HeadlessHost::setScreen(int widthPx, int heightPx, int dpi) {
    if (widthPx <= 0 || heightPx <= 0 || dpi <= 0)
        throwHostError(err::InvalidProcedureCall, "screen " + std::to_string(widthPx) + " x " +
                                                      std::to_string(heightPx) + " at " + std::to_string(dpi) +
                                                      " DPI: every number must be positive");
    impl_->screenWidthPx = widthPx;
    impl_->screenHeightPx = heightPx;
    impl_->dpi = dpi;
    impl_->twipsPerPixel = 1440.0f / static_cast<float>(dpi);
}

void HeadlessHost::setToday(double serial) { impl_->today = serial; }

void HeadlessHost::setCursorPos(int32_t x, int32_t y) {
    impl_->cursorX = x;
    impl_->cursorY = y;
}

void HeadlessHost::setRefuseModeless(bool refuse) { impl_->refuseModeless = refuse; }

void HeadlessHost::setMsgBoxAnswer(int answer) { impl_->msgBoxAnswer = answer; }

int64_t HeadlessHost::now() const { return impl_->now; }

void HeadlessHost::advance(int64_t ms) {
    if (ms < 0)
        throwHostError(err::InvalidProcedureCall, "advance by " + std::to_string(ms) + " ms: time runs forward only");
    runUntilIdle();
    const int64_t until = impl_->now + ms;
    while (impl_->fireNextTimer(until)) {
    }
    impl_->now = std::max(impl_->now, until);
}

void HeadlessHost::runUntilIdle() {
    while (impl_->deliverOne()) {
    }
}

void HeadlessHost::doEvents() {
    const uint64_t limit = impl_->nextSeq;
    while (!impl_->queue.empty() && impl_->queue.front().seq < limit) impl_->deliverOne();
}

void HeadlessHost::postMouseDown(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x,
                                 float y) {
    impl_->postInput(target, true, [this, button, shift, x, y](Child& c) {
        impl_->deliverMouse(c, MouseAction::Down, button, shift, x, y);
    });
}

void HeadlessHost::postMouseUp(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x, float y) {
    impl_->postInput(target, true, [this, button, shift, x, y](Child& c) {
        impl_->deliverMouse(c, MouseAction::Up, button, shift, x, y);
    });
}

void HeadlessHost::postClick(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x, float y) {
    impl_->postInput(target, true, [this, button, shift, x, y](Child& c) {
        impl_->deliverMouse(c, MouseAction::Click, button, shift, x, y);
    });
}

void HeadlessHost::postKey(const std::shared_ptr<Child>& target, const std::string& key) {
    const auto k = keyFromName(key);
    if (!k)
        throwHostError(err::InvalidProcedureCall,
                       "key \"" + key +
                           "\" is neither a key name (ESC, ENTER, TAB, F4, UP, DOWN, LEFT, RIGHT, PGUP, "
                           "PGDN, HOME, END) nor one printable character");
    impl_->postInput(target, false, [this, k = *k](Child& c) { impl_->deliverKey(c, k); });
}

void HeadlessHost::postActivate(const std::shared_ptr<Window>& w) {
    auto hw = headlessWindow(w, "postActivate");
    impl_->post([this, weak = std::weak_ptr<HeadlessWindow>(hw)] {
        const auto win = weak.lock();
        if (!win || win->destroyed()) return;
        // The window system keeps the other windows disabled while a modal one is up.
        const auto modal = impl_->modalWindow();
        if (modal && modal != win) return;
        impl_->activate(win);
    });
}

void HeadlessHost::postActivateOtherApplication() {
    impl_->post([this] { impl_->active = 0; });
}

void HeadlessHost::post(std::function<void()> work) { impl_->post(std::move(work)); }

WindowHandle HeadlessHost::activeWindow() const { return impl_->active; }

std::shared_ptr<Child> HeadlessHost::focusedChild() const { return impl_->focusedChild(); }

void HeadlessHost::setFocusedChild(const std::shared_ptr<Child>& c) { impl_->focused = c; }

bool HeadlessHost::isTopmost(WindowHandle w) const { return impl_->topmost.count(w) != 0; }

bool HeadlessHost::modalActive() const { return impl_->modalWindow() != nullptr; }

std::shared_ptr<Window> HeadlessHost::windowByHandle(WindowHandle h) const {
    for (const auto& w : impl_->windows)
        if (w->hWnd() == h) return w;
    return nullptr;
}

std::vector<std::shared_ptr<Window>> HeadlessHost::windows() const {
    return {impl_->windows.begin(), impl_->windows.end()};
}

const std::vector<HeadlessHost::MsgBoxRecord>& HeadlessHost::messageBoxes() const { return impl_->messageBoxes; }

const std::vector<std::string>& HeadlessHost::keysSent() const { return impl_->keysSent; }

const std::vector<std::string>& HeadlessHost::trace() const { return impl_->traceLines; }

void HeadlessHost::clearTrace() { impl_->traceLines.clear(); }

void HeadlessHost::record(const std::string& line) { impl_->record(line); }

const std::vector<HostError>& HeadlessHost::handlerErrors() const { return impl_->handlerErrors; }

void HeadlessHost::clearHandlerErrors() { impl_->handlerErrors.clear(); }

void HeadlessHost::setMainWindow(const std::shared_ptr<Window>& w) {
    if (!w) {
        impl_->mainWindow.reset();
        return;
    }
    auto hw = headlessWindow(w, "setMainWindow");
    impl_->mainWindow = hw;
    if (!hw->destroyed()) impl_->active = hw->hWnd();
}

float HeadlessHost::twipsPerPixelX() const { return impl_->twipsPerPixel; }

float HeadlessHost::twipsPerPixelY() const { return impl_->twipsPerPixel; }

float HeadlessHost::screenWidth() const { return static_cast<float>(impl_->screenWidthPx) * impl_->twipsPerPixel; }

float HeadlessHost::screenHeight() const { return static_cast<float>(impl_->screenHeightPx) * impl_->twipsPerPixel; }

double HeadlessHost::today() const { return impl_->today; }

void HeadlessHost::sendKeys(std::string_view keys) {
    const auto strokes = parseSendKeys(keys);
    impl_->keysSent.emplace_back(keys);
    impl_->record("sendkeys \"" + std::string(keys) + "\"");
    // Each key goes wherever the focus is when the loop reaches it.
    for (const auto& k : strokes) {
        impl_->post([this, k] {
            const auto target = impl_->focusedChild();
            if (!target || !impl_->inputAllowed(dynamic_cast<ChildPlace&>(*target))) return;
            impl_->deliverKey(*target, k);
        });
    }
}

int HeadlessHost::msgBox(std::string_view text, int style) {
    impl_->messageBoxes.push_back({std::string(text), style});
    impl_->record("msgbox " + std::to_string(style) + " \"" + escapeForTrace(text) + "\"");
    return impl_->msgBoxAnswer;
}

bool HeadlessHost::getCursorPos(int32_t& x, int32_t& y) {
    x = impl_->cursorX;
    y = impl_->cursorY;
    return true;
}

WindowHandle HeadlessHost::getActiveWindow() { return impl_->active; }

bool HeadlessHost::setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy,
                                unsigned flags) {
    const auto win = windowByHandle(w);
    if (!win) return false;
    if (insertAfter == HWND_TOPMOST) {
        impl_->topmost.insert(w);
        impl_->record("topmost " + win->name());
    } else if (insertAfter == kNotTopmost) {
        impl_->topmost.erase(w);
    }
    const float tpp = impl_->twipsPerPixel;
    if (!(flags & SWP_NOMOVE)) {
        win->setLeft(static_cast<float>(x) * tpp);
        win->setTop(static_cast<float>(y) * tpp);
    }
    if (!(flags & SWP_NOSIZE)) {
        win->setWidth(static_cast<float>(std::max(cx, 0)) * tpp);
        win->setHeight(static_cast<float>(std::max(cy, 0)) * tpp);
    }
    return true;
}

std::shared_ptr<Window> HeadlessHost::createWindow(const WindowDesign& d) {
    auto w = std::make_shared<HeadlessWindow>(*impl_, d, impl_->nextHandle++);
    impl_->windows.push_back(w);
    return w;
}

std::unique_ptr<ControlSite> HeadlessHost::createSite(Window& form, const std::string& name, const Placement& p) {
    auto* hw = dynamic_cast<HeadlessWindow*>(&form);
    if (!hw)
        throwHostError(err::InvalidProcedureCall,
                       "control " + name + ": window " + form.name() + " does not belong to the headless host");
    return std::make_unique<HeadlessSite>(*impl_, hw->shared_from_this(), name, p);
}

}  // namespace tavo
