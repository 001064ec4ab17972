#pragma once
// The script engine's backend on real windows: the Qt host, real input
// events, and the event loop run in real time (real windows have a real
// clock). The form window shows an event log beside the form's controls.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "apps/tavo_run/script_backend.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

class QtTreeView;

class QtBackend : public ScriptBackend {
public:
    explicit QtBackend(QtHost& host);
    ~QtBackend() override;
    QtBackend(const QtBackend&) = delete;
    QtBackend& operator=(const QtBackend&) = delete;

    Host& host() override { return host_; }

    // Real windows stand on the real screen: a script may only state its size.
    void setScreen(int widthPx, int heightPx, int dpi) override;
    void addScreen(int leftPx, int topPx, int widthPx, int heightPx) override;
    void setToday(double serial) override { host_.setToday(serial); }
    void setRefuseModeless(bool refuse) override { host_.setRefuseModeless(refuse); }
    void setMsgBoxAnswer(int answer) override { host_.msgBoxAnswer = answer; }
    void setMainWindow(Window& w) override;

    void runUntilIdle() override;
    void advance(int64_t ms) override;
    void doEvents() override { host_.doEvents(); }
    void setModalIdle(std::function<bool()> idle) override { host_.onModalIdle = std::move(idle); }
    void setTrace(std::function<void(const std::string&)> trace) override { host_.onTrace = std::move(trace); }
    void setHandlerError(std::function<void(const HostError&)> report) override { handlerError_ = std::move(report); }
    // An error a handler let out into the event loop (caught by the application).
    void reportHandlerError(const HostError& e);

    void postMouse(Mouse kind, const std::shared_ptr<Child>& target, int16_t button, float x, float y) override;
    void postKey(const std::shared_ptr<Child>& target, const std::string& key) override;
    void postActivateOtherWindow() override;
    void postActivateOtherApplication() override;

    void dayClick(const std::shared_ptr<Child>& monthGrid, double date) override;
    void dropDown(const std::shared_ptr<Child>& dateBox) override;
    void change(const std::shared_ptr<Child>& dateBox, double date) override;

    void screenshot(const std::string& path) override;
    void formChanged(Form& form) override;

    void addTreeNode(Control& tree, const std::string& key, const std::string& parentKey,
                     const std::string& text) override;
    void selectTreeNode(Control& tree, const std::string& key) override;
    ObjectRef treeNode(Object& tree, const std::string& key) override;
    std::string treeDump(Control& tree) override;
    std::vector<std::pair<std::string, int64_t>> takeTreeCallCounts(Control& tree) override;

    // The form's window widget (nullptr before a form is open).
    QWidget* formWidget() const { return formWidget_; }
    // One line for the event log beside the form.
    void log(const std::string& line);
    QPlainTextEdit* logPanel() const { return logPanel_; }

private:
    QtTreeView& treeView(Object& obj);
    void arrange(const Form* form);

    QtHost& host_;
    QPointer<QWidget> formWidget_;
    QPointer<QPlainTextEdit> logPanel_;
    std::vector<QPointer<QLabel>> labels_;
    std::function<void(const HostError&)> handlerError_;
};

}  // namespace tavo
