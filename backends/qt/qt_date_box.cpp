#include "backends/qt/qt_date_box.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QChildEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "backends/qt/date_format.h"
#include "backends/qt/event_hook.h"
#include "backends/qt/month_grid_look.h"
#include "backends/qt/qt_convert.h"
#include "tavo/host/date.h"

namespace tavo {

namespace {

constexpr double kOwnMin = -109205.0;   // 1 January 1601
constexpr double kOwnMax = 2958465.0;   // 31 December 9999
constexpr double kDesignValue = 36759.0;  // 21 August 2000

double dayOf(double serial) { return std::floor(dateLinear(serial)); }

QDateTime toQDateTime(double serial) {
    const DateParts p = splitDate(serial);
    return QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second));
}

double fromQDateTime(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return dateTimeSerial(DateParts{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

QDateTime startOfDay(double serial) { return QDateTime(toQDateTime(serial).date(), QTime(0, 0, 0)); }
QDateTime endOfDay(double serial) { return QDateTime(toQDateTime(serial).date(), QTime(23, 59, 59)); }

std::string dateText(double serial) {
    return dateInRange(serial) ? formatDateCanonical(serial) : std::to_string(serial);
}

// Qt's date edit opens its calendar only under the mouse. The platform's date
// pickers open theirs from the keyboard too, with F4 and Alt+Down.
class DateEdit : public QDateTimeEdit {
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    bool event(QEvent* e) override {
        return deliverGuarded([&] { return QDateTimeEdit::event(e); });
    }
    void keyPressEvent(QKeyEvent* e) override {
        const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
        const bool opens = (e->key() == Qt::Key_F4 && mods == Qt::NoModifier) ||
                           (e->key() == Qt::Key_Down && mods == Qt::AltModifier);
        if (opens && calendarPopup()) {
            e->accept();
            if (!isReadOnly()) openCalendar();
            return;
        }
        QDateTimeEdit::keyPressEvent(e);
    }

private:
    // The edit opens its calendar when its arrow is pressed: a press there,
    // handed to the edit alone, so that no one hears a mouse.
    void openCalendar() {
        QStyleOptionComboBox option;
        option.initFrom(this);
        option.editable = true;
        option.subControls = QStyle::SC_All;
        const QPoint arrow =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).center();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(arrow), QPointF(mapToGlobal(arrow)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QDateTimeEdit::mousePressEvent(&press);
    }
};

}  // namespace

QtDateBox::QtDateBox(const ChildDesign& d, QtHost& host, QWidget* parent)
    : QtChild<DateBox>(d, host, new DateEdit(parent)), value_(kDesignValue), min_(kOwnMin), max_(kOwnMax),
      colours_{0x80000005u, 0x80000012u, 0x80000014u, 0x80000012u, 0x80000011u}, font_(host.ambientFont()) {
    QDateTimeEdit* e = edit();
    e->setCalendarPopup(true);
    // The control lays its picture button over the box's right end, where
    // the box's own drop-down arrow stands; in a right-to-left application
    // the arrow would move to the left end and show as a second button.
    e->setLayoutDirection(Qt::LeftToRight);
    e->setKeyboardTracking(true);
    e->setFont(toQFont(*font_));
    e->setFocusPolicy(Qt::StrongFocus);
    {
        QSignalBlocker block(e);
        e->setDateTimeRange(startOfDay(min_), endOfDay(max_));
        e->setDisplayFormat(qtDisplayFormat(format_, customFormat_, e->locale()));
    }
    showValue();
    QObject::connect(e, &QDateTimeEdit::dateTimeChanged, e, [this](const QDateTime& dt) { userChanged(dt); });
    watchEdit();
    host.keyRouter().addSink(e, this);
}

QtDateBox::~QtDateBox() {
    for (auto& hook : hooks_) delete hook;
    if (widget_) {
        host_.keyRouter().removeSink(widget_);
        widget_->disconnect();
    }
}

void QtDateBox::watchEdit() {
    QDateTimeEdit* e = edit();
    auto mouse = [this](QObject*, QEvent* ev) {
        const bool click = ev->type() == QEvent::MouseButtonRelease, dblClick = ev->type() == QEvent::MouseButtonDblClick;
        if ((!click && !dblClick) || !live()) return false;
        auto self = shared_from_this();
        if (click && onClick) onClick();
        else if (dblClick && onDblClick) onDblClick();
        return false;
    };
    hooks_.push_back(new EventHook(e, [this, mouse](QObject* watched, QEvent* ev) {
        // Qt builds the calendar popup when it first drops down; it is still
        // being constructed when it is added, so it is recognised when shown.
        // Open, it follows the application's palette as it changes.
        if (ev->type() == QEvent::ChildAdded) {
            hooks_.push_back(new EventHook(static_cast<QChildEvent*>(ev)->child(), [this](QObject* child, QEvent* ce) {
                if (!child->inherits("QCalendarPopup")) return false;
                if (ce->type() == QEvent::Show) calendarShown(static_cast<QWidget*>(child));
                if (ce->type() == QEvent::ApplicationPaletteChange && static_cast<QWidget*>(child)->isVisible())
                    styleCalendar();
                return false;
            }));
            return false;
        }
        // The short and long formats are the box's locale's, which a widget
        // around it may set: the date is written anew in it.
        if (ev->type() == QEvent::LocaleChange) {
            showValue();
            return false;
        }
        // Qt cannot step from the blank that stands for "no date": a key or
        // the wheel starts from today, and what the user does from there is
        // the change.
        if (showingEmpty_ && (ev->type() == QEvent::KeyPress || ev->type() == QEvent::Wheel)) leaveEmpty();
        return mouse(watched, ev);
    }));
    if (auto* line = e->findChild<QLineEdit*>()) hooks_.push_back(new EventHook(line, mouse));
}

void QtDateBox::calendarShown(QWidget*) {
    styleCalendar();
    if (!live() || !onDropDown) return;
    auto self = shared_from_this();
    onDropDown();
}

void QtDateBox::styleCalendar() {
    QDateTimeEdit* e = edit();
    if (!e) return;
    QCalendarWidget* cal = e->calendarWidget();
    // Qt's calendar draws the days of other months as disabled text, and its
    // title bar and the selected day in the highlight colours. They stay
    // readable as the month grid's do: a dark palette that leaves Light white
    // would otherwise hide the month name on the title band's default colour.
    // System colours are read from the application's palette as it stands
    // now, not from the colours set here the last time.
    QPalette pal = QApplication::palette(cal);
    const MonthGridInk ink = inkFor({toQColor(colours_[Back], pal), toQColor(colours_[Fore], pal),
                                     toQColor(colours_[Back], pal), toQColor(colours_[TitleBack], pal),
                                     toQColor(colours_[TitleFore], pal), toQColor(colours_[TrailingFore], pal)},
                                    pal.color(QPalette::Dark));
    pal.setColor(QPalette::Base, ink.monthBack);
    pal.setColor(QPalette::Window, ink.monthBack);
    pal.setColor(QPalette::Text, ink.day);
    pal.setColor(QPalette::Highlight, ink.titleBack);
    pal.setColor(QPalette::HighlightedText, ink.title);
    pal.setColor(QPalette::Disabled, QPalette::Text, ink.otherDay);
    // The weekday names stand on the palette's alternate base, in the days' colour.
    if (contrastRatio(ink.day, pal.color(QPalette::AlternateBase)) < kLeastContrast)
        pal.setColor(QPalette::AlternateBase, ink.monthBack);
    cal->setPalette(pal);
    // The box itself keeps left to right (see the constructor); its calendar
    // runs the way the control's window does.
    if (const QWidget* around = e->parentWidget()) cal->window()->setLayoutDirection(around->layoutDirection());
    if (auto* bar = cal->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))) {
        QPalette barPal = QApplication::palette(bar);
        barPal.setColor(QPalette::Window, ink.titleBack);
        barPal.setColor(QPalette::Highlight, ink.titleBack);
        barPal.setColor(QPalette::ButtonText, ink.title);
        barPal.setColor(QPalette::WindowText, ink.title);
        barPal.setColor(QPalette::HighlightedText, ink.title);
        bar->setPalette(barPal);
        for (auto* b : bar->findChildren<QToolButton*>()) b->setPalette(barPal);
    }
    cal->setFont(toQFont(*font_));
}

Variant QtDateBox::value() const { return value_ ? Variant::date(*value_) : Variant(); }

void QtDateBox::setValue(const Variant& v) {
    if (v.isEmpty()) {
        value_.reset();
        showValue();
        return;
    }
    const double d = v.toDate();
    if (dayOf(d) < dayOf(min_) || dayOf(d) > dayOf(max_))
        throwHostError(err::InvalidPropertyValue, "Value " + dateText(d) + " is outside MinDate " + dateText(min_) +
                                                      " .. MaxDate " + dateText(max_));
    value_ = d;
    showValue();
}

void QtDateBox::setMinDate(double d) {
    if (dayOf(d) < dayOf(kOwnMin) || dayOf(d) > dayOf(kOwnMax))
        throwHostError(err::InvalidPropertyValue,
                       "MinDate " + dateText(d) + " is outside the dates a date box holds, 1601-01-01 .. 9999-12-31");
    if (dayOf(d) > dayOf(max_))
        throwHostError(err::InvalidPropertyValue,
                       "MinDate " + dateText(d) + " is after MaxDate " + dateText(max_));
    min_ = d;
    if (value_ && dayOf(*value_) < dayOf(min_)) value_ = min_;
    showValue();
}

void QtDateBox::setMaxDate(double d) {
    if (dayOf(d) < dayOf(kOwnMin) || dayOf(d) > dayOf(kOwnMax))
        throwHostError(err::InvalidPropertyValue,
                       "MaxDate " + dateText(d) + " is outside the dates a date box holds, 1601-01-01 .. 9999-12-31");
    if (dayOf(d) < dayOf(min_))
        throwHostError(err::InvalidPropertyValue,
                       "MaxDate " + dateText(d) + " is before MinDate " + dateText(min_));
    max_ = d;
    if (value_ && dayOf(*value_) > dayOf(max_)) value_ = max_;
    showValue();
}

void QtDateBox::setFormat(int32_t f) {
    if (f < 0 || f > 3)
        throwHostError(err::InvalidPropertyValue,
                       "Format " + std::to_string(f) + " is not a format (0 long date, 1 short date, 2 time, 3 custom)");
    format_ = f;
    showValue();
}

void QtDateBox::setCustomFormat(const std::string& f) {
    customFormat_ = f;
    showValue();
}

void QtDateBox::setUpDown(bool u) {
    upDown_ = u;
    if (QDateTimeEdit* e = edit()) {
        e->setCalendarPopup(!u);
    }
}

void QtDateBox::setColour(ColourRole role, uint32_t c) {
    colours_[role] = c;
    // Asking the edit for its calendar would build it; style one that exists.
    if (QDateTimeEdit* e = edit(); e && e->findChild<QCalendarWidget*>()) styleCalendar();
}

void QtDateBox::setFont(FontRef f) {
    if (!f) throwHostError(err::ObjectNotSet, "Font needs a font object, not Nothing");
    font_ = std::move(f);
    if (QDateTimeEdit* e = edit()) e->setFont(toQFont(*font_));
}

QString QtDateBox::text() const {
    QDateTimeEdit* e = edit();
    if (!e || showingEmpty_) return {};
    return e->text();
}

void QtDateBox::showValue() {
    QDateTimeEdit* e = edit();
    if (!e) return;
    ++settingFromCode_;
    QSignalBlocker block(e);
    const QDateTime lo = startOfDay(min_), hi = endOfDay(max_);
    e->setDisplayFormat(qtDisplayFormat(format_, customFormat_, e->locale()));
    if (value_) {
        showingEmpty_ = false;
        e->setSpecialValueText({});
        e->setDateTimeRange(lo, hi);
        e->setDateTime(toQDateTime(*value_));
    } else {
        // Qt's edit always holds a date: a day just before the range, shown
        // with a blank special text, stands for "no date".
        showingEmpty_ = true;
        const QDateTime blank = lo.addDays(-1);
        e->setDateTimeRange(blank, hi);
        e->setSpecialValueText(QStringLiteral(" "));
        e->setDateTime(blank);
    }
    --settingFromCode_;
}

void QtDateBox::leaveEmpty() {
    const double today = std::clamp(host_.today(), std::floor(dateLinear(min_)), std::floor(dateLinear(max_)));
    value_ = dateFromLinear(today);
    showValue();
}

void QtDateBox::userChanged(const QDateTime& dt) {
    if (settingFromCode_) return;
    if (showingEmpty_) {
        if (dt == edit()->minimumDateTime()) return;
        showingEmpty_ = false;
        QSignalBlocker block(edit());
        edit()->setSpecialValueText({});
        edit()->setMinimumDateTime(startOfDay(min_));
    }
    value_ = fromQDateTime(dt);
    if (!live() || !onChange) return;
    auto self = shared_from_this();
    onChange();
}

void QtDateBox::keyDown(int16_t& keyCode, int16_t& shift) {
    if (!live() || !onKeyDown) return;
    auto self = shared_from_this();
    onKeyDown(keyCode, shift);
}

void QtDateBox::keyPress(int16_t& keyAscii) {
    if (!live() || !onKeyPress) return;
    auto self = shared_from_this();
    onKeyPress(keyAscii);
}

void QtDateBox::keyUp(int16_t& keyCode, int16_t& shift) {
    if (!live() || !onKeyUp) return;
    auto self = shared_from_this();
    onKeyUp(keyCode, shift);
}

}  // namespace tavo
