#include "datecontrol/frm_calendar.h"

#include "tavo/host/error.h"
#include "tavo/host/skip_on_error.h"

namespace tavo {

namespace {

WindowDesign windowDesign() {
    WindowDesign d;
    d.name = frmCalendar::kFormClass;
    d.caption = "Form1";
    d.border = false;
    d.showInTaskbar = false;
    d.keyPreview = true;
    d.clientWidth = 4365;
    d.clientHeight = 6990;
    return d;
}

ChildDesign calDesign() {
    ChildDesign d;
    d.name = "cal";
    d.width = 2565;
    d.height = 6600;
    d.tabIndex = 0;
    return d;
}

ChildDesign cmdCancelDesign() {
    ChildDesign d;
    d.name = "cmdCancel";
    d.top = 6615;
    d.width = 2535;
    d.height = 285;
    d.visible = false;
    d.tabIndex = 1;
    d.caption = "Abbrechen";
    return d;
}

ChildDesign tmrDesign() {
    ChildDesign d;
    d.name = "tmr";
    d.enabled = false;
    d.interval = 200;
    return d;
}

// The grid's stored range and date: 1 January 1753 to 31 December 9999, and
// 21 August 2000, until the opening hands over the date box's.
constexpr double kDesignMinDate = -53688.0;
constexpr double kDesignMaxDate = 2958465.0;
constexpr double kDesignValue = 36759.0;

const MemberTable<frmCalendar>& members() {
    static const MemberTable<frmCalendar> table = [] {
        MemberTable<frmCalendar> t;
        t.property("Visible", [](frmCalendar& f, const Variant*) { return Variant::boolean(f.Visible()); });
        t.property(
            "Left", [](frmCalendar& f, const Variant*) { return Variant::number(f.Left()); },
            [](frmCalendar& f, const Variant& v) { f.setLeft(v.toSingle()); });
        t.property(
            "Top", [](frmCalendar& f, const Variant*) { return Variant::number(f.Top()); },
            [](frmCalendar& f, const Variant& v) { f.setTop(v.toSingle()); });
        t.property(
            "Width", [](frmCalendar& f, const Variant*) { return Variant::number(f.Width()); },
            [](frmCalendar& f, const Variant& v) { f.setWidth(v.toSingle()); });
        t.property(
            "Height", [](frmCalendar& f, const Variant*) { return Variant::number(f.Height()); },
            [](frmCalendar& f, const Variant& v) { f.setHeight(v.toSingle()); });
        t.property("hWnd", [](frmCalendar& f, const Variant*) {
            return Variant::longValue(static_cast<int32_t>(f.hWnd()));
        });
        t.property(
            "objBackReference", [](frmCalendar& f, const Variant*) { return Variant::object(f.objBackReference); }, {},
            [](frmCalendar& f, const Variant& v) { f.objBackReference = v.toObject(); });
        t.method("CalcPos", [](frmCalendar& f, std::span<Variant>) {
            f.CalcPos();
            return Variant();
        });
        t.property("cal", [](frmCalendar& f, const Variant*) {
            return Variant::object(f.cal().shared_from_this());
        });
        t.property("cmdCancel", [](frmCalendar& f, const Variant*) {
            return Variant::object(f.cmdCancel().shared_from_this());
        });
        t.property("tmr", [](frmCalendar& f, const Variant*) {
            return Variant::object(f.tmr().shared_from_this());
        });
        return t;
    }();
    return table;
}

}  // namespace

std::shared_ptr<frmCalendar> frmCalendar::create(Host& host) { return std::make_shared<frmCalendar>(host); }

bool frmCalendar::isLoaded() const { return window_ && !window_->destroyed(); }

void frmCalendar::Load() {
    if (isLoaded()) return;
    Unload();

    auto window = host_.createWindow(windowDesign());
    std::shared_ptr<MonthGrid> grid;
    std::shared_ptr<PushButton> cancel;
    std::shared_ptr<Timer> timer;
    try {
        grid = std::dynamic_pointer_cast<MonthGrid>(window->addComponent("MSComCtl2.MonthView", calDesign()));
        if (!grid) throwHostError(err::CantCreateObject, "frmCalendar.cal: the component is not a month calendar");
        grid->setMaxDate(kDesignMaxDate);
        grid->setMinDate(kDesignMinDate);
        grid->setValue(kDesignValue);
        cancel = window->addButton(cmdCancelDesign());
        timer = window->addTimer(tmrDesign());
    } catch (...) {
        // A window half built is never left behind as loaded.
        window->destroy();
        throw;
    }

    grid->onDateClick = [this](double date) { HandleDayClick(date); };
    cancel->onMouseDown = [this](int16_t button, int16_t shift, float x, float y) {
        HandleCancelMouseDown(button, shift, x, y);
    };
    cancel->onClick = [this] { HandleCancelClick(); };
    timer->onTimer = [this] { HandleWatchTimer(); };
    // The watch only compares the active window with the one it took at
    // activation, and either closes the window or does nothing.
    timer->watchOnly = true;
    window->onActivate = [this] { HandleWindowActivate(); };
    window->onKeyPress = [this](int16_t& keyAscii) { HandleWindowKeyPress(keyAscii); };

    window_ = std::move(window);
    cal_ = std::move(grid);
    cmdCancel_ = std::move(cancel);
    tmr_ = std::move(timer);
}

void frmCalendar::Unload() {
    // The children go with the window; the host keeps them alive while one of
    // their own handlers is still running this.
    auto window = std::move(window_);
    cal_.reset();
    cmdCancel_.reset();
    tmr_.reset();
    if (window && !window->destroyed()) window->destroy();
}

void frmCalendar::Show() {
    Load();
    auto window = window_;
    window->show();
}

void frmCalendar::ShowModal() {
    Load();
    // Unloading inside the modal loop drops our reference to the window.
    auto window = window_;
    window->showModal();
}

Window& frmCalendar::loadedWindow() const {
    if (!isLoaded()) throwHostError(err::ObjectNotSet, "frmCalendar is not loaded");
    return *window_;
}

bool frmCalendar::Visible() const { return isLoaded() && window_->visible(); }
float frmCalendar::Left() const { return loadedWindow().left(); }
void frmCalendar::setLeft(float New_Left) { loadedWindow().setLeft(New_Left); }
float frmCalendar::Top() const { return loadedWindow().top(); }
void frmCalendar::setTop(float New_Top) { loadedWindow().setTop(New_Top); }
float frmCalendar::Width() const { return loadedWindow().width(); }
void frmCalendar::setWidth(float New_Width) { loadedWindow().setWidth(New_Width); }
float frmCalendar::Height() const { return loadedWindow().height(); }
void frmCalendar::setHeight(float New_Height) { loadedWindow().setHeight(New_Height); }
WindowHandle frmCalendar::hWnd() const { return loadedWindow().hWnd(); }

MonthGrid& frmCalendar::cal() const {
    loadedWindow();
    return *cal_;
}

PushButton& frmCalendar::cmdCancel() const {
    loadedWindow();
    return *cmdCancel_;
}

Timer& frmCalendar::tmr() const {
    loadedWindow();
    return *tmr_;
}

void frmCalendar::CalcPos() {
    SkipOnError guard;
    guard.step([&] { setWidth(cal().width()); });
    if (guard.test([&] { return cmdCancel().visible(); }))
        guard.step([&] { setHeight(cal().height() + cmdCancel().height()); });
    else
        guard.step([&] { setHeight(cal().height()); });
}

void frmCalendar::close() {
    tmr().setEnabled(false);
    Unload();
}

void frmCalendar::HandleDayClick(double date) {
    if (!Visible()) return;
    tmr().setEnabled(false);
    if (!objBackReference)
        throwHostError(err::ObjectNotSet, "frmCalendar.objBackReference names no control to take the date");
    objBackReference->put("Value", Variant::date(date));
    Unload();
}

void frmCalendar::HandleCancelMouseDown(int16_t, int16_t, float, float) { close(); }

void frmCalendar::HandleCancelClick() { close(); }

void frmCalendar::HandleWindowActivate() {
    CalcPos();
    host_.doEvents();
    hwndActive = host_.getActiveWindow();
    SetTopMost(hWnd());
    tmr().setEnabled(true);
}

void frmCalendar::HandleWindowKeyPress(int16_t& KeyAscii) {
    if (KeyAscii == 27) close();
}

void frmCalendar::HandleWatchTimer() {
    if (host_.getActiveWindow() != hwndActive) close();
}

void frmCalendar::SetTopMost(WindowHandle hwnd) {
    host_.setWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

Variant frmCalendar::get(std::string_view member, const Variant* arg) { return members().get(*this, member, arg); }
std::vector<std::string> frmCalendar::propertyNames() const { return members().propertyNames(); }
void frmCalendar::put(std::string_view member, const Variant& value) { members().put(*this, member, value); }
void frmCalendar::putRef(std::string_view member, const Variant& value) { members().putRef(*this, member, value); }
Variant frmCalendar::call(std::string_view member, std::span<Variant> args) {
    return members().call(*this, member, args);
}

}  // namespace tavo
