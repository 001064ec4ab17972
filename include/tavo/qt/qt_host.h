#pragma once
// The host on Qt 6 Widgets: real windows, real time, the system clock and the
// real screen. Lengths map to pixels through the primary screen's logical DPI
// (twips per pixel = 1440 / DPI); pixels here are Qt's logical pixels, the
// unit of window geometry and of the cursor position alike. The screen whose
// size and edges it gives is the one the pointer is on.
//
// Needs a QApplication; one host per user-interface thread. An application
// may make its own (before its first control, and keep it longer than them);
// otherwise forThisThread() makes one on first use.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "tavo/host/error.h"
#include "tavo/host/host.h"
#include "tavo/host/registry.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class QtWindow;
class KeyRouter;

class TAVO_QT_EXPORT QtHost : public Host {
public:
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    // The host of the calling thread: the first QtHost made on it that still
    // lives, else a new one, which lasts as long as someone holds it.
    static std::shared_ptr<QtHost> forThisThread();

    // A fixed today instead of the system clock (demos, screenshots, tests).
    void setToday(double serial);
    void clearToday();
    // Makes every modeless Show fail with 401, as when a modal window is up.
    void setRefuseModeless(bool refuse);

    int toPixelsX(float twips) const;
    int toPixelsY(float twips) const;
    float toTwipsX(int pixels) const;
    float toTwipsY(int pixels) const;

    // The stable handle of a top-level widget, assigned on first use; 0 for none.
    WindowHandle handleOf(QWidget* topLevel);
    QWidget* widgetOf(WindowHandle handle) const;
    // The host window standing for a top-level widget: one of ours, or an
    // application's own window adopted on first use (not owned).
    std::shared_ptr<QtWindow> windowFor(QWidget* topLevel);
    QtWindow* findWindow(const QWidget* topLevel) const;
    void registerWindow(QtWindow& w);
    void unregisterWindow(const QtWindow& w);
    // Deletes a widget of the host's windows and controls when the event loop
    // next turns (its own events may still be running), or with the host at
    // the latest.
    void disposeLater(QWidget* widget);

    // The container's font: one shared object made from the application font.
    FontRef ambientFont();
    KeyRouter& keyRouter() { return *keyRouter_; }

    // ---- Host ---------------------------------------------------------------
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    float screenWidth() const override;
    float screenHeight() const override;
    float screenLeft() const override;
    float screenTop() const override;
    double today() const override;
    void doEvents() override;
    // Queues the keys for the widget that has the keyboard when the loop
    // delivers them (the focus widget of an open popup first):
    // plain characters, "{ESC}", "{ENTER}" or "~", "{TAB}", "{BS}", "{DEL}",
    // "{INS}", "{HOME}", "{END}", "{PGUP}", "{PGDN}", the arrows "{UP}"...,
    // "{F1}".."{F16}", "{{}" and "{}}"; "+", "^", "%" hold Shift, Ctrl, Alt for
    // the next key. An unknown key name is HostError 5.
    void sendKeys(std::string_view keys) override;
    // A modal QMessageBox titled with the application name. The style's low
    // digit picks the buttons (0 OK, 1 OK Cancel, 2 Abort Retry Ignore,
    // 3 Yes No Cancel, 4 Yes No, 5 Retry Cancel), 16/32/48/64 the icon; the
    // result is the platform's button number (1 OK, 2 Cancel, ... 6 Yes, 7 No).
    int msgBox(std::string_view text, int style) override;
    bool getCursorPos(int32_t& x, int32_t& y) override;
    WindowHandle getActiveWindow() override;
    bool setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy, unsigned flags) override;
    std::shared_ptr<Window> createWindow(const WindowDesign& d) override;
    std::unique_ptr<ControlSite> createSite(Window& form, const std::string& name, const Placement& p) override;

    bool refusesModeless() const { return refuseModeless_; }

    // ---- Scripted runs ------------------------------------------------------
    // The calls of the controls that a script wants to see, one line each as
    // they happen: "show frmCalendar modeless", "topmost frmCalendar",
    // "unload frmCalendar", "msgbox 0 \"...\"", "sendkeys \"{ESC}\"".
    std::function<void(const std::string& line)> onTrace;
    void trace(const std::string& line) {
        if (onTrace) onTrace(line);
    }
    // When set, a modal window's loop asks it for the user's next action
    // instead of waiting for the window system: true when the caller did
    // something (a script line), false when nothing more will come, and then
    // the loop hides the window and fails with HostError 5 rather than hang.
    std::function<bool()> onModalIdle;
    // When set, MsgBox shows no box and returns this answer at once.
    std::optional<int> msgBoxAnswer;
    // An error that a handler let out, where the event it handled came in
    // (the rest of that handler did not run). Unset: a warning in the
    // logging category "tavo.qt".
    std::function<void(const HostError&)> onHandlerError;

private:
    std::optional<double> today_;
    bool refuseModeless_ = false;
    int controlsSinceDelivery_ = 0;
    WindowHandle nextHandle_ = 1;
    std::unordered_map<WindowHandle, QPointer<QWidget>> handles_;
    std::unordered_map<const QWidget*, QtWindow*> windows_;
    std::unordered_map<const QWidget*, std::shared_ptr<QtWindow>> adopted_;
    FontRef ambientFont_;
    std::unique_ptr<KeyRouter> keyRouter_;
    std::vector<QPointer<QWidget>> disposals_;
};

// Registers the Qt tree view as "SSActiveTreeView.SSTree", so that a form
// file runs unchanged on either backend.
TAVO_QT_EXPORT void registerQtComponents(ComponentRegistry& registry);

}  // namespace tavo
