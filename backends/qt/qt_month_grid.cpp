#include "backends/qt/qt_month_grid.h"

#include <cmath>

#include "backends/qt/qt_convert.h"
#include "tavo/host/date.h"

namespace tavo {

namespace {

constexpr double kOwnMin = -53688.0;     // 1 January 1753
constexpr double kOwnMax = 2958465.0;    // 31 December 9999
constexpr double kDesignValue = 36759.0;  // 21 August 2000

double dayOf(double serial) { return std::floor(dateLinear(serial)); }

QDate toQDate(double serial) {
    const DateParts p = splitDate(serial);
    return QDate(p.year, p.month, p.day);
}

std::string dateText(double serial) {
    return dateInRange(serial) ? formatDateCanonical(serial) : std::to_string(serial);
}

// A window without a border shows no caption, and a screen reader would
// name it after its never-seen design caption; such a window is its calendar.
void nameWindow(MonthGridWidget* g) {
    QWidget* window = g->window();
    if (window != g && window->windowFlags().testFlag(Qt::FramelessWindowHint) && window->accessibleName().isEmpty())
        window->setAccessibleName(g->texts().calendarName());
}

}  // namespace

QtMonthGrid::QtMonthGrid(const ChildDesign& d, QtHost& host, QWidget* parent)
    : QtChild<MonthGrid>(d, host, new MonthGridWidget(parent)),
      colours_{0x8000000Fu, 0x80000012u, 0x80000005u, 0x80000010u, 0x80000014u, 0x80000011u},
      font_(host.ambientFont()), min_(kOwnMin), max_(kOwnMax), value_(kDesignValue) {
    MonthGridWidget* g = grid();
    g->setFont(toQFont(*font_));
    g->setToday(toQDate(host.today()));
    g->setRange(toQDate(min_), toQDate(max_));
    g->setValue(toQDate(value_));
    g->onDateClick = [this](QDate day) { dateClicked(day); };
    g->onSelect = [this](QDate day) { value_ = dateSerial(day.year(), day.month(), day.day()); };
    g->onPaletteChange = [this] { applyLook(); };
    nameWindow(g);
    applyLook();
    applyMonths();
}

QtMonthGrid::~QtMonthGrid() {
    if (MonthGridWidget* g = grid()) {
        g->onDateClick = nullptr;
        g->onSelect = nullptr;
        g->onPaletteChange = nullptr;
    }
}

float QtMonthGrid::width() const { return host_.toTwipsX(size_.width()); }
float QtMonthGrid::height() const { return host_.toTwipsY(size_.height()); }

void QtMonthGrid::place() {
    if (!widget_) return;
    widget_->move(host_.toPixelsX(left_), host_.toPixelsY(top_));
}

void QtMonthGrid::applyMonths() {
    MonthGridWidget* g = grid();
    if (!g) return;
    g->setMonths(rows_, columns_);
    g->setShowWeekNumbers(showWeekNumbers_);
    g->setShowToday(showToday_);
    // Today comes from the host (a fixed today shows in demos and tests).
    g->setToday(toQDate(host_.today()));
    size_ = g->sizeHint();
    width_ = width();
    height_ = height();
}

void QtMonthGrid::setShowToday(bool v) {
    showToday_ = v;
    applyMonths();
}

void QtMonthGrid::setShowWeekNumbers(bool v) {
    showWeekNumbers_ = v;
    applyMonths();
}

void QtMonthGrid::setColour(ColourRole role, uint32_t c) {
    colours_[role] = c;
    applyLook();
}

void QtMonthGrid::applyLook() {
    MonthGridWidget* g = grid();
    if (!g) return;
    const QPalette pal = g->palette();
    g->setLook({toQColor(colours_[Back], pal), toQColor(colours_[Fore], pal), toQColor(colours_[MonthBack], pal),
                toQColor(colours_[TitleBack], pal), toQColor(colours_[TitleFore], pal),
                toQColor(colours_[TrailingFore], pal)});
}

void QtMonthGrid::setFont(FontRef f) {
    if (!f) throwHostError(err::ObjectNotSet, "Font of " + displayName() + " cannot be Nothing");
    font_ = std::move(f);
    if (MonthGridWidget* g = grid()) g->setFont(toQFont(*font_));
    applyMonths();
}

void QtMonthGrid::setMinDate(double d) {
    if (dayOf(d) < dayOf(kOwnMin) || dayOf(d) > dayOf(kOwnMax))
        throwHostError(err::InvalidPropertyValue,
                       "MinDate " + dateText(d) + " of " + displayName() + " lies outside 1753-01-01 .. 9999-12-31");
    if (dayOf(d) > dayOf(max_))
        throwHostError(err::InvalidPropertyValue,
                       "MinDate " + dateText(d) + " of " + displayName() + " is after MaxDate " + dateText(max_));
    min_ = d;
    if (dayOf(value_) < dayOf(min_)) value_ = std::floor(min_);
    if (MonthGridWidget* g = grid()) g->setRange(toQDate(min_), toQDate(max_));
}

void QtMonthGrid::setMaxDate(double d) {
    if (dayOf(d) < dayOf(kOwnMin) || dayOf(d) > dayOf(kOwnMax))
        throwHostError(err::InvalidPropertyValue,
                       "MaxDate " + dateText(d) + " of " + displayName() + " lies outside 1753-01-01 .. 9999-12-31");
    if (dayOf(d) < dayOf(min_))
        throwHostError(err::InvalidPropertyValue,
                       "MaxDate " + dateText(d) + " of " + displayName() + " is before MinDate " + dateText(min_));
    max_ = d;
    if (dayOf(value_) > dayOf(max_)) value_ = std::floor(max_);
    if (MonthGridWidget* g = grid()) g->setRange(toQDate(min_), toQDate(max_));
}

void QtMonthGrid::setMonthColumns(int16_t n) {
    if (n < 1 || n * rows_ > 12)
        throwHostError(err::InvalidPropertyValue, "MonthColumns " + std::to_string(n) + " of " + displayName() +
                                                      " with " + std::to_string(rows_) + " rows is not 1 to 12 months");
    columns_ = n;
    applyMonths();
}

void QtMonthGrid::setMonthRows(int16_t n) {
    if (n < 1 || n * columns_ > 12)
        throwHostError(err::InvalidPropertyValue, "MonthRows " + std::to_string(n) + " of " + displayName() +
                                                      " with " + std::to_string(columns_) + " columns is not 1 to 12 months");
    rows_ = n;
    applyMonths();
}

void QtMonthGrid::setValue(double d) {
    if (dayOf(d) < dayOf(min_) || dayOf(d) > dayOf(max_))
        throwHostError(err::InvalidPropertyValue, "Value " + dateText(d) + " of " + displayName() + " lies outside " +
                                                      dateText(min_) + " .. " + dateText(max_));
    value_ = d;
    if (MonthGridWidget* g = grid()) g->setValue(toQDate(d));
}

void QtMonthGrid::dateClicked(QDate day) {
    value_ = dateSerial(day.year(), day.month(), day.day());
    if (!live() || !onDateClick) return;
    auto self = shared_from_this();
    onDateClick(value_);
}

}  // namespace tavo
