#include "tavo/calendar/tavo_calendar_drop_down.h"

#include "datecontrol/drop_down_design.h"
#include "datecontrol/frm_calendar.h"
#include "tavo/host/colour.h"
#include "tavo/host/error.h"
#include "tavo/host/skip_on_error.h"
#include "tavo/host/value_conversions.h"

namespace tavo {

namespace {

// The popup stands too low when less than this remains below it, in twips.
constexpr float kBottomMargin = 360.0f;

// The stored defaults are texts, read the same whichever day/month order the
// host prefers.
constexpr const char* kDefaultMaxDate = "31/12/9999";
constexpr const char* kDefaultMinDate = "01/01/1900";
constexpr const char* kDefaultValue = "21/08/2000";

frmCalendar& popup(Host& host) { return *host.defaultInstance<frmCalendar>(frmCalendar::kFormClass); }

using Self = TavoCalendarDropDown;

MemberTable<Self>::Putter colourPutter(void (Self::*setter)(uint32_t)) {
    return [setter](Self& c, const Variant& v) { (c.*setter)(v.toColour()); };
}

const MemberTable<Self>& members() {
    static const MemberTable<Self> table = [] {
        MemberTable<Self> t;
        auto pictureSetter = [](Self& c, const Variant& v) { c.setPicture(toPicture(v)); };
        auto fontSetter = [](Self& c, const Variant& v) { c.setFont(toFont(v)); };
        t.property(
            "Enabled", [](Self& c, const Variant*) { return Variant::boolean(c.Enabled()); },
            [](Self& c, const Variant& v) { c.setEnabled(v.isTrue()); });
        t.property(
            "Font", [](Self& c, const Variant*) { return Variant::object(c.Font()); }, fontSetter, fontSetter);
        t.property(
            "CalendarBackColor", [](Self& c, const Variant*) { return colourValue(c.CalendarBackColor()); },
            colourPutter(&Self::setCalendarBackColor));
        t.property(
            "CalendarForeColor", [](Self& c, const Variant*) { return colourValue(c.CalendarForeColor()); },
            colourPutter(&Self::setCalendarForeColor));
        t.property(
            "CalendarTitleBackColor", [](Self& c, const Variant*) { return colourValue(c.CalendarTitleBackColor()); },
            colourPutter(&Self::setCalendarTitleBackColor));
        t.property(
            "CalendarTitleForeColor", [](Self& c, const Variant*) { return colourValue(c.CalendarTitleForeColor()); },
            colourPutter(&Self::setCalendarTitleForeColor));
        t.property(
            "CalendarTrailingForeColor",
            [](Self& c, const Variant*) { return colourValue(c.CalendarTrailingForeColor()); },
            colourPutter(&Self::setCalendarTrailingForeColor));
        t.property(
            "CustomFormat", [](Self& c, const Variant*) { return Variant::string(c.CustomFormat()); },
            [](Self& c, const Variant& v) { c.setCustomFormat(v.toString()); });
        t.property(
            "Format", [](Self& c, const Variant*) { return Variant::integer(c.Format()); },
            [](Self& c, const Variant& v) { c.setFormat(v.toInteger()); });
        t.property(
            "MaxDate", [](Self& c, const Variant*) { return Variant::date(c.MaxDate()); },
            [](Self& c, const Variant& v) { c.setMaxDate(v.toDate()); });
        t.property(
            "MinDate", [](Self& c, const Variant*) { return Variant::date(c.MinDate()); },
            [](Self& c, const Variant& v) { c.setMinDate(v.toDate()); });
        t.property(
            "Picture", [](Self& c, const Variant*) { return Variant::object(c.Picture()); }, pictureSetter,
            pictureSetter);
        t.property(
            "UpDown", [](Self& c, const Variant*) { return Variant::boolean(c.UpDown()); },
            [](Self& c, const Variant& v) { c.setUpDown(v.isTrue()); });
        t.property(
            "Value", [](Self& c, const Variant*) { return c.Value(); },
            [](Self& c, const Variant& v) { c.setValue(v); });
        t.property(
            "MonthColumns", [](Self& c, const Variant*) { return Variant::integer(c.MonthColumns()); },
            [](Self& c, const Variant& v) { c.setMonthColumns(v.toInteger()); });
        t.property(
            "MonthRows", [](Self& c, const Variant*) { return Variant::integer(c.MonthRows()); },
            [](Self& c, const Variant& v) { c.setMonthRows(v.toInteger()); });
        t.property(
            "ShowToday", [](Self& c, const Variant*) { return Variant::boolean(c.ShowToday()); },
            [](Self& c, const Variant& v) { c.setShowToday(v.isTrue()); });
        t.property(
            "ShowWeek", [](Self& c, const Variant*) { return Variant::boolean(c.ShowWeek()); },
            [](Self& c, const Variant& v) { c.setShowWeek(v.isTrue()); });
        t.property(
            "PictureType", [](Self& c, const Variant*) { return Variant::integer(c.PictureType()); },
            [](Self& c, const Variant& v) { c.setPictureType(v.toInteger()); });
        t.property(
            "CalendarMonthBackColor", [](Self& c, const Variant*) { return colourValue(c.CalendarMonthBackColor()); },
            colourPutter(&Self::setCalendarMonthBackColor));
        t.property(
            "CanOpen", [](Self& c, const Variant*) { return Variant::boolean(c.CanOpen()); },
            [](Self& c, const Variant& v) { c.setCanOpen(v.isTrue()); });
        t.property("cal", [](Self& c, const Variant*) { return Variant::object(c.cal()); });
        t.property("cmd", [](Self& c, const Variant*) { return Variant::object(c.cmd()); });
        t.property("imgDropDown", [](Self& c, const Variant* index) {
            if (!index) throwHostError(err::InvalidProcedureCall, "imgDropDown needs an element index (0 to 2)");
            return Variant::object(c.imgDropDown(index->toInteger()));
        });
        return t;
    }();
    return table;
}

}  // namespace

TavoCalendarDropDown::TavoCalendarDropDown(ControlSite& site) : Control(site) {
    cal_ = std::dynamic_pointer_cast<DateBox>(site.addComponent("MSComCtl2.DTPicker", dropDownDesign::cal()));
    if (!cal_) throwHostError(err::CantCreateObject, "TavoCalendarDropDown.cal: the component is not a date box");
    cal_->setMaxDate(dropDownDesign::kMaxDate);
    cal_->setMinDate(dropDownDesign::kMinDate);
    cal_->setValue(Variant::date(dropDownDesign::kValue));
    cmd_ = site.addButton(dropDownDesign::cmd());
    for (int i = 0; i < 3; ++i) imgDropDown_[i] = site.addImage(dropDownDesign::imgDropDown(i));
    site.setBackColor(vbWindowBackground);

    cmd_->onMouseDown = [this](int16_t button, int16_t shift, float x, float y) {
        HandleDropButtonDown(button, shift, x, y);
    };
    cal_->onDropDown = [this] { HandleDateBoxDropDown(); };
    cal_->onClick = [this] { HandleDateBoxClick(); };
    cal_->onDblClick = [this] { HandleDateBoxDblClick(); };
    cal_->onKeyDown = [this](int16_t& keyCode, int16_t& shift) { HandleDateBoxKeyDown(keyCode, shift); };
    cal_->onKeyPress = [this](int16_t& keyAscii) { HandleDateBoxKeyPress(keyAscii); };
    cal_->onKeyUp = [this](int16_t& keyCode, int16_t& shift) { HandleDateBoxKeyUp(keyCode, shift); };
    cal_->onChange = [this] { HandleDateBoxChange(); };
}

TavoCalendarDropDown::~TavoCalendarDropDown() {
    // The host may hold the children a little longer than the control; their
    // events must not reach a control that is gone.
    cmd_->onMouseDown = nullptr;
    cal_->onDropDown = nullptr;
    cal_->onClick = nullptr;
    cal_->onDblClick = nullptr;
    cal_->onKeyDown = nullptr;
    cal_->onKeyPress = nullptr;
    cal_->onKeyUp = nullptr;
    cal_->onChange = nullptr;
}

const std::shared_ptr<Image>& TavoCalendarDropDown::imgDropDown(int index) const {
    if (index < 0 || index > 2)
        throwHostError(err::ControlArrayElementMissing, "imgDropDown(" + std::to_string(index) +
                                           ") does not exist: the elements are 0, 1 and 2");
    return imgDropDown_[index];
}

// ---- Properties ------------------------------------------------------------

bool TavoCalendarDropDown::Enabled() const { return cal_->enabled(); }

void TavoCalendarDropDown::setEnabled(bool New_Enabled) {
    cal_->setEnabled(New_Enabled);
    cmd_->setEnabled(cal_->enabled() && canOpen_);
    site().propertyChanged("Enabled");
}

FontRef TavoCalendarDropDown::Font() const { return cal_->font(); }

void TavoCalendarDropDown::setFont(FontRef New_Font) {
    cal_->setFont(std::move(New_Font));
    site().propertyChanged("Font");
}

uint32_t TavoCalendarDropDown::CalendarBackColor() const { return cal_->calendarBackColor(); }

void TavoCalendarDropDown::setCalendarBackColor(uint32_t New_CalendarBackColor) {
    cal_->setCalendarBackColor(New_CalendarBackColor);
    site().propertyChanged("CalendarBackColor");
}

uint32_t TavoCalendarDropDown::CalendarForeColor() const { return cal_->calendarForeColor(); }

void TavoCalendarDropDown::setCalendarForeColor(uint32_t New_CalendarForeColor) {
    cal_->setCalendarForeColor(New_CalendarForeColor);
    site().propertyChanged("CalendarForeColor");
}

uint32_t TavoCalendarDropDown::CalendarTitleBackColor() const { return cal_->calendarTitleBackColor(); }

void TavoCalendarDropDown::setCalendarTitleBackColor(uint32_t New_CalendarTitleBackColor) {
    cal_->setCalendarTitleBackColor(New_CalendarTitleBackColor);
    site().propertyChanged("CalendarTitleBackColor");
}

uint32_t TavoCalendarDropDown::CalendarTitleForeColor() const { return cal_->calendarTitleForeColor(); }

void TavoCalendarDropDown::setCalendarTitleForeColor(uint32_t New_CalendarTitleForeColor) {
    cal_->setCalendarTitleForeColor(New_CalendarTitleForeColor);
    site().propertyChanged("CalendarTitleForeColor");
}

uint32_t TavoCalendarDropDown::CalendarTrailingForeColor() const { return cal_->calendarTrailingForeColor(); }

void TavoCalendarDropDown::setCalendarTrailingForeColor(uint32_t New_CalendarTrailingForeColor) {
    cal_->setCalendarTrailingForeColor(New_CalendarTrailingForeColor);
    site().propertyChanged("CalendarTrailingForeColor");
}

std::string TavoCalendarDropDown::CustomFormat() const { return cal_->customFormat(); }

void TavoCalendarDropDown::setCustomFormat(const std::string& New_CustomFormat) {
    cal_->setCustomFormat(New_CustomFormat);
    site().propertyChanged("CustomFormat");
}

int16_t TavoCalendarDropDown::Format() const {
    // A date box that cannot answer, or answers beyond 16 bits, reads as 0.
    try {
        return Variant::longValue(cal_->format()).toInteger();
    } catch (const HostError&) {
        return 0;
    }
}

void TavoCalendarDropDown::setFormat(int16_t New_Format) {
    cal_->setFormat(New_Format);
    site().propertyChanged("Format");
}

double TavoCalendarDropDown::MaxDate() const { return cal_->maxDate(); }

void TavoCalendarDropDown::setMaxDate(double New_MaxDate) {
    cal_->setMaxDate(New_MaxDate);
    site().propertyChanged("MaxDate");
}

double TavoCalendarDropDown::MinDate() const { return cal_->minDate(); }

void TavoCalendarDropDown::setMinDate(double New_MinDate) {
    cal_->setMinDate(New_MinDate);
    site().propertyChanged("MinDate");
}

PictureRef TavoCalendarDropDown::Picture() const { return imgDropDown_[0]->picture(); }

void TavoCalendarDropDown::setPicture(PictureRef New_Picture) {
    imgDropDown_[0]->setPicture(std::move(New_Picture));
    if (pictureType_ == 0) cmd_->setPicture(imgDropDown_[0]->picture());
    site().propertyChanged("Picture");
}

bool TavoCalendarDropDown::UpDown() const { return cal_->upDown(); }

void TavoCalendarDropDown::setUpDown(bool New_UpDown) {
    cal_->setUpDown(New_UpDown);
    site().propertyChanged("UpDown");
}

Variant TavoCalendarDropDown::Value() const { return cal_->value(); }

void TavoCalendarDropDown::setValue(const Variant& New_Value) {
    cal_->setValue(New_Value);
    site().raiseEvent("Change", {});
    site().propertyChanged("Value");
}

void TavoCalendarDropDown::setMonthColumns(int16_t New_MonthColumns) {
    monthColumns_ = (New_MonthColumns < 1 || New_MonthColumns > 3) ? int16_t(1) : New_MonthColumns;
    site().propertyChanged("MonthColumns");
}

void TavoCalendarDropDown::setMonthRows(int16_t New_MonthRows) {
    monthRows_ = (New_MonthRows < 1 || New_MonthRows > 3) ? int16_t(3) : New_MonthRows;
    site().propertyChanged("MonthRows");
}

void TavoCalendarDropDown::setShowToday(bool New_ShowToday) {
    showToday_ = New_ShowToday;
    site().propertyChanged("ShowToday");
}

void TavoCalendarDropDown::setShowWeek(bool New_ShowWeek) {
    showWeek_ = New_ShowWeek;
    site().propertyChanged("ShowWeek");
}

void TavoCalendarDropDown::setPictureType(int16_t New_PictureType) {
    pictureType_ = (New_PictureType < 0 || New_PictureType > 2) ? int16_t(2) : New_PictureType;
    cmd_->setPicture(imgDropDown_[pictureType_]->picture());
    site().propertyChanged("PictureType");
}

void TavoCalendarDropDown::setCalendarMonthBackColor(uint32_t New_CalendarMonthBackColor) {
    calendarMonthBackColor_ = New_CalendarMonthBackColor;
    site().propertyChanged("CalendarMonthBackColor");
}

void TavoCalendarDropDown::setCanOpen(bool New_CanOpen) {
    canOpen_ = New_CanOpen;
    cmd_->setEnabled(canOpen_);
    site().propertyChanged("CanOpen");
}

// ---- Persistence -------------------------------------------------------------

void TavoCalendarDropDown::InitProperties() {
    // The children and the surface keep their design state.
    showToday_ = true;
    showWeek_ = true;
    pictureType_ = 2;
    calendarMonthBackColor_ = 0;
    canOpen_ = true;
    monthColumns_ = 1;
    monthRows_ = 3;
}

void TavoCalendarDropDown::ReadProperties(PropertyStore& store) {
    cal_->setEnabled(store.ReadProperty("Enabled", Variant::boolean(true)).isTrue());
    cal_->setFont(toFont(store.ReadProperty("Font", Variant::object(site().ambientFont()))));
    cal_->setCalendarBackColor(store.ReadProperty("CalendarBackColor", colourValue(vbWindowBackground)).toColour());
    cal_->setCalendarForeColor(store.ReadProperty("CalendarForeColor", colourValue(vbButtonText)).toColour());
    cal_->setCalendarTitleBackColor(
        store.ReadProperty("CalendarTitleBackColor", colourValue(vb3DHighlight)).toColour());
    cal_->setCalendarTitleForeColor(store.ReadProperty("CalendarTitleForeColor", colourValue(vbButtonText)).toColour());
    cal_->setCalendarTrailingForeColor(
        store.ReadProperty("CalendarTrailingForeColor", colourValue(vbGrayText)).toColour());
    // The first occurrence of this key is the surface colour; its default is
    // the surface's design colour, so an unchanged surface is not saved.
    site().setBackColor(store.ReadProperty("CalendarMonthBackColor", colourValue(vbWindowBackground)).toColour());
    cal_->setCustomFormat(store.ReadProperty("CustomFormat", Variant::string("")).toString());
    cal_->setFormat(store.ReadProperty("Format", Variant::longValue(1)).toLong());
    cal_->setMaxDate(store.ReadProperty("MaxDate", Variant::string(kDefaultMaxDate)).toDate());
    cal_->setMinDate(store.ReadProperty("MinDate", Variant::string(kDefaultMinDate)).toDate());
    setPicture(toPicture(store.ReadProperty("Picture", Variant::object(nullptr))));
    cal_->setUpDown(store.ReadProperty("UpDown", Variant::boolean(false)).isTrue());
    cal_->setValue(store.ReadProperty("Value", Variant::string(kDefaultValue)));
    showToday_ = store.ReadProperty("ShowToday", Variant::boolean(true)).isTrue();
    showWeek_ = store.ReadProperty("ShowWeek", Variant::boolean(true)).isTrue();
    // Stored settings are kept as they are, even outside the ranges a write enforces.
    pictureType_ = store.ReadProperty("PictureType", Variant::integer(2)).toInteger();
    monthColumns_ = store.ReadProperty("MonthColumns", Variant::integer(1)).toInteger();
    monthRows_ = store.ReadProperty("MonthRows", Variant::integer(3)).toInteger();

    // A picture type that names no element leaves the button as it is.
    SkipOnError guard;
    guard.step([&] { cmd_->setPicture(imgDropDown(pictureType_)->picture()); });
    guard.step([&] {
        calendarMonthBackColor_ = store.ReadProperty("CalendarMonthBackColor", Variant::longValue(0)).toColour();
    });
    guard.step([&] { canOpen_ = store.ReadProperty("CanOpen", Variant::boolean(true)).isTrue(); });
    guard.step([&] { cmd_->setEnabled(cal_->enabled() && canOpen_); });
}

void TavoCalendarDropDown::WriteProperties(PropertyStore& store) {
    store.WriteProperty("Enabled", Variant::boolean(cal_->enabled()), Variant::boolean(true));
    store.WriteProperty("Font", Variant::object(cal_->font()), Variant::object(site().ambientFont()));
    store.WriteProperty("CalendarBackColor", colourValue(cal_->calendarBackColor()), colourValue(vbWindowBackground));
    store.WriteProperty("CalendarForeColor", colourValue(cal_->calendarForeColor()), colourValue(vbButtonText));
    store.WriteProperty("CalendarTitleBackColor", colourValue(cal_->calendarTitleBackColor()),
                        colourValue(vb3DHighlight));
    store.WriteProperty("CalendarTitleForeColor", colourValue(cal_->calendarTitleForeColor()),
                        colourValue(vbButtonText));
    store.WriteProperty("CalendarTrailingForeColor", colourValue(cal_->calendarTrailingForeColor()),
                        colourValue(vbGrayText));
    store.WriteProperty("CalendarMonthBackColor", colourValue(site().backColor()), colourValue(vbWindowBackground));
    store.WriteProperty("CustomFormat", Variant::string(cal_->customFormat()), Variant::string(""));
    store.WriteProperty("Format", Variant::longValue(cal_->format()), Variant::longValue(1));
    store.WriteProperty("MaxDate", Variant::date(cal_->maxDate()),
                        Variant::date(Variant::string(kDefaultMaxDate).toDate()));
    store.WriteProperty("MinDate", Variant::date(cal_->minDate()),
                        Variant::date(Variant::string(kDefaultMinDate).toDate()));
    store.WriteProperty("Picture", Variant::object(Picture()), Variant::object(nullptr));
    store.WriteProperty("UpDown", Variant::boolean(cal_->upDown()), Variant::boolean(false));
    store.WriteProperty("Value", cal_->value(), Variant::date(Variant::string(kDefaultValue).toDate()));
    store.WriteProperty("ShowToday", Variant::boolean(showToday_), Variant::boolean(true));
    store.WriteProperty("ShowWeek", Variant::boolean(showWeek_), Variant::boolean(true));
    store.WriteProperty("PictureType", Variant::integer(pictureType_), Variant::integer(2));
    store.WriteProperty("MonthColumns", Variant::integer(monthColumns_), Variant::integer(1));
    store.WriteProperty("MonthRows", Variant::integer(monthRows_), Variant::integer(3));
    store.WriteProperty("CalendarMonthBackColor", colourValue(calendarMonthBackColor_), Variant::longValue(0));
    store.WriteProperty("CanOpen", Variant::boolean(canOpen_), Variant::boolean(true));
}

void TavoCalendarDropDown::Terminate() {
    const auto frm = std::dynamic_pointer_cast<frmCalendar>(host().findDefaultInstance(frmCalendar::kFormClass));
    if (!frm || frm->objBackReference.get() != this || !frm->isLoaded()) return;
    SkipOnError guard;
    guard.step([&] { frm->tmr().setEnabled(false); });
    guard.step([&] { frm->Unload(); });
}

// ---- Layout ------------------------------------------------------------------

void TavoCalendarDropDown::Resize() {
    // Each placement runs even when an earlier one was rejected.
    SkipOnError guard;
    const float tppX = host().twipsPerPixelX();
    const float tppY = host().twipsPerPixelY();
    guard.step([&] { cal_->move(0, 0, site().scaleWidth(), site().scaleHeight()); });
    guard.step([&] { cmd_->setTop(2 * tppY); });
    guard.step([&] { cmd_->setLeft(site().scaleWidth() - cmd_->width() - 2 * tppX); });
    guard.step([&] { cmd_->setHeight(site().scaleHeight() - 4 * tppY); });
}

// ---- Opening the popup ---------------------------------------------------------

void TavoCalendarDropDown::HandleDropButtonDown(int16_t, int16_t, float X, float Y) {
    cmd_->setEnabled(canOpen_);
    if (!canOpen_) return;

    // From here a failing step is skipped and the next one runs.
    SkipOnError guard;
    frmCalendar& frm = popup(host());
    guard.step([&] { frm.Load(); });
    copySettingsToPopup(guard, frm);

    // A press on an open popup, whoever opened it, closes it.
    if (guard.test([&] { return frm.Visible(); })) {
        guard.step([&] { frm.tmr().setEnabled(false); });
        guard.step([&] { frm.Unload(); });
        guard.step([&] { host().doEvents(); });
        guard.step([&] { cal_->setFocus(); });
        return;
    }

    const double anchorTop = placePopup(guard, frm, X, Y);
    guard.step([&] { cal_->setFocus(); });
    showPopup(guard, frm, anchorTop);
}

void TavoCalendarDropDown::copySettingsToPopup(SkipOnError& guard, frmCalendar& frm) {
    guard.step([&] { frm.cal().setShowToday(showToday_); });
    guard.step([&] { frm.cal().setShowWeekNumbers(showWeek_); });
    guard.step([&] { frm.cal().setBackColor(cal_->calendarBackColor()); });
    guard.step([&] { frm.cal().setForeColor(cal_->calendarForeColor()); });
    guard.step([&] { frm.cal().setFont(cal_->font()); });
    // The month area follows the surface colour, not the CalendarMonthBackColor setting.
    guard.step([&] { frm.cal().setMonthBackColor(site().backColor()); });
    guard.step([&] { frm.cal().setTitleBackColor(cal_->calendarTitleBackColor()); });
    guard.step([&] { frm.cal().setTitleForeColor(cal_->calendarTitleForeColor()); });
    guard.step([&] { frm.cal().setTrailingForeColor(cal_->calendarTrailingForeColor()); });
    guard.step([&] { frm.cal().setMaxDate(cal_->maxDate()); });
    guard.step([&] { frm.cal().setMinDate(cal_->minDate()); });
    guard.step([&] { frm.cal().setMonthColumns(monthColumns_); });
    guard.step([&] { frm.cal().setMonthRows(monthRows_); });
    guard.step([&] { frm.CalcPos(); });
}

double TavoCalendarDropDown::placePopup(SkipOnError& guard, frmCalendar& frm, float X, float Y) {
    Host& h = host();
    guard.step([&] { frm.cal().setValue(cal_->value().toDate()); });

    // The control's bottom left corner on the screen, from where the pointer
    // pressed the button.
    int32_t cursorX = 0, cursorY = 0;
    guard.step([&] { h.getCursorPos(cursorX, cursorY); });
    double anchorLeft = 0, anchorTop = 0;
    guard.step([&] { anchorLeft = double(cursorX) * h.twipsPerPixelX() - X - cmd_->left(); });
    guard.step([&] { anchorTop = double(cursorY) * h.twipsPerPixelY() - Y - cmd_->top() + site().height(); });

    guard.step([&] { frm.objBackReference = shared_from_this(); });
    guard.step([&] { frm.setTop(float(anchorTop)); });

    // The screen's edges, on the screen the press came from: on a desktop of
    // several screens the popup keeps to the control's.
    float screenLeft = 0, screenTop = 0;
    guard.step([&] { screenLeft = h.screenLeft(); });
    guard.step([&] { screenTop = h.screenTop(); });
    auto tooLow = [&] { return frm.Top() + frm.Height() + kBottomMargin > screenTop + h.screenHeight(); };
    if (guard.test(tooLow)) {
        // Reshape the month grid once: turn a tall grid on its side, or take a row away.
        if (guard.test([&] { return monthColumns_ < monthRows_; })) {
            guard.step([&] { frm.cal().setMonthColumns(monthRows_); });
            guard.step([&] { frm.cal().setMonthRows(monthColumns_); });
            guard.step([&] { frm.CalcPos(); });
        } else if (guard.test([&] { return frm.cal().monthRows() > 1; })) {
            guard.step([&] { frm.cal().setMonthRows(frm.cal().monthRows() - 1); });
            guard.step([&] { frm.CalcPos(); });
        }
        // Above the control only when the control stands in the lower half.
        if (guard.test([&] { return tooLow() && float(anchorTop) > screenTop + h.screenHeight() / 2; }))
            guard.step([&] { frm.setTop(frm.Top() - frm.Height() - site().height()); });
    }

    guard.step([&] { frm.setLeft(float(anchorLeft)); });
    if (guard.test([&] { return frm.Left() + frm.Width() > screenLeft + h.screenWidth(); }))
        guard.step([&] { frm.setLeft(screenLeft + h.screenWidth() - frm.Width()); });
    return anchorTop;
}

void TavoCalendarDropDown::showPopup(SkipOnError& guard, frmCalendar& frm, double anchorTop) {
    // Only the hiding of the cancel button and the modeless show decide
    // whether the popup has to be shown modally.
    guard.clear();
    guard.step([&] { frm.cmdCancel().setVisible(false); });
    guard.step([&] { frm.Show(); });
    if (!guard.failed()) return;

    guard.step([&] {
        MonthGrid& grid = frm.cal();
        frm.cmdCancel().move(0, grid.top() + grid.height(), grid.width());
    });
    guard.step([&] { frm.cmdCancel().setVisible(true); });
    // A popup above the control makes room for the button by moving up, but
    // not past the top of the screen.
    if (guard.test([&] { return float(anchorTop) > frm.Top(); })) {
        guard.step([&] { frm.setTop(frm.Top() - frm.cmdCancel().height()); });
        float screenTop = 0;
        guard.step([&] { screenTop = host().screenTop(); });
        if (guard.test([&] { return frm.Top() < screenTop; })) guard.step([&] { frm.setTop(screenTop); });
    }
    guard.step([&] { frm.ShowModal(); });
}

void TavoCalendarDropDown::HandleDateBoxDropDown() {
    // Keeps the date box's own calendar closed while the drop-down is barred.
    SkipOnError guard;
    if (guard.test([&] { return !canOpen_; })) guard.step([&] { host().sendKeys("{ESC}"); });
}

// ---- Relay of the date box's events -----------------------------------------

void TavoCalendarDropDown::HandleDateBoxClick() { site().raiseEvent("Click", {}); }

void TavoCalendarDropDown::HandleDateBoxDblClick() { site().raiseEvent("DblClick", {}); }

void TavoCalendarDropDown::raiseKeyEvent(std::string_view event, int16_t& first, int16_t* second) {
    // The handler's changes go back into the date box's own variables.
    Variant args[2] = {Variant::integer(first), Variant::integer(second ? *second : 0)};
    site().raiseEvent(event, std::span<Variant>(args, second ? 2 : 1));
    first = args[0].toInteger();
    if (second) *second = args[1].toInteger();
}

void TavoCalendarDropDown::HandleDateBoxKeyDown(int16_t& KeyCode, int16_t& Shift) {
    raiseKeyEvent("KeyDown", KeyCode, &Shift);
}

void TavoCalendarDropDown::HandleDateBoxKeyPress(int16_t& KeyAscii) { raiseKeyEvent("KeyPress", KeyAscii, nullptr); }

void TavoCalendarDropDown::HandleDateBoxKeyUp(int16_t& KeyCode, int16_t& Shift) {
    raiseKeyEvent("KeyUp", KeyCode, &Shift);
}

void TavoCalendarDropDown::HandleDateBoxChange() {
    SkipOnError guard;
    guard.step([&] { popup(host()).Unload(); });
    site().raiseEvent("Change", {});
}

// ---- Late-bound ----------------------------------------------------------------

Variant TavoCalendarDropDown::getMember(std::string_view member, const Variant* arg) {
    return members().get(*this, member, arg);
}

void TavoCalendarDropDown::putMember(std::string_view member, const Variant& value) {
    members().put(*this, member, value);
}

void TavoCalendarDropDown::putRefMember(std::string_view member, const Variant& value) {
    members().putRef(*this, member, value);
}

Variant TavoCalendarDropDown::callMember(std::string_view member, std::span<Variant> args) {
    return members().call(*this, member, args);
}

}  // namespace tavo
