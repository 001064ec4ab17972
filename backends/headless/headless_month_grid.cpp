#include "backends/headless/headless_month_grid.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "backends/headless/font_metrics.h"
#include "backends/headless/headless_screen.h"
#include "backends/headless/input_router.h"
#include "backends/headless/key_stroke.h"
#include "backends/headless/window_manager.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

constexpr std::array<const char*, 7> kWeekdayHeads{"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
constexpr int kMonthGap = 6;  // pixels between months
constexpr int kBorder = 1;    // pixels all round

double dayOf(double serial) { return std::trunc(serial); }

std::string dateText(double serial) { return formatDateCanonical(serial); }

// The same day of the month `delta` months on, or the month's last day when
// it is shorter; nullopt beyond the years a date can have.
std::optional<double> monthsOn(double day, int delta) {
    const DateParts p = splitDate(day);
    const int index = p.year * 12 + (p.month - 1) + delta;
    const int year = index / 12, month = index % 12 + 1;
    if (year < 100 || year > 9999) return std::nullopt;
    return dateSerial(year, month, std::min(p.day, daysInMonth(year, month)));
}

int monthIndex(double day) {
    const DateParts p = splitDate(day);
    return p.year * 12 + p.month - 1;
}

void checkOwnRange(const Child& c, const char* member, double d) {
    if (!(dayOf(d) >= HeadlessMonthGrid::kOwnMinDate && dayOf(d) <= HeadlessMonthGrid::kOwnMaxDate))
        throwHostError(err::InvalidPropertyValue, c.displayName() + "." + member + " " + messageNumber(d) +
                                                      " is outside the month grid's range 1753-01-01 .. 9999-12-31");
}

}  // namespace

HeadlessMonthGrid::HeadlessMonthGrid(const ChildDesign& d, Placing p)
    : HeadlessChild(d, std::move(p)), font_(ambientFont()) {}

void HeadlessMonthGrid::setFont(FontRef f) {
    if (!f) throwHostError(err::InvalidPropertyValue, displayName() + ".Font needs a font object, not Nothing");
    font_ = std::move(f);
}

void HeadlessMonthGrid::setMinDate(double d) {
    checkOwnRange(*this, "MinDate", d);
    if (dayOf(d) > maxDate_)
        throwHostError(err::InvalidPropertyValue,
                       displayName() + ".MinDate " + dateText(d) + " is after MaxDate " + dateText(maxDate_));
    minDate_ = dayOf(d);
    value_ = std::max(value_, minDate_);
    ensureShown(value_);
}

void HeadlessMonthGrid::setMaxDate(double d) {
    checkOwnRange(*this, "MaxDate", d);
    if (dayOf(d) < minDate_)
        throwHostError(err::InvalidPropertyValue,
                       displayName() + ".MaxDate " + dateText(d) + " is before MinDate " + dateText(minDate_));
    maxDate_ = dayOf(d);
    value_ = std::min(value_, maxDate_);
    ensureShown(value_);
}

void HeadlessMonthGrid::checkMonths(int16_t rows, int16_t columns, const char* member, int16_t value) const {
    if (value < 1)
        throwHostError(err::InvalidPropertyValue,
                       displayName() + "." + member + " " + std::to_string(value) + " is below 1");
    if (rows * columns > 12)
        throwHostError(err::InvalidPropertyValue, displayName() + "." + member + " " + std::to_string(value) +
                                                      " would show " + std::to_string(rows) + " x " +
                                                      std::to_string(columns) + " months, more than 12");
}

void HeadlessMonthGrid::setMonthColumns(int16_t n) {
    checkMonths(rows_, n, "MonthColumns", n);
    columns_ = n;
    ensureShown(value_);
}

void HeadlessMonthGrid::setMonthRows(int16_t n) {
    checkMonths(n, columns_, "MonthRows", n);
    rows_ = n;
    ensureShown(value_);
}

void HeadlessMonthGrid::setValue(double d) {
    if (!inRange(dayOf(d)))
        throwHostError(err::InvalidPropertyValue, displayName() + ".Value " + dateText(d) + " is outside MinDate " +
                                                      dateText(minDate_) + " .. MaxDate " + dateText(maxDate_));
    value_ = dayOf(d);
    first_ = monthIndex(value_);
    clampFirst();
}

bool HeadlessMonthGrid::inRange(double day) const { return day >= minDate_ && day <= maxDate_; }

double HeadlessMonthGrid::firstMonth() const { return dateSerial(first_ / 12, first_ % 12 + 1, 1); }

void HeadlessMonthGrid::ensureShown(double day) {
    const int month = monthIndex(day), count = rows_ * columns_;
    if (month < first_) first_ = month;
    else if (month > first_ + count - 1) first_ = month - (count - 1);
    clampFirst();
}

void HeadlessMonthGrid::clampFirst() {
    first_ = std::max(std::min(first_, monthIndex(maxDate_) - (rows_ * columns_ - 1)), monthIndex(minDate_));
}

int HeadlessMonthGrid::pixelWidth() const {
    const FontMetrics m = FontMetrics::of(*font_, screen().dpi());
    int widestHead = 0;
    for (const char* head : kWeekdayHeads) widestHead = std::max(widestHead, m.textWidth(head));
    const int column = std::max(widestHead + 2, 2 * m.textWidth("00") + 4);
    const int month = column * (showWeekNumbers_ ? 8 : 7);
    return columns_ * month + (columns_ - 1) * kMonthGap + 2 * kBorder;
}

int HeadlessMonthGrid::pixelHeight() const {
    const int h = FontMetrics::of(*font_, screen().dpi()).lineHeight;
    const int title = (3 * h + 1) / 2;
    const int month = title + h + 6 * h + h;
    return rows_ * month + (rows_ - 1) * kMonthGap + 2 * kBorder - (showToday_ ? 0 : h);
}

float HeadlessMonthGrid::width() const { return static_cast<float>(pixelWidth()) * screen().twipsPerPixel(); }

float HeadlessMonthGrid::height() const { return static_cast<float>(pixelHeight()) * screen().twipsPerPixel(); }

void HeadlessMonthGrid::setWidth(float v) { checkChildSize(*this, "Width", v); }

void HeadlessMonthGrid::setHeight(float v) { checkChildSize(*this, "Height", v); }

void HeadlessMonthGrid::dateClick(double date) {
    input().post(childRef(), true, [date](Child& c) {
        auto& grid = static_cast<HeadlessMonthGrid&>(c);
        grid.windows().setFocus(grid.childRef());
        grid.clickDay(date);
    });
}

void HeadlessMonthGrid::clickDay(double date) {
    const double day = dayOf(date);
    if (!inRange(day)) return;
    value_ = day;
    ensureShown(value_);
    fireHandler(onDateClick, day);
}

void HeadlessMonthGrid::navigate(int16_t keyCode) {
    std::optional<double> target;
    const DateParts p = splitDate(value_);
    switch (keyCode) {
    case key::Left: target = value_ - 1; break;
    case key::Right: target = value_ + 1; break;
    case key::Up: target = value_ - 7; break;
    case key::Down: target = value_ + 7; break;
    case key::PageUp: target = monthsOn(value_, -1).value_or(minDate_); break;
    case key::PageDown: target = monthsOn(value_, 1).value_or(maxDate_); break;
    case key::Home: target = dateSerial(p.year, p.month, 1); break;
    case key::End: target = dateSerial(p.year, p.month, daysInMonth(p.year, p.month)); break;
    default: return;
    }
    value_ = std::clamp(*target, minDate_, maxDate_);
    ensureShown(value_);
}

}  // namespace tavo
