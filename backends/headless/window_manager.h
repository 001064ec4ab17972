#pragma once
// The headless host's windows and which of them has what: the live windows,
// the active one and the main one that takes activation back, the modal ones,
// the topmost flags, and the child that has the focus.
#include <memory>
#include <set>
#include <vector>

#include "tavo/host/window.h"

namespace tavo {

class Child;
class EventLoop;
class HeadlessWindow;

class WindowManager {
public:
    // Activate events are raised from `loop`.
    explicit WindowManager(EventLoop& loop) : loop_(loop) {}

    // ---- The live windows, in creation order -----------------------------
    WindowHandle newHandle() { return nextHandle_++; }
    void add(std::shared_ptr<HeadlessWindow> w);
    // The window is unloaded: it leaves the list, its topmost flag and activation.
    void unloaded(const std::shared_ptr<HeadlessWindow>& w);
    const std::vector<std::shared_ptr<HeadlessWindow>>& all() const { return windows_; }
    std::shared_ptr<HeadlessWindow> byHandle(WindowHandle h) const;

    // ---- Activation ---------------------------------------------------------
    WindowHandle active() const { return active_; }
    // Makes the window active and raises its Activate, as a press on it does.
    void activate(const std::shared_ptr<HeadlessWindow>& w);
    // A window being shown is active at once; its Activate comes from the loop.
    void activateShown(const std::shared_ptr<HeadlessWindow>& w);
    // The user activates the window; dropped while another one is modal.
    void postUserActivation(const std::shared_ptr<HeadlessWindow>& w);
    // The user switches to another application: no window of ours is active.
    void postOtherApplication();
    // The window leaves (hidden or unloaded): the main window takes activation back.
    void giveBackActivation(const HeadlessWindow& leaving);
    // Null: no main window; else it becomes the active one.
    void setMainWindow(const std::shared_ptr<HeadlessWindow>& w);

    // ---- Modal windows and showing --------------------------------------------
    void pushModal(const std::shared_ptr<HeadlessWindow>& w) { modalStack_.push_back(w); }
    void popModal(const HeadlessWindow& w);
    // The modal window that is up, the latest first; null when there is none.
    std::shared_ptr<HeadlessWindow> modalWindow() const;
    bool refusesModeless() const { return refuseModeless_; }
    void setRefuseModeless(bool refuse) { refuseModeless_ = refuse; }

    // ---- Topmost and focus -------------------------------------------------------
    void setTopmost(WindowHandle h, bool topmost);
    bool isTopmost(WindowHandle h) const { return topmost_.count(h) != 0; }
    // Null when the focused child's window or surface is gone.
    std::shared_ptr<Child> focusedChild() const;
    void setFocus(const std::shared_ptr<Child>& c) { focused_ = c; }

private:
    EventLoop& loop_;
    std::vector<std::shared_ptr<HeadlessWindow>> windows_;
    WindowHandle nextHandle_ = 1;
    WindowHandle active_ = 0;
    std::weak_ptr<HeadlessWindow> mainWindow_;
    std::vector<std::weak_ptr<HeadlessWindow>> modalStack_;
    std::set<WindowHandle> topmost_;
    std::weak_ptr<Child> focused_;
    bool refuseModeless_ = false;
};

}  // namespace tavo
