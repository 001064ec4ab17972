#pragma once
// The deterministic host for tests and scripted runs.
//
// Time is virtual: nothing happens until the caller delivers it. Input posted
// with post*() waits in the event queue until the host's loop runs
// (runUntilIdle, advance, doEvents, or a modal loop). Timers fire only as the
// clock advances, in due order. Today, the screen, the pixel density, the cursor
// and the form's place are set by the caller. Calls the controls make that a
// test wants to see (topmost, keys sent, message boxes, shows, unloads, repaints, bring
// into view) are recorded in trace() and passed to onTrace as they happen.
//
// Windows have no frame. Show makes a window active at once and posts its
// Activate; a press on a child of an inactive window activates that window
// (raising Activate) before the press arrives. When the active window is
// hidden or unloaded, activation goes back to the main window without an
// Activate. While a modal window is up, input and activation aimed at other
// windows are dropped; timers still tick. What input may reach is decided when
// the loop delivers it: a child that is hidden or disabled, on a disabled
// surface, or whose window was unloaded gets nothing.
//
// Not simulated: painting, real fonts (text widths come from a fixed metric
// model), window stacking beyond the topmost flag, mouse capture, tab order,
// and focus changes other than SetFocus, activation and presses (which focus
// push buttons, date boxes and month grids).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tavo/host/error.h"
#include "tavo/host/host.h"
#include "tavo/host/registry.h"

namespace tavo {

struct HeadlessHostParts;

class HeadlessHost : public Host {
public:
    HeadlessHost();
    ~HeadlessHost() override;

    // ---- What the caller sets -------------------------------------------
    // Twips per pixel = 1440 / dpi. Each figure has a limit, so that every size
    // computed from them (a month grid of the largest font, a screen in twips)
    // stays far inside the numbers that hold it: a width or height of 1 to
    // kMaxScreenPixels, a dpi of 1 to kMaxDpi (a pixel is never smaller than a
    // twip, the unit every length is measured in). Anything else is HostError 5
    // naming the figure and its limits.
    static constexpr int kMaxScreenPixels = 65535;
    static constexpr int kMaxDpi = 1440;
    void setScreen(int widthPx, int heightPx, int dpi = 96);
    // Another screen of the desktop, its top left corner at (leftPx, topPx)
    // from the main screen's, of the same density; the screen functions then
    // answer for the screen the pointer is on. A place within kMaxScreenPixels
    // of the main screen's corner, the same sizes as above, and no overlap
    // with another screen; else HostError 5.
    void addScreen(int leftPx, int topPx, int widthPx, int heightPx);
    void setToday(double serial);
    void setCursorPos(int32_t x, int32_t y);  // screen pixels
    void setRefuseModeless(bool refuse);      // Show without arguments fails with 401
    void setMsgBoxAnswer(int answer);         // what MsgBox returns (default 1, OK)

    // ---- Clock and loop ---------------------------------------------------
    int64_t now() const;  // virtual milliseconds since the host started
    // Delivers everything queued, then moves the clock forward, firing each due
    // timer tick in order (and what the ticks queue) until `ms` have passed.
    // A negative wait is HostError 5; one past the clock's end (146 million
    // years) HostError 6.
    //
    // A long wait takes time in proportion to what happens in it, not to its
    // length: the ticks of a watch (a timer marked watchOnly, such as the
    // popup's activation watch) are passed over while they would change
    // nothing. A watch's tick "did nothing" when, after it and all the work it
    // queued, nothing was queued, no line was recorded (no show, unload,
    // topmost, message box, keys sent or handler error), no timer was made,
    // the active window and the focused child are the same, and the watch is
    // still running on the same schedule. Such a watch is at rest. A watch keeps no state of its
    // own and reads no clock, so while the queue is empty and no other timer
    // ticks, nothing it looks at can change, and each of its later ticks would
    // do nothing as well. So when the next tick due is that of a watch at rest,
    // the ticks of every watch at rest that are due before the next tick of a
    // timer not at rest (or by the end of the wait) are skipped, and the clock
    // moves to that tick. Any tick that is not a watch's tick doing nothing
    // ends the rest of every watch, which then ticks once more for real. Ticks
    // of other timers always run one by one, each at its own time.
    void advance(int64_t ms);
    // Delivers queued events until the queue is empty; the clock stays.
    void runUntilIdle();
    // Called by a modal loop that waits with an empty queue: the caller (a
    // script) may post more input or advance the clock and return true; false
    // or unset means nothing is left that could close the window, and the loop
    // hides it and fails with HostError 5 instead of hanging. True with nothing
    // queued, no time passed and the window still up counts as false.
    std::function<bool()> onModalIdle;

    // ---- Input (posted; delivered by the loop) ---------------------------
    // Mouse on a child control: MouseDown, MouseUp, Click in this order (push
    // buttons raise no MouseUp); nothing while the owning surface (or the
    // child) is disabled. x, y in the child's twips. The pointer stands on the
    // screen pixel under that point: getCursorPos returns it afterwards, and X
    // and Y are measured from that pixel, so that cursor × twips per pixel − X
    // − the child's Left is exactly the left edge of the surface it stands on.
    void postMouseDown(const std::shared_ptr<Child>& target, int16_t button = 1, int16_t shift = 0, float x = 0,
                       float y = 0);
    void postMouseUp(const std::shared_ptr<Child>& target, int16_t button = 1, int16_t shift = 0, float x = 0,
                     float y = 0);
    void postClick(const std::shared_ptr<Child>& target, int16_t button = 1, int16_t shift = 0, float x = 0,
                   float y = 0);
    // One key: a name (ESC, ENTER, TAB, F4, UP, DOWN, LEFT, RIGHT, PGUP, PGDN,
    // HOME, END) or one character: KeyDown, KeyPress (characters, ESC, ENTER),
    // KeyUp to the target, through its window's key preview.
    void postKey(const std::shared_ptr<Child>& target, const std::string& key);
    // Activation: another window of this application, or another application (active window 0).
    void postActivate(const std::shared_ptr<Window>& w);
    void postActivateOtherApplication();
    // Any piece of work for the loop, for components that raise their own events.
    void post(std::function<void()> work);

    // ---- State a test can read -------------------------------------------
    WindowHandle activeWindow() const;
    std::shared_ptr<Child> focusedChild() const;
    bool isTopmost(WindowHandle w) const;
    bool modalActive() const;
    std::shared_ptr<Window> windowByHandle(WindowHandle h) const;
    std::vector<std::shared_ptr<Window>> windows() const;  // live windows, creation order

    struct MsgBoxRecord {
        std::string text;
        int style;
    };
    const std::vector<MsgBoxRecord>& messageBoxes() const;
    const std::vector<std::string>& keysSent() const;
    // "topmost frmCalendar", "sendkeys \"{ESC}\"", "msgbox 0 \"...\"",
    // "show frmCalendar modeless", "unload frmCalendar", "ensurevisible Tree1.k"
    const std::vector<std::string>& trace() const;
    void clearTrace();
    void record(const std::string& line);  // for components: adds to trace and calls onTrace
    std::function<void(const std::string& line)> onTrace;
    // Errors that handlers let out while the loop delivered their events. As
    // the host's event dispatch does, such an error ends that handler only and
    // the loop goes on; each is also traced as "error <number> <text>".
    const std::vector<HostError>& handlerErrors() const;
    void clearHandlerErrors();

    // The application's main form window (the runner's form); it is the active
    // window until something else is activated.
    void setMainWindow(const std::shared_ptr<Window>& w);

    // ---- Host ---------------------------------------------------------------
    float twipsPerPixelX() const override;
    float twipsPerPixelY() const override;
    float screenWidth() const override;
    float screenHeight() const override;
    float screenLeft() const override;
    float screenTop() const override;
    double today() const override;
    void doEvents() override;
    void sendKeys(std::string_view keys) override;
    int msgBox(std::string_view text, int style) override;
    bool getCursorPos(int32_t& x, int32_t& y) override;
    WindowHandle getActiveWindow() override;
    bool setWindowPos(WindowHandle w, WindowHandle insertAfter, int x, int y, int cx, int cy, unsigned flags) override;
    std::shared_ptr<Window> createWindow(const WindowDesign& d) override;
    std::unique_ptr<ControlSite> createSite(Window& form, const std::string& name, const Placement& p) override;

private:
    std::unique_ptr<HeadlessHostParts> parts_;
    double today_ = 36759;  // 21 August 2000
    int msgBoxAnswer_ = 1;
};

// Registers the headless tree view as "SSActiveTreeView.SSTree".
void registerHeadlessComponents(ComponentRegistry& registry);

}  // namespace tavo
