#pragma once
// What the script engine needs of a backend beyond the host seam: setting up
// the simulated world, driving its loop, posting the user's input, and the
// tree view's building calls. The headless backend answers all of it; a
// backend with real windows answers what it can and fails the rest with a
// host error that the script prints and goes past.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tavo/host/children.h"
#include "tavo/host/control.h"
#include "tavo/host/error.h"
#include "tavo/host/form.h"
#include "tavo/host/host.h"
#include "tavo/host/window.h"

namespace tavo {

class ScriptBackend {
public:
    virtual ~ScriptBackend() = default;

    virtual Host& host() = 0;

    virtual void setScreen(int widthPx, int heightPx, int dpi) = 0;
    // Another screen of the desktop, its top left corner in pixels from the main one's.
    virtual void addScreen(int leftPx, int topPx, int widthPx, int heightPx) = 0;
    virtual void setToday(double serial) = 0;
    virtual void setRefuseModeless(bool refuse) = 0;
    virtual void setMsgBoxAnswer(int answer) = 0;
    // The application's form window: shown and active.
    virtual void setMainWindow(Window& w) = 0;

    virtual void runUntilIdle() = 0;
    virtual void advance(int64_t ms) = 0;
    virtual void doEvents() = 0;
    // Asked by a modal loop that waits for input: true when the caller fed it
    // more, false when nothing will come (the loop then fails).
    virtual void setModalIdle(std::function<bool()> idle) = 0;
    // Every call the controls make that the host records, as one line each.
    virtual void setTrace(std::function<void(const std::string&)> trace) = 0;
    // An error a handler let out while the loop delivered its event; the loop
    // goes on, as the host's event dispatch does.
    virtual void setHandlerError(std::function<void(const HostError&)> report) = 0;

    enum class Mouse { Down, Up, Click };
    virtual void postMouse(Mouse kind, const std::shared_ptr<Child>& target, int16_t button, float x, float y) = 0;
    virtual void postKey(const std::shared_ptr<Child>& target, const std::string& key) = 0;
    // The user activates another window than the popup: the form's own.
    virtual void postActivateOtherWindow() = 0;
    virtual void postActivateOtherApplication() = 0;

    // The user's own actions on the date components.
    virtual void dayClick(const std::shared_ptr<Child>& monthGrid, double date) = 0;
    virtual void dropDown(const std::shared_ptr<Child>& dateBox) = 0;
    virtual void change(const std::shared_ptr<Child>& dateBox, double date) = 0;

    // A picture of the whole screen, open popups included, written to a PNG
    // file; a backend without a screen fails with a host error.
    virtual void screenshot(const std::string& path) = 0;
    // The form got other controls (a load, the demo, a new control): a
    // backend that shows the form arranges the window around them.
    virtual void formChanged(Form&) {}

    // The tree view as an application builds and inspects it.
    virtual void addTreeNode(Control& tree, const std::string& key, const std::string& parentKey,
                             const std::string& text) = 0;
    virtual void selectTreeNode(Control& tree, const std::string& key) = 0;
    virtual ObjectRef treeNode(Object& tree, const std::string& key) = 0;
    virtual std::string treeDump(Control& tree) = 0;
    // The calls counted since the last time, by member; counting starts anew.
    virtual std::vector<std::pair<std::string, int64_t>> takeTreeCallCounts(Control& tree) = 0;
};

}  // namespace tavo
