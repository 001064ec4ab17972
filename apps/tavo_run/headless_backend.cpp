#include "apps/tavo_run/headless_backend.h"

#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_month_grid.h"
#include "backends/headless/headless_tree_view.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

template <class T>
T& as(Object& obj, const char* what) {
    if (auto* t = dynamic_cast<T*>(&obj)) return *t;
    throwHostError(err::TypeMismatch, obj.className() + " is not " + what);
}

HeadlessTreeView& treeView(Object& obj) { return as<HeadlessTreeView>(obj, "a tree view"); }

}  // namespace

// Windows still open at the end (the shared popup) are unloaded while the
// host they belong to still stands.
HeadlessBackend::~HeadlessBackend() {
    host_.onModalIdle = nullptr;
    host_.onTrace = nullptr;
    for (const auto& window : host_.windows()) window->destroy();
}

void HeadlessBackend::setMainWindow(Window& w) {
    auto window = host_.windowByHandle(w.hWnd());
    if (!window) throw HostError(err::InvalidProcedureCall, "the form window \"" + w.name() + "\" is not open");
    mainWindow_ = window;
    window->show();
    host_.setMainWindow(window);
}

// The host's modal loop fails when its idle hook brings no work; a script
// line that only looks (get, expect, a comment) is still the user's turn, so
// each line fed to the loop leaves it a piece of work and the loop asks again.
void HeadlessBackend::setModalIdle(std::function<bool()> idle) {
    if (!idle) {
        host_.onModalIdle = nullptr;
        return;
    }
    host_.onModalIdle = [this, idle = std::move(idle)] {
        if (!idle()) return false;
        host_.post([] {});
        return true;
    };
}

// The host traces a handler's error as a line of its own; it goes to the
// error report instead, which says where in the script it happened.
void HeadlessBackend::setTrace(std::function<void(const std::string&)> trace) {
    trace_ = std::move(trace);
    if (!trace_) {
        host_.onTrace = nullptr;
        return;
    }
    host_.onTrace = [this](const std::string& line) {
        const auto& errors = host_.handlerErrors();
        if (handlerError_ && !errors.empty() &&
            line == "error " + std::to_string(errors.back().number()) + " " + errors.back().what()) {
            const HostError e = errors.back();
            host_.clearHandlerErrors();
            handlerError_(e);
            return;
        }
        trace_(line);
    };
}

void HeadlessBackend::postMouse(Mouse kind, const std::shared_ptr<Child>& target, int16_t button, float x, float y) {
    switch (kind) {
        case Mouse::Down: return host_.postMouseDown(target, button, 0, x, y);
        case Mouse::Up: return host_.postMouseUp(target, button, 0, x, y);
        case Mouse::Click: return host_.postClick(target, button, 0, x, y);
    }
}

void HeadlessBackend::postActivateOtherWindow() {
    auto window = mainWindow_.lock();
    if (!window) throw HostError(err::InvalidProcedureCall, "the form has no window to activate");
    host_.postActivate(window);
}

void HeadlessBackend::dayClick(const std::shared_ptr<Child>& monthGrid, double date) {
    as<HeadlessMonthGrid>(*monthGrid, "a month grid").dateClick(date);
}

void HeadlessBackend::dropDown(const std::shared_ptr<Child>& dateBox) {
    as<HeadlessDateBox>(*dateBox, "a date box").dropDown();
}

void HeadlessBackend::change(const std::shared_ptr<Child>& dateBox, double date) {
    as<HeadlessDateBox>(*dateBox, "a date box").userChange(date);
}

void HeadlessBackend::screenshot(const std::string& path) {
    throw HostError(err::InvalidProcedureCall,
                    "the headless host draws nothing, so there is no picture for " + path + " (run with real windows)");
}

void HeadlessBackend::addTreeNode(Control& tree, const std::string& key, const std::string& parentKey,
                                  const std::string& text) {
    treeView(tree).addNode(key, parentKey, text);
}

void HeadlessBackend::selectTreeNode(Control& tree, const std::string& key) { treeView(tree).select(key); }

ObjectRef HeadlessBackend::treeNode(Object& tree, const std::string& key) { return treeView(tree).node(key); }

std::string HeadlessBackend::treeDump(Control& tree) { return treeView(tree).dump(); }

std::vector<std::pair<std::string, int64_t>> HeadlessBackend::takeTreeCallCounts(Control& tree) {
    HeadlessTreeView& view = treeView(tree);
    const auto counts = view.callCounts();
    view.resetCallCounts();
    return {counts.begin(), counts.end()};
}

}  // namespace tavo
