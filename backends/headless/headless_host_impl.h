#pragma once
// The state behind HeadlessHost, shared by the backend's windows, surfaces and
// children: the event queue, the virtual clock and its timers, activation and
// focus, and what the host records for tests.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "backends/headless/headless_host.h"
#include "backends/headless/key_stroke.h"
#include "host/error.h"
#include "host/font.h"

namespace tavo {

class ChildPlace;
class HeadlessTimer;
class HeadlessWindow;

enum class MouseAction { Down, Up, Click };

struct HeadlessHost::Impl {
    explicit Impl(HeadlessHost& owner);

    HeadlessHost& owner;

    int screenWidthPx = 1024, screenHeightPx = 768, dpi = 96;
    float twipsPerPixel = 15;
    double today = 36759;  // 21 August 2000
    int32_t cursorX = 0, cursorY = 0;
    bool refuseModeless = false;
    int msgBoxAnswer = 1;
    int64_t now = 0;
    FontRef ambientFont;

    // seq lets DoEvents stop at what was queued when it was called.
    struct Event {
        uint64_t seq;
        std::function<void()> work;
    };
    std::deque<Event> queue;
    uint64_t nextSeq = 0;

    std::vector<std::shared_ptr<HeadlessWindow>> windows;  // live, creation order
    WindowHandle nextHandle = 1;
    WindowHandle active = 0;
    std::weak_ptr<HeadlessWindow> mainWindow;
    std::weak_ptr<Child> focused;
    std::set<WindowHandle> topmost;
    std::vector<std::weak_ptr<HeadlessWindow>> modalStack;
    std::vector<std::weak_ptr<HeadlessTimer>> timers;  // creation order

    std::vector<MsgBoxRecord> messageBoxes;
    std::vector<std::string> keysSent;
    std::vector<std::string> traceLines;
    std::vector<HostError> handlerErrors;

    void record(const std::string& line);

    // ---- The loop ----------------------------------------------------------
    void post(std::function<void()> work);
    // Delivers the first queued event; false when there is none.
    bool deliverOne();
    // Runs one handler the way the host's event dispatch does: an error it
    // lets out ends that handler only and is recorded, and the loop goes on.
    void dispatch(const std::function<void()>& work);
    // Fires the timer due first within `until`; false when none is due.
    bool fireNextTimer(int64_t until);

    // ---- Activation and focus ----------------------------------------------
    void activate(const std::shared_ptr<HeadlessWindow>& w);      // makes it active, raises Activate
    void postActivate(const std::shared_ptr<HeadlessWindow>& w);  // raises Activate from the loop
    // The window leaves (hidden or unloaded): the main window takes activation back.
    void giveBackActivation(const HeadlessWindow& leaving);
    std::shared_ptr<HeadlessWindow> modalWindow() const;
    std::shared_ptr<Child> focusedChild() const;

    // ---- Input -------------------------------------------------------------
    // Whether input may reach the child now: it takes input, and no modal
    // window other than its own is up.
    bool inputAllowed(const ChildPlace& p) const;
    // Queues a user's action on a child. At delivery the action is dropped when
    // input may not reach the child; `activates` makes its window active first,
    // as a mouse press does.
    void postInput(std::shared_ptr<Child> target, bool activates, std::function<void(Child&)> action);
    void deliverMouse(Child& c, MouseAction action, int16_t button, int16_t shift, float x, float y);
    void deliverKey(Child& c, const KeyStroke& key);
};

}  // namespace tavo
