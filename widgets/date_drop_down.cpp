#include "tavo/widgets/date_drop_down.h"

#include <QApplication>
#include <QBuffer>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPointer>
#include <QScopedValueRollback>
#include <functional>
#include <vector>

#include "backends/qt/event_hook.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_picture.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/drop_down_design.h"
#include "datecontrol/frm_calendar.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/date.h"
#include "tavo/host/value_conversions.h"
#include "tavo/qt/hosted_control.h"
#include "tavo/qt/qt_host.h"
#include "widgets/widgets_logging.h"

namespace tavo {

namespace {

// The instance name the control has for its messages.
constexpr const char* kName = "TavoCalendarDropDown1";

QDate toQDate(double serial) {
    const DateParts p = splitDate(serial);
    return QDate(p.year, p.month, p.day);
}

double serialOf(QDate date) {
    if (!date.isValid()) throwHostError(err::InvalidPropertyValue, "an invalid QDate names no day");
    return dateSerial(date.year(), date.month(), date.day());
}

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

PictureRef pictureOf(const QPixmap& pixmap) {
    if (pixmap.isNull()) return nullptr;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!pixmap.save(&buffer, "PNG")) throwHostError(err::InvalidPicture, "the pixmap cannot be written as PNG");
    return Picture::fromBytes(std::vector<uint8_t>(png.begin(), png.end()));
}

QImage comparable(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

// A property as the control has it, remembered so that a change is announced
// once, and only a change.
class Watch {
public:
    virtual ~Watch() = default;
    virtual void check() = 0;
};

template <class T>
class WatchOf : public Watch {
public:
    WatchOf(std::function<T()> read, std::function<void(const T&)> changed)
        : read_(std::move(read)), changed_(std::move(changed)), last_(read_()) {}
    void check() override {
        T now = read_();
        if (now == last_) return;
        last_ = now;
        changed_(now);
    }

private:
    std::function<T()> read_;
    std::function<void(const T&)> changed_;
    T last_;
};

enum ColourIndex { Back, Fore, TitleBack, TitleFore, TrailingFore, MonthBack, ColourCount };

struct ColourProperty {
    const char* property;
    const char* member;
    uint32_t (TavoCalendarDropDown::*read)() const;
    void (DateDropDown::*changed)(const QColor&);
};

const ColourProperty kColours[ColourCount] = {
    {"calendarBackColor", "CalendarBackColor", &TavoCalendarDropDown::CalendarBackColor,
     &DateDropDown::calendarBackColorChanged},
    {"calendarForeColor", "CalendarForeColor", &TavoCalendarDropDown::CalendarForeColor,
     &DateDropDown::calendarForeColorChanged},
    {"calendarTitleBackColor", "CalendarTitleBackColor", &TavoCalendarDropDown::CalendarTitleBackColor,
     &DateDropDown::calendarTitleBackColorChanged},
    {"calendarTitleForeColor", "CalendarTitleForeColor", &TavoCalendarDropDown::CalendarTitleForeColor,
     &DateDropDown::calendarTitleForeColorChanged},
    {"calendarTrailingForeColor", "CalendarTrailingForeColor", &TavoCalendarDropDown::CalendarTrailingForeColor,
     &DateDropDown::calendarTrailingForeColorChanged},
    {"calendarMonthBackColor", "CalendarMonthBackColor", &TavoCalendarDropDown::CalendarMonthBackColor,
     &DateDropDown::calendarMonthBackColorChanged},
};

}  // namespace

struct DateDropDown::Private {
    explicit Private(DateDropDown* owner);
    ~Private();
    // Starts watching the control; the widget's getters work from here on.
    void watchControl();

    // Runs a write of the control. Its notifications wait for the end; then
    // every property that changed announces itself once. A value the control
    // refuses is reported, and nothing changed.
    template <class Write>
    void write(const char* property, Write&& change);
    void refuse(const char* property, const QString& reason);
    // Writes `value` into the control's `member` when it is a change.
    void put(bool changed, const char* property, const char* member, const Variant& value) {
        if (changed) write(property, [&] { control->put(member, value); });
    }
    // Reads every property anew and emits the signal of each that changed.
    void announce(bool byUser);

    uint32_t colour(ColourIndex i) const { return (control.get()->*kColours[i].read)(); }
    QColor qColour(ColourIndex i) const { return toQColor(colour(i), q->palette()); }
    void setColour(ColourIndex i, const QColor& c);
    // A day picked in the shared popup is written into the control that
    // opened it while it is still up.
    bool picking() const;
    // The thread's calendar window when this control opened it last.
    std::shared_ptr<frmCalendar> openedPopup() const;
    // Closes the calendar window when this control opened it; `forget` also
    // drops the window's reference back to the control.
    void closePopup(bool forget);
    // Before a press on the drop button: the shared calendar window takes
    // the widget's locale.
    void lendLocale();
    // After the box has lost the keyboard and taken what was typed.
    void boxLeft();
    bool offerKey(const QKeyEvent& key);
    void fontChanged();
    void enabledChanged();
    void controlChanged(std::string_view property);
    QDateTimeEdit* edit() const;
    QSize designSize() const;

    template <class T, class Read, class Changed>
    void watch(Read read, Changed changed) {
        watches.push_back(std::make_unique<WatchOf<T>>(std::move(read), std::move(changed)));
    }

    DateDropDown* q;
    std::shared_ptr<QtHost> host;
    std::unique_ptr<HostedControl> hosted;
    std::shared_ptr<TavoCalendarDropDown> control;
    std::vector<std::unique_ptr<Watch>> watches;
    uint32_t initialColours[ColourCount] = {};
    int writing = 0;
    bool userChange = false;
    bool boxChanging = false;
    // A value on its way between the widget and the control, whose echo is not
    // sent back.
    bool syncingFont = false;
    bool syncingEnabled = false;
    Qt::FocusReason focusOutReason = Qt::OtherFocusReason;
    // A key of the box on its way through the widget (see offerKey).
    bool offeringKey = false;
    bool keyReachedWidget = false;
    // The connections and filters that call into this object; they go
    // before it does.
    std::unique_ptr<QObject> context = std::make_unique<QObject>();
    std::vector<QPointer<QObject>> hooks;
};

DateDropDown::Private::Private(DateDropDown* owner) : q(owner), host(QtHost::forThisThread()) {
    ComponentRegistry& registry = ComponentRegistry::global();
    if (!registry.typeInfo(TavoCalendarDropDown::kProgId)) registerTavoCalendar(registry);
    q->resize(designSize());
    hosted = std::make_unique<HostedControl>(*host, q, TavoCalendarDropDown::kProgId, kName, registry);
    control = std::dynamic_pointer_cast<TavoCalendarDropDown>(hosted->controlRef());
    if (!control)
        throwHostError(err::CantCreateObject,
                       std::string(TavoCalendarDropDown::kProgId) + " is registered as another class");

    // The widget's font and enabled state are the control's from the start.
    control->setFont(fontFromQFont(q->font()));
    if (!q->isEnabled()) control->setEnabled(false);
    for (int i = 0; i < ColourCount; ++i) initialColours[i] = colour(ColourIndex(i));
    if (QDateTimeEdit* e = edit()) {
        q->setFocusProxy(e);
        q->setFocusPolicy(e->focusPolicy());
        hooks.emplace_back(new EventHook(e, [this](QObject*, QEvent* ev) {
            if (ev->type() == QEvent::FocusOut) focusOutReason = static_cast<QFocusEvent*>(ev)->reason();
            return ev->type() == QEvent::KeyPress && offerKey(*static_cast<QKeyEvent*>(ev));
        }));
        QObject::connect(e, &QAbstractSpinBox::editingFinished, context.get(), [this] { boxLeft(); });
    }
    q->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    if (auto* button = dynamic_cast<QtPushButton*>(control->cmd().get()); button && button->widget())
        hooks.emplace_back(new EventHook(button->widget(), [this](QObject*, QEvent* e) {
            if (e->type() == QEvent::MouseButtonPress) lendLocale();
            return false;
        }));
}

// The box has the keyboard, not the widget, so Qt tells the box alone when
// the focus leaves. The widget tells of it too, as one widget would, once the
// box has taken what was typed: an item view's delegate then commits the
// date when the user moves on, as it does for a QDateEdit. Moving within the
// widget (into the box's own calendar, say) is no leaving, nor is the
// calendar window this widget dropped down taking the keyboard: the focus
// comes back to the box when that closes.
void DateDropDown::Private::boxLeft() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (w == q) return;
    if (picking()) return;
    QFocusEvent left(QEvent::FocusOut, focusOutReason);
    QCoreApplication::sendEvent(q, &left);
}

// Tab and Shift+Tab move through the box's sections, and the box takes them
// before the widget hears of them. A QDateEdit gets them itself, and so does
// whatever watches it: an item view's delegate takes them to commit the date
// and open the next item's editor. So the widget is offered them first; what
// nobody takes on the way goes on to the box. True when taken.
bool DateDropDown::Private::offerKey(const QKeyEvent& key) {
    if (offeringKey || (key.key() != Qt::Key_Tab && key.key() != Qt::Key_Backtab) ||
        (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    QKeyEvent offered(key.type(), key.key(), key.modifiers(), key.text(), key.isAutoRepeat(), key.count());
    const QPointer<QObject> stillHere = context.get();
    offeringKey = true;
    keyReachedWidget = false;
    QCoreApplication::sendEvent(q, &offered);
    if (!stillHere) return true;
    offeringKey = false;
    return !keyReachedWidget;
}

// The calendar window is the thread's, shared by every date widget, and set
// up anew from the control at each press. The widget's language is not the
// control's to hand on: a widget given a locale of its own (setLocale, or a
// parent's) shows the calendar's month and day names in it, as it shows its
// date, before the press sizes the calendar. A press on an open calendar
// closes it and needs none.
void DateDropDown::Private::lendLocale() {
    try {
        frmCalendar& frm = *host->defaultInstance<frmCalendar>(frmCalendar::kFormClass);
        if (frm.isLoaded() && frm.Visible()) return;
        frm.Load();
        auto* window = dynamic_cast<QtWindow*>(frm.window().get());
        if (!window || !window->widget()) return;
        if (q->locale() == QLocale()) window->widget()->unsetLocale();
        else window->widget()->setLocale(q->locale());
    } catch (const std::exception&) {
        // The press goes on as the control has it, in the application's language.
    }
}

void DateDropDown::Private::watchControl() {
    watch<QDate>([this] { return q->date(); },
                 [this](const QDate& v) {
                     QPointer<DateDropDown> alive(q);
                     emit q->dateChanged(v);
                     if (alive && userChange) emit q->dateEdited(v);
                 });
    watch<QDate>([this] { return q->minimumDate(); }, [this](const QDate& v) { emit q->minimumDateChanged(v); });
    watch<QDate>([this] { return q->maximumDate(); }, [this](const QDate& v) { emit q->maximumDateChanged(v); });
    watch<int>([this] { return int(control->Format()); }, [this](int v) { emit q->formatChanged(Format(v)); });
    watch<QString>([this] { return q->customFormat(); }, [this](const QString& v) { emit q->customFormatChanged(v); });
    for (int i = 0; i < ColourCount; ++i) {
        const auto index = ColourIndex(i);
        // The value itself, so that a system colour that becomes the same
        // colour fixed is a change too.
        watch<uint32_t>([this, index] { return colour(index); },
                        [this, index](uint32_t) {
                            // The signal taken out of the table first: g++ 12
                            // takes the table's member pointer, read in the
                            // call, for uninitialised.
                            const auto changed = kColours[index].changed;
                            emit(q->*changed)(qColour(index));
                        });
    }
    watch<int>([this] { return q->monthRows(); }, [this](int v) { emit q->monthRowsChanged(v); });
    watch<int>([this] { return q->monthColumns(); }, [this](int v) { emit q->monthColumnsChanged(v); });
    watch<bool>([this] { return q->upDown(); }, [this](bool v) { emit q->upDownChanged(v); });
    watch<bool>([this] { return q->canOpen(); }, [this](bool v) { emit q->canOpenChanged(v); });
    watch<bool>([this] { return q->showToday(); }, [this](bool v) { emit q->showTodayChanged(v); });
    watch<bool>([this] { return q->showWeek(); }, [this](bool v) { emit q->showWeekChanged(v); });
    watch<int>([this] { return int(control->PictureType()); },
               [this](int v) { emit q->pictureTypeChanged(PictureType(v)); });
    watch<PictureRef>([this] { return control->Picture(); },
                      [this](const PictureRef&) { emit q->pictureChanged(q->picture()); });

    ControlEvents events;
    events.change = [this] {
        if (!writing) announce(boxChanging || picking());
    };
    events.click = [this] { emit q->clicked(); };
    events.dblClick = [this] { emit q->doubleClicked(); };
    events.keyDown = [this](qint16& keyCode, qint16& shift) { emit q->keyDown(keyCode, shift); };
    events.keyUp = [this](qint16& keyCode, qint16& shift) { emit q->keyUp(keyCode, shift); };
    events.keyPress = [this](qint16& keyAscii) { emit q->keyPress(keyAscii); };
    hosted->onEvent = [events](std::string_view event, std::span<Variant> args) {
        relayEvent(event, args, events);
    };
    hosted->onPropertyChanged = [this](std::string_view property) { controlChanged(property); };
    // The date box reports only the user's edits; the control then raises Change.
    auto& box = control->cal();
    box->onChange = [this, relay = box->onChange] {
        QScopedValueRollback<bool> byUser(boxChanging, true);
        if (relay) relay();
    };
}

DateDropDown::Private::~Private() {
    context.reset();
    for (const QPointer<QObject>& hook : hooks) delete hook.data();
    // The thread's calendar window outlives the widget: it must not write a
    // picked day into a control whose widget is gone.
    closePopup(true);
    // The control goes before the site and the host it stands on.
    watches.clear();
    control.reset();
    hosted.reset();
}

template <class Write>
void DateDropDown::Private::write(const char* property, Write&& change) {
    QString refusal;
    bool refused = false;
    {
        QScopedValueRollback<int> inWrite(writing, writing + 1);
        try {
            change();
        } catch (const std::exception& e) {
            refused = true;
            refusal = QString::fromUtf8(e.what());
        }
    }
    QPointer<DateDropDown> alive(q);
    if (!writing) announce(false);
    if (refused && alive) refuse(property, refusal);
}

void DateDropDown::Private::refuse(const char* property, const QString& reason) {
    qCWarning(lcWidgets).noquote()
        << QStringLiteral("DateDropDown \"%1\" kept its %2: %3").arg(q->objectName(), QLatin1String(property), reason);
    emit q->valueRefused(QString::fromLatin1(property), reason);
}

void DateDropDown::Private::announce(bool byUser) {
    QScopedValueRollback<bool> user(userChange, byUser);
    QPointer<DateDropDown> alive(q);
    for (auto& w : watches) {
        w->check();
        if (!alive) return;
    }
}

bool DateDropDown::Private::picking() const {
    const auto popup = openedPopup();
    return popup && popup->Visible();
}

void DateDropDown::Private::closePopup(bool forget) {
    const auto popup = openedPopup();
    if (!popup) return;
    if (popup->isLoaded()) popup->tmr().setEnabled(false);
    popup->Unload();
    if (forget) popup->objBackReference.reset();
}

std::shared_ptr<frmCalendar> DateDropDown::Private::openedPopup() const {
    auto popup = std::dynamic_pointer_cast<frmCalendar>(host->findDefaultInstance(frmCalendar::kFormClass));
    const bool ours = popup && popup->objBackReference.get() == static_cast<Object*>(control.get());
    return ours ? popup : nullptr;
}

void DateDropDown::Private::controlChanged(std::string_view property) {
    // The widget's own font and enabled state follow a write by member name.
    if (ascii::equalsNoCase(property, "Font") && !syncingFont) {
        QScopedValueRollback<bool> syncing(syncingFont, true);
        q->setFont(toQFont(*control->Font()));
    } else if (ascii::equalsNoCase(property, "Enabled") && !syncingEnabled) {
        QScopedValueRollback<bool> syncing(syncingEnabled, true);
        q->setEnabled(control->Enabled());
    }
    if (!writing) announce(false);
}

void DateDropDown::Private::fontChanged() {
    if (!syncingFont) {
        QScopedValueRollback<bool> syncing(syncingFont, true);
        write("font", [this] { control->putRef("Font", Variant::object(fontFromQFont(q->font()))); });
    }
    emit q->fontChanged(q->font());
}

void DateDropDown::Private::enabledChanged() {
    if (!syncingEnabled && control->Enabled() != q->isEnabled()) {
        QScopedValueRollback<bool> syncing(syncingEnabled, true);
        write("enabled", [this] { control->put("Enabled", Variant::boolean(q->isEnabled())); });
    }
    // As Qt's own drop-downs do: a calendar left up would write its day into
    // a widget the user can no longer use.
    if (!q->isEnabled()) closePopup(false);
    emit q->enabledChanged(q->isEnabled());
}

void DateDropDown::Private::setColour(ColourIndex i, const QColor& c) {
    const ColourProperty& p = kColours[i];
    uint32_t wanted = initialColours[i];
    if (c.isValid()) {
        if (c.alpha() != 255) {
            refuse(p.property, QStringLiteral("%1 is translucent; the control draws opaque colours only")
                                   .arg(c.name(QColor::HexArgb)));
            return;
        }
        // The colour just read, written back: a system colour stays one.
        if (c.rgb() == qColour(i).rgb()) return;
        wanted = fromQColor(c);
    }
    if (wanted == colour(i)) return;
    write(p.property, [&] { control->put(p.member, colourValue(wanted)); });
}

QDateTimeEdit* DateDropDown::Private::edit() const {
    const auto* box = dynamic_cast<const QtDateBox*>(control->cal().get());
    return box ? box->edit() : nullptr;
}

QSize DateDropDown::Private::designSize() const {
    const ChildDesign cal = dropDownDesign::cal();
    return {host->toPixelsX(cal.width), host->toPixelsY(cal.height)};
}

// ---- DateDropDown ---------------------------------------------------------------

// Making the private part already sends the widget events (the control
// colours its surface): `d` must be null, not yet unmade, until it is there.
DateDropDown::DateDropDown(QWidget* parent) : QWidget(parent) {
    d = std::make_unique<Private>(this);
    d->watchControl();
}

DateDropDown::~DateDropDown() = default;

Control& DateDropDown::control() const { return *d->control; }

QDate DateDropDown::date() const {
    const Variant value = d->control->Value();
    return value.isEmpty() ? QDate() : toQDate(value.toDate());
}

void DateDropDown::setDate(QDate date) {
    if (date == this->date()) return;
    d->write("date", [&] {
        if (!date.isValid()) return d->control->put("Value", Variant());
        // The time of day the box holds stays.
        const Variant value = d->control->Value();
        DateParts p = value.isEmpty() ? DateParts{} : splitDate(value.toDate());
        p.year = date.year();
        p.month = date.month();
        p.day = date.day();
        d->control->put("Value", Variant::date(dateTimeSerial(p)));
    });
}

QDate DateDropDown::minimumDate() const { return toQDate(d->control->MinDate()); }

void DateDropDown::setMinimumDate(QDate date) {
    if (date == minimumDate()) return;
    d->write("minimumDate", [&] { d->control->put("MinDate", Variant::date(serialOf(date))); });
}

QDate DateDropDown::maximumDate() const { return toQDate(d->control->MaxDate()); }

void DateDropDown::setMaximumDate(QDate date) {
    if (date == maximumDate()) return;
    d->write("maximumDate", [&] { d->control->put("MaxDate", Variant::date(serialOf(date))); });
}

void DateDropDown::setDateRange(QDate minimum, QDate maximum) {
    if (minimum == minimumDate() && maximum == maximumDate()) return;
    if (minimum.isValid() && maximum.isValid() && minimum > maximum) {
        d->refuse("minimumDate", QStringLiteral("the range %1 .. %2 ends before it begins")
                                     .arg(minimum.toString(Qt::ISODate), maximum.toString(Qt::ISODate)));
        return;
    }
    d->write("minimumDate", [&] {
        const double lo = serialOf(minimum), hi = serialOf(maximum);
        // The control refuses a minimum after its present maximum, and the reverse.
        if (minimum > maximumDate()) {
            d->control->put("MaxDate", Variant::date(hi));
            d->control->put("MinDate", Variant::date(lo));
        } else {
            d->control->put("MinDate", Variant::date(lo));
            d->control->put("MaxDate", Variant::date(hi));
        }
    });
}

DateDropDown::Format DateDropDown::format() const { return Format(d->control->Format()); }

void DateDropDown::setFormat(Format format) {
    d->put(format != this->format(), "format", "Format", Variant::longValue(int32_t(format)));
}

QString DateDropDown::customFormat() const { return fromStd(d->control->CustomFormat()); }

void DateDropDown::setCustomFormat(const QString& format) {
    d->put(format != customFormat(), "customFormat", "CustomFormat", Variant::string(format.toStdString()));
}

QColor DateDropDown::calendarBackColor() const { return d->qColour(Back); }
void DateDropDown::setCalendarBackColor(const QColor& colour) { d->setColour(Back, colour); }
QColor DateDropDown::calendarForeColor() const { return d->qColour(Fore); }
void DateDropDown::setCalendarForeColor(const QColor& colour) { d->setColour(Fore, colour); }
QColor DateDropDown::calendarTitleBackColor() const { return d->qColour(TitleBack); }
void DateDropDown::setCalendarTitleBackColor(const QColor& colour) { d->setColour(TitleBack, colour); }
QColor DateDropDown::calendarTitleForeColor() const { return d->qColour(TitleFore); }
void DateDropDown::setCalendarTitleForeColor(const QColor& colour) { d->setColour(TitleFore, colour); }
QColor DateDropDown::calendarTrailingForeColor() const { return d->qColour(TrailingFore); }
void DateDropDown::setCalendarTrailingForeColor(const QColor& colour) { d->setColour(TrailingFore, colour); }
QColor DateDropDown::calendarMonthBackColor() const { return d->qColour(MonthBack); }
void DateDropDown::setCalendarMonthBackColor(const QColor& colour) { d->setColour(MonthBack, colour); }

int DateDropDown::monthRows() const { return d->control->MonthRows(); }

void DateDropDown::setMonthRows(int rows) {
    d->put(rows != monthRows(), "monthRows", "MonthRows", Variant::longValue(rows));
}

int DateDropDown::monthColumns() const { return d->control->MonthColumns(); }

void DateDropDown::setMonthColumns(int columns) {
    d->put(columns != monthColumns(), "monthColumns", "MonthColumns", Variant::longValue(columns));
}

bool DateDropDown::upDown() const { return d->control->UpDown(); }

void DateDropDown::setUpDown(bool upDown) {
    d->put(upDown != this->upDown(), "upDown", "UpDown", Variant::boolean(upDown));
}

bool DateDropDown::canOpen() const { return d->control->CanOpen(); }

void DateDropDown::setCanOpen(bool canOpen) {
    d->put(canOpen != this->canOpen(), "canOpen", "CanOpen", Variant::boolean(canOpen));
}

bool DateDropDown::showToday() const { return d->control->ShowToday(); }

void DateDropDown::setShowToday(bool show) {
    d->put(show != showToday(), "showToday", "ShowToday", Variant::boolean(show));
}

bool DateDropDown::showWeek() const { return d->control->ShowWeek(); }

void DateDropDown::setShowWeek(bool show) {
    d->put(show != showWeek(), "showWeek", "ShowWeek", Variant::boolean(show));
}

DateDropDown::PictureType DateDropDown::pictureType() const { return PictureType(d->control->PictureType()); }

void DateDropDown::setPictureType(PictureType type) {
    d->put(type != pictureType(), "pictureType", "PictureType", Variant::longValue(int32_t(type)));
}

QPixmap DateDropDown::picture() const {
    try {
        return QPixmap::fromImage(pictureImage(d->control->Picture()));
    } catch (const std::exception&) {
        return {};
    }
}

void DateDropDown::setPicture(const QPixmap& picture) {
    const QPixmap now = this->picture();
    if (picture.isNull() && now.isNull()) return;
    if (!picture.isNull() && !now.isNull() && comparable(picture.toImage()) == comparable(now.toImage())) return;
    d->write("picture", [&] { d->control->putRef("Picture", Variant::object(pictureOf(picture))); });
}

QSize DateDropDown::sizeHint() const {
    QDateTimeEdit* e = d->edit();
    if (!e) return d->designSize();
    return d->designSize().expandedTo(QSize(e->minimumSizeHint().width(), e->sizeHint().height()));
}

QSize DateDropDown::minimumSizeHint() const {
    QDateTimeEdit* e = d->edit();
    return e ? e->minimumSizeHint() : d->designSize();
}

// A key the box offered, that reached the widget untaken, goes back to the
// box; it is no key of the widget's own, nor of its parents.
bool DateDropDown::event(QEvent* event) {
    if (d && d->offeringKey && event->type() == QEvent::KeyPress) {
        d->keyReachedWidget = true;
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void DateDropDown::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (!d) return;  // still being made
    if (event->type() == QEvent::FontChange) d->fontChanged();
    else if (event->type() == QEvent::EnabledChange) d->enabledChanged();
}

// Hidden, with its window or on its own (its window minimised, a page of a
// stack turned), the widget closes the calendar it dropped down, as Qt's own
// drop-downs do.
void DateDropDown::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (d) d->closePopup(false);
}

}  // namespace tavo
