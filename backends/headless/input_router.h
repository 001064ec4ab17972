#pragma once
// The user's input on the headless host: mouse and keys aimed at a child wait
// in the loop's queue, and at delivery reach the child only if input may reach
// it then.
#include <cstdint>
#include <functional>
#include <memory>

#include "backends/headless/key_stroke.h"

namespace tavo {

class Child;
class ChildPlace;
class EventLoop;
class HeadlessScreen;
class WindowManager;

enum class MouseAction { Down, Up, Click };

class InputRouter {
public:
    InputRouter(EventLoop& loop, WindowManager& windows, HeadlessScreen& screen)
        : loop_(loop), windows_(windows), screen_(screen) {}

    // Whether input may reach the child now: it takes input, and no modal
    // window other than its own is up.
    bool allowed(const ChildPlace& p) const;
    // Queues a user's action on a child. At delivery the action is dropped when
    // input may not reach the child; `activates` makes its window active first,
    // as a mouse press does.
    void post(std::shared_ptr<Child> target, bool activates, std::function<void(Child&)> action);
    // x, y in the child's twips; the pointer moves onto the pixel under them.
    void postMouse(const std::shared_ptr<Child>& target, MouseAction action, int16_t button, int16_t shift, float x,
                   float y);
    void postKey(const std::shared_ptr<Child>& target, const KeyStroke& key);
    // A key sent by a program goes wherever the focus is when the loop reaches it.
    void postToFocus(const KeyStroke& key);

private:
    void deliverMouse(Child& c, MouseAction action, int16_t button, int16_t shift, float x, float y);
    void deliverKey(Child& c, const KeyStroke& key);

    EventLoop& loop_;
    WindowManager& windows_;
    HeadlessScreen& screen_;
};

}  // namespace tavo
