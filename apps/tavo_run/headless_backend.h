#pragma once
// The script engine's backend on the deterministic headless host.
#include <memory>

#include "apps/tavo_run/script_backend.h"
#include "backends/headless/headless_host.h"

namespace tavo {

class HeadlessTreeView;

class HeadlessBackend : public ScriptBackend {
public:
    explicit HeadlessBackend(HeadlessHost& host) : host_(host) {}
    ~HeadlessBackend() override;

    Host& host() override { return host_; }

    void setScreen(int widthPx, int heightPx, int dpi) override { host_.setScreen(widthPx, heightPx, dpi); }
    void addScreen(int leftPx, int topPx, int widthPx, int heightPx) override {
        host_.addScreen(leftPx, topPx, widthPx, heightPx);
    }
    void setToday(double serial) override { host_.setToday(serial); }
    void setRefuseModeless(bool refuse) override { host_.setRefuseModeless(refuse); }
    void setMsgBoxAnswer(int answer) override { host_.setMsgBoxAnswer(answer); }
    void setMainWindow(Window& w) override;

    void runUntilIdle() override { host_.runUntilIdle(); }
    void advance(int64_t ms) override { host_.advance(ms); }
    void doEvents() override { host_.doEvents(); }
    void setModalIdle(std::function<bool()> idle) override;
    void setTrace(std::function<void(const std::string&)> trace) override;
    void setHandlerError(std::function<void(const HostError&)> report) override { handlerError_ = std::move(report); }

    void postMouse(Mouse kind, const std::shared_ptr<Child>& target, int16_t button, float x, float y) override;
    void postKey(const std::shared_ptr<Child>& target, const std::string& key) override { host_.postKey(target, key); }
    void postActivateOtherWindow() override;
    void postActivateOtherApplication() override { host_.postActivateOtherApplication(); }

    void dayClick(const std::shared_ptr<Child>& monthGrid, double date) override;
    void dropDown(const std::shared_ptr<Child>& dateBox) override;
    void change(const std::shared_ptr<Child>& dateBox, double date) override;

    void screenshot(const std::string& path) override;

    void addTreeNode(Control& tree, const std::string& key, const std::string& parentKey,
                     const std::string& text) override;
    void selectTreeNode(Control& tree, const std::string& key) override;
    ObjectRef treeNode(Object& tree, const std::string& key) override;
    std::string treeDump(Control& tree) override;
    std::vector<std::pair<std::string, int64_t>> takeTreeCallCounts(Control& tree) override;

private:
    HeadlessHost& host_;
    std::weak_ptr<Window> mainWindow_;
    std::function<void(const std::string&)> trace_;
    std::function<void(const HostError&)> handlerError_;
};

}  // namespace tavo
