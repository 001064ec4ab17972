#pragma once
// frmCalendar: the borderless, topmost window that drops down under a date
// control. One instance per host (per user-interface thread), shared by every
// date control; loading builds its window and children anew from the design
// data, unloading destroys them but keeps the instance and its members.
#include <memory>

#include "tavo/calendar/calendar_export.h"
#include "tavo/components/date_components.h"
#include "tavo/host/host.h"

namespace tavo {

class TAVO_CALENDAR_INTERNAL frmCalendar : public Object {
public:
    static constexpr const char* kFormClass = "frmCalendar";

    // Used through host.defaultInstance<frmCalendar>(frmCalendar::kFormClass).
    static std::shared_ptr<frmCalendar> create(Host& host);
    explicit frmCalendar(Host& host) : host_(host) {}

    // Creates the window hidden with its children; nothing when loaded.
    void Load();
    // Destroys the window and its children; nothing when not loaded.
    void Unload();
    bool isLoaded() const;

    // Both load the window first when it is not loaded.
    void Show();
    void ShowModal();

    // False when not loaded, without loading.
    bool Visible() const;
    // The window's members; HostError 91 naming the form when not loaded.
    float Left() const;
    void setLeft(float New_Left);
    float Top() const;
    void setTop(float New_Top);
    float Width() const;
    void setWidth(float New_Width);
    float Height() const;
    void setHeight(float New_Height);
    WindowHandle hWnd() const;
    MonthGrid& cal() const;
    PushButton& cmdCancel() const;
    Timer& tmr() const;
    // The window while loaded, else null.
    const std::shared_ptr<Window>& window() const { return window_; }

    // The control the window writes the chosen day into, by its "Value".
    ObjectRef objBackReference;

    // Sizes the window to the month grid, and to the grid plus the cancel
    // button when that is visible.
    void CalcPos();

    std::string className() const override { return kFormClass; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    void putRef(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

private:
    void HandleDayClick(double date);
    void HandleCancelMouseDown(int16_t Button, int16_t Shift, float X, float Y);
    void HandleCancelClick();
    void HandleWindowActivate();
    void HandleWindowKeyPress(int16_t& KeyAscii);
    void HandleWatchTimer();
    void SetTopMost(WindowHandle hwnd);
    void close();
    Window& loadedWindow() const;

    Host& host_;
    std::shared_ptr<Window> window_;
    std::shared_ptr<MonthGrid> cal_;
    std::shared_ptr<PushButton> cmdCancel_;
    std::shared_ptr<Timer> tmr_;
    WindowHandle hwndActive = 0;
};

}  // namespace tavo
