#pragma once
// A window of the host on Qt: a top-level QWidget named after its design.
// A window without border is frameless (its outer size is its client size),
// one without a taskbar entry is a tool window. Activate comes from Qt's
// WindowActivate; unloading hides the widget at once and deletes it later,
// so that a window may unload itself from inside one of its own handlers.
// A window that goes while it is active hands the activation back to the
// window it took it from, as the platform does when an active window goes,
// and that window's focus widget has the keyboard again.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "backends/qt/qt_container.h"
#include "tavo/host/window.h"
#include "tavo/qt/qt_export.h"

class QEventLoop;

namespace tavo {

class QtHost;

class TAVO_QT_INTERNAL QtWindow : public Window, public std::enable_shared_from_this<QtWindow> {
public:
    QtWindow(QtHost& host, const WindowDesign& d);
    // An application's own top-level widget, standing in as a host window;
    // the application keeps owning it.
    QtWindow(QtHost& host, QWidget* existing);
    ~QtWindow() override;

    const std::string& name() const override { return name_; }
    WindowHandle hWnd() const override { return handle_; }
    void show() override;
    void showModal() override;
    void hide() override;
    bool visible() const override;
    bool isModal() const override { return modalLoop_ != nullptr; }
    float left() const override;
    float top() const override;
    float width() const override;
    float height() const override;
    void setLeft(float v) override;
    void setTop(float v) override;
    void setWidth(float v) override;
    void setHeight(float v) override;
    void destroy() override;
    bool destroyed() const override { return destroyed_; }

    std::shared_ptr<PushButton> addButton(const ChildDesign& d) override { return container().addButton(d); }
    std::shared_ptr<Image> addImage(const ChildDesign& d) override { return container().addImage(d); }
    std::shared_ptr<Timer> addTimer(const ChildDesign& d) override { return container().addTimer(d); }
    std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d) override {
        return container().addComponent(className, d);
    }

    QWidget* widget() const { return widget_; }
    bool keyPreview() const { return keyPreview_; }

private:
    QtContainer& container();
    void watch();
    bool onEvent(QEvent* e);
    void runScriptedModalLoop();
    void moveTo(float leftTw, float topTw);
    void resizeTo(float widthTw, float heightTw);
    void activate();
    void hideWidget();

    QtHost& host_;
    QPointer<QWidget> widget_;
    bool owned_;
    std::string name_;
    WindowHandle handle_ = 0;
    bool keyPreview_ = false;
    bool destroyed_ = false;
    QtContainer container_;
    QPointer<QObject> hook_;
    QEventLoop* modalLoop_ = nullptr;
    QPointer<QWidget> activeBefore_;
    // What was set, kept while the widget still stands where it put it.
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

}  // namespace tavo
