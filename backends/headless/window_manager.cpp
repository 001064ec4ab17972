#include "backends/headless/window_manager.h"

#include <algorithm>

#include "backends/headless/event_loop.h"
#include "backends/headless/headless_child.h"
#include "backends/headless/headless_window.h"

namespace tavo {

void WindowManager::add(std::shared_ptr<HeadlessWindow> w) { windows_.push_back(std::move(w)); }

void WindowManager::unloaded(const std::shared_ptr<HeadlessWindow>& w) {
    topmost_.erase(w->hWnd());
    giveBackActivation(*w);
    std::erase(windows_, w);
}

std::shared_ptr<HeadlessWindow> WindowManager::byHandle(WindowHandle h) const {
    for (const auto& w : windows_)
        if (w->hWnd() == h) return w;
    return nullptr;
}

void WindowManager::activate(const std::shared_ptr<HeadlessWindow>& w) {
    active_ = w->hWnd();
    if (!w->destroyed()) fireHandler(w->onActivate);
}

void WindowManager::activateShown(const std::shared_ptr<HeadlessWindow>& w) {
    active_ = w->hWnd();
    loop_.post([weak = std::weak_ptr<HeadlessWindow>(w)] {
        const auto win = weak.lock();
        if (win && !win->destroyed()) fireHandler(win->onActivate);
    });
}

void WindowManager::postUserActivation(const std::shared_ptr<HeadlessWindow>& w) {
    loop_.post([this, weak = std::weak_ptr<HeadlessWindow>(w)] {
        const auto win = weak.lock();
        if (!win || win->destroyed()) return;
        // The window system keeps the other windows disabled while a modal one is up.
        const auto modal = modalWindow();
        if (modal && modal != win) return;
        activate(win);
    });
}

void WindowManager::postOtherApplication() {
    loop_.post([this] { active_ = 0; });
}

void WindowManager::giveBackActivation(const HeadlessWindow& leaving) {
    if (active_ != leaving.hWnd()) return;
    const auto main = mainWindow_.lock();
    active_ = main && !main->destroyed() && main.get() != &leaving ? main->hWnd() : 0;
}

void WindowManager::setMainWindow(const std::shared_ptr<HeadlessWindow>& w) {
    mainWindow_ = w;
    if (w && !w->destroyed()) active_ = w->hWnd();
}

void WindowManager::popModal(const HeadlessWindow& w) {
    std::erase_if(modalStack_, [&w](const std::weak_ptr<HeadlessWindow>& entry) {
        const auto locked = entry.lock();
        return !locked || locked.get() == &w;
    });
}

std::shared_ptr<HeadlessWindow> WindowManager::modalWindow() const {
    for (auto it = modalStack_.rbegin(); it != modalStack_.rend(); ++it) {
        auto w = it->lock();
        if (w && !w->destroyed() && w->visible() && w->isModal()) return w;
    }
    return nullptr;
}

void WindowManager::setTopmost(WindowHandle h, bool topmost) {
    if (topmost)
        topmost_.insert(h);
    else
        topmost_.erase(h);
}

std::shared_ptr<Child> WindowManager::focusedChild() const {
    auto f = focused_.lock();
    const auto* place = dynamic_cast<const ChildPlace*>(f.get());
    return place && !place->gone() ? f : nullptr;
}

}  // namespace tavo
