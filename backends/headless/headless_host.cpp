#include "backends/headless/headless_host.h"

#include <algorithm>

#include "backends/headless/headless_host_parts.h"
#include "backends/headless/headless_site.h"
#include "backends/headless/headless_window.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

constexpr WindowHandle kNotTopmost = -2;

std::shared_ptr<HeadlessWindow> headlessWindow(const std::shared_ptr<Window>& w, const char* operation) {
    if (!w) throwHostError(err::ObjectNotSet, std::string(operation) + " needs a window");
    auto hw = std::dynamic_pointer_cast<HeadlessWindow>(w);
    if (!hw)
        throwHostError(err::InvalidProcedureCall,
                       std::string(operation) + ": window " + w->name() + " does not belong to the headless host");
    return hw;
}

bool overlap(const HeadlessScreen::Area& a, const HeadlessScreen::Area& b) {
    auto apart = [](int64_t from, int64_t size, int64_t otherFrom) { return from + size <= otherFrom; };
    return !(apart(a.left, a.width, b.left) || apart(b.left, b.width, a.left) || apart(a.top, a.height, b.top) ||
             apart(b.top, b.height, a.top));
}

std::string areaText(const HeadlessScreen::Area& a) {
    return std::to_string(a.left) + ", " + std::to_string(a.top) + " (" + std::to_string(a.width) + " x " +
           std::to_string(a.height) + ")";
}

}  // namespace

HeadlessHost::HeadlessHost() : parts_(std::make_unique<HeadlessHostParts>(*this, onTrace)) {}

HeadlessHost::~HeadlessHost() = default;

// ---- What the caller sets -----------------------------------------------------

void HeadlessHost::setScreen(int widthPx, int heightPx, int dpi) {
    auto check = [&](const char* figure, int value, int max) {
        if (value < 1 || value > max)
            throwHostError(err::InvalidProcedureCall, "screen " + std::to_string(widthPx) + " x " +
                                                          std::to_string(heightPx) + " at " + std::to_string(dpi) +
                                                          " DPI: the " + figure + " must be 1 to " +
                                                          std::to_string(max) + ", not " + std::to_string(value));
    };
    check("width", widthPx, kMaxScreenPixels);
    check("height", heightPx, kMaxScreenPixels);
    check("dpi", dpi, kMaxDpi);
    for (const HeadlessScreen::Area& other : parts_->screen.others())
        if (overlap(HeadlessScreen::Area{0, 0, widthPx, heightPx}, other))
            throwHostError(err::InvalidProcedureCall, "screen " + std::to_string(widthPx) + " x " +
                                                          std::to_string(heightPx) + " overlaps the screen at " +
                                                          areaText(other));
    parts_->screen.setSize(widthPx, heightPx, dpi);
}

void HeadlessHost::addScreen(int leftPx, int topPx, int widthPx, int heightPx) {
    const HeadlessScreen::Area area{leftPx, topPx, widthPx, heightPx};
    auto refuse = [&](const std::string& why) {
        throwHostError(err::InvalidProcedureCall, "screen at " + areaText(area) + ": " + why);
    };
    auto check = [&](const char* figure, int value, int min, int max) {
        if (value < min || value > max)
            refuse(std::string("the ") + figure + " must be " + std::to_string(min) + " to " + std::to_string(max) +
                   ", not " + std::to_string(value));
    };
    check("left", leftPx, -kMaxScreenPixels, kMaxScreenPixels);
    check("top", topPx, -kMaxScreenPixels, kMaxScreenPixels);
    check("width", widthPx, 1, kMaxScreenPixels);
    check("height", heightPx, 1, kMaxScreenPixels);
    if (overlap(area, parts_->screen.mainArea())) refuse("it overlaps the main screen");
    for (const HeadlessScreen::Area& other : parts_->screen.others())
        if (overlap(area, other)) refuse("it overlaps the screen at " + areaText(other));
    parts_->screen.addScreen(area);
}

void HeadlessHost::setToday(double serial) { today_ = serial; }

void HeadlessHost::setCursorPos(int32_t x, int32_t y) { parts_->screen.setCursor(x, y); }

void HeadlessHost::setRefuseModeless(bool refuse) { parts_->windows.setRefuseModeless(refuse); }

void HeadlessHost::setMsgBoxAnswer(int answer) { msgBoxAnswer_ = answer; }

void HeadlessHost::setMainWindow(const std::shared_ptr<Window>& w) {
    parts_->windows.setMainWindow(w ? headlessWindow(w, "setMainWindow") : nullptr);
}

// ---- Clock and loop -------------------------------------------------------------

int64_t HeadlessHost::now() const { return parts_->loop.now(); }

void HeadlessHost::advance(int64_t ms) {
    if (ms < 0)
        throwHostError(err::InvalidProcedureCall, "advance by " + std::to_string(ms) + " ms: time runs forward only");
    parts_->loop.advance(ms);
}

void HeadlessHost::runUntilIdle() { parts_->loop.runUntilIdle(); }

void HeadlessHost::doEvents() { parts_->loop.deliverQueued(); }

void HeadlessHost::post(std::function<void()> work) { parts_->loop.post(std::move(work)); }

// ---- Input ------------------------------------------------------------------------

void HeadlessHost::postMouseDown(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x,
                                 float y) {
    parts_->input.postMouse(target, MouseAction::Down, button, shift, x, y);
}

void HeadlessHost::postMouseUp(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x, float y) {
    parts_->input.postMouse(target, MouseAction::Up, button, shift, x, y);
}

void HeadlessHost::postClick(const std::shared_ptr<Child>& target, int16_t button, int16_t shift, float x, float y) {
    parts_->input.postMouse(target, MouseAction::Click, button, shift, x, y);
}

void HeadlessHost::postKey(const std::shared_ptr<Child>& target, const std::string& key) {
    const auto k = keyFromName(key);
    if (!k)
        throwHostError(err::InvalidProcedureCall,
                       "key \"" + key +
                           "\" is neither a key name (ESC, ENTER, TAB, F4, UP, DOWN, LEFT, RIGHT, PGUP, "
                           "PGDN, HOME, END) nor one printable character");
    parts_->input.postKey(target, *k);
}

void HeadlessHost::postActivate(const std::shared_ptr<Window>& w) {
    parts_->windows.postUserActivation(headlessWindow(w, "postActivate"));
}

void HeadlessHost::postActivateOtherApplication() { parts_->windows.postOtherApplication(); }

// ---- State a test can read ----------------------------------------------------------

WindowHandle HeadlessHost::activeWindow() const { return parts_->windows.active(); }

std::shared_ptr<Child> HeadlessHost::focusedChild() const { return parts_->windows.focusedChild(); }

bool HeadlessHost::isTopmost(WindowHandle w) const { return parts_->windows.isTopmost(w); }

bool HeadlessHost::modalActive() const { return parts_->windows.modalWindow() != nullptr; }

std::shared_ptr<Window> HeadlessHost::windowByHandle(WindowHandle h) const { return parts_->windows.byHandle(h); }

std::vector<std::shared_ptr<Window>> HeadlessHost::windows() const {
    const auto& all = parts_->windows.all();
    return {all.begin(), all.end()};
}

const std::vector<HeadlessHost::MsgBoxRecord>& HeadlessHost::messageBoxes() const {
    return parts_->recorder.messageBoxes();
}

const std::vector<std::string>& HeadlessHost::keysSent() const { return parts_->recorder.keysSent(); }

const std::vector<std::string>& HeadlessHost::trace() const { return parts_->recorder.trace(); }

void HeadlessHost::clearTrace() { parts_->recorder.clearTrace(); }

void HeadlessHost::record(const std::string& line) { parts_->recorder.record(line); }

const std::vector<HostError>& HeadlessHost::handlerErrors() const { return parts_->recorder.handlerErrors(); }

void HeadlessHost::clearHandlerErrors() { parts_->recorder.clearHandlerErrors(); }

// ---- Host ---------------------------------------------------------------------------

float HeadlessHost::twipsPerPixelX() const { return parts_->screen.twipsPerPixel(); }

float HeadlessHost::twipsPerPixelY() const { return parts_->screen.twipsPerPixel(); }

float HeadlessHost::screenWidth() const { return parts_->screen.widthTwips(); }

float HeadlessHost::screenHeight() const { return parts_->screen.heightTwips(); }

float HeadlessHost::screenLeft() const { return parts_->screen.leftTwips(); }

float HeadlessHost::screenTop() const { return parts_->screen.topTwips(); }

double HeadlessHost::today() const { return today_; }

void HeadlessHost::sendKeys(std::string_view keys) {
    const auto strokes = parseSendKeys(keys);
    parts_->recorder.recordSentKeys(keys);
    for (const auto& k : strokes) parts_->input.postToFocus(k);
}

int HeadlessHost::msgBox(std::string_view text, int style) {
    parts_->recorder.recordMessageBox(text, style);
    return msgBoxAnswer_;
}

bool HeadlessHost::getCursorPos(int32_t& x, int32_t& y) {
    x = parts_->screen.cursorX();
    y = parts_->screen.cursorY();
    return true;
}

WindowHandle HeadlessHost::getActiveWindow() { return parts_->windows.active(); }

bool HeadlessHost::setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy,
                                unsigned flags) {
    const auto win = parts_->windows.byHandle(w);
    if (!win) return false;
    if (insertAfter == HWND_TOPMOST) {
        parts_->windows.setTopmost(w, true);
        parts_->recorder.record("topmost " + win->name());
    } else if (insertAfter == kNotTopmost) {
        parts_->windows.setTopmost(w, false);
    }
    const float tpp = parts_->screen.twipsPerPixel();
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
    auto w = std::make_shared<HeadlessWindow>(*parts_, d, parts_->windows.newHandle());
    parts_->windows.add(w);
    return w;
}

std::unique_ptr<ControlSite> HeadlessHost::createSite(Window& form, const std::string& name, const Placement& p) {
    auto* hw = dynamic_cast<HeadlessWindow*>(&form);
    if (!hw)
        throwHostError(err::InvalidProcedureCall,
                       "control " + name + ": window " + form.name() + " does not belong to the headless host");
    return std::make_unique<HeadlessSite>(*parts_, hw->shared_from_this(), name, p);
}

}  // namespace tavo
