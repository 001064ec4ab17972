#include "backends/headless/headless_date_box.h"

#include <cmath>

#include "backends/headless/date_text.h"
#include "backends/headless/input_router.h"
#include "backends/headless/window_manager.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

// The box compares days: a time of day on the last allowed day is still inside.
double dayOf(double serial) { return std::trunc(serial); }

std::string dateText(double serial) { return formatDateCanonical(serial); }

// The texts name the member alone: the date control forwards its own
// properties of the same names, and its user knows no child "cal".
void checkOwnRange(const char* member, double d) {
    if (!(dayOf(d) >= HeadlessDateBox::kOwnMinDate && dayOf(d) <= HeadlessDateBox::kOwnMaxDate))
        throwHostError(err::InvalidPropertyValue,
                       std::string(member) + " " + (dateInRange(d) ? dateText(d) : "day number " + messageNumber(d)) +
                           " is outside the dates a date box holds, 1601-01-01 .. 9999-12-31");
}

}  // namespace

HeadlessDateBox::HeadlessDateBox(const ChildDesign& d, Placing p)
    : HeadlessChild(d, std::move(p)), value_(36759.0), font_(ambientFont()) {}

Variant HeadlessDateBox::value() const { return value_ ? Variant::date(*value_) : Variant(); }

void HeadlessDateBox::setValue(const Variant& v) {
    if (v.isEmpty()) {
        value_.reset();
        return;
    }
    const double d = v.toDate();
    if (dayOf(d) < dayOf(minDate_) || dayOf(d) > dayOf(maxDate_))
        throwHostError(err::InvalidPropertyValue, "Value " + dateText(d) + " is outside MinDate " +
                                                      dateText(minDate_) + " .. MaxDate " + dateText(maxDate_));
    value_ = d;
}

void HeadlessDateBox::setMinDate(double d) {
    checkOwnRange("MinDate", d);
    if (dayOf(d) > dayOf(maxDate_))
        throwHostError(err::InvalidPropertyValue, "MinDate " + dateText(d) + " is after MaxDate " + dateText(maxDate_));
    minDate_ = d;
    if (value_ && dayOf(*value_) < dayOf(minDate_)) value_ = minDate_;
}

void HeadlessDateBox::setMaxDate(double d) {
    checkOwnRange("MaxDate", d);
    if (dayOf(d) < dayOf(minDate_))
        throwHostError(err::InvalidPropertyValue, "MaxDate " + dateText(d) + " is before MinDate " + dateText(minDate_));
    maxDate_ = d;
    if (value_ && dayOf(*value_) > dayOf(maxDate_)) value_ = maxDate_;
}

void HeadlessDateBox::setFormat(int32_t f) {
    if (f < 0 || f > 3)
        throwHostError(err::InvalidPropertyValue, "Format " + std::to_string(f) +
                                                      " is not a format (0 long date, 1 short date, 2 time, 3 custom)");
    format_ = f;
}

void HeadlessDateBox::setUpDown(bool u) {
    upDown_ = u;
    if (u) droppedDown_ = false;
}

void HeadlessDateBox::setFont(FontRef f) {
    if (!f) throwHostError(err::InvalidPropertyValue, "Font needs a font object, not Nothing");
    font_ = std::move(f);
}

std::string HeadlessDateBox::text() const {
    if (!value_) return {};
    switch (format_) {
    case 0: return formatDateText(*value_, kLongDatePattern);
    case 1: return formatDateText(*value_, kShortDatePattern);
    case 2: return formatDateText(*value_, kTimePattern);
    default: return formatDateText(*value_, customFormat_);
    }
}

void HeadlessDateBox::userChange(double date) {
    input().post(childRef(), true, [date](Child& c) {
        auto& box = static_cast<HeadlessDateBox&>(c);
        if (dayOf(date) < dayOf(box.minDate_) || dayOf(date) > dayOf(box.maxDate_)) return;
        box.windows().setFocus(box.childRef());
        box.value_ = date;
        box.droppedDown_ = false;
        fireHandler(box.onChange);
    });
}

void HeadlessDateBox::dropDown() {
    input().post(childRef(), true, [](Child& c) { static_cast<HeadlessDateBox&>(c).openOwnCalendar(); });
}

void HeadlessDateBox::click() { input().postMouse(childRef(), MouseAction::Click, 1, 0, 0, 0); }

void HeadlessDateBox::dblClick() {
    input().post(childRef(), true, [](Child& c) {
        auto& box = static_cast<HeadlessDateBox&>(c);
        box.windows().setFocus(box.childRef());
        // The first press of a double click is a click of its own.
        fireHandler(box.onClick);
        if (box.input().allowed(box)) fireHandler(box.onDblClick);
    });
}

void HeadlessDateBox::openOwnCalendar() {
    if (upDown_) return;
    windows().setFocus(childRef());
    droppedDown_ = true;
    fireHandler(onDropDown);
}

}  // namespace tavo
