#pragma once
// DateDropDown: the drop-down date control as a Qt widget. A date box with a
// small button over its right end; the button drops down a month calendar of
// up to 3 x 3 months under the widget, and a day picked there becomes the
// date. The control behind it is the same TavoCalendarDropDown that form
// files and scripts drive; this class gives it Qt's types and habits.
//
// Errors: no setter throws. A value the control refuses leaves the old one,
// emits no change signal, and is reported by valueRefused() and a warning in
// the logging category "tavo.widgets".
//
// Colours: the calendar colours follow the system's colours until they are
// set. Reading such a colour gives the colour of the widget's palette that it
// follows now; writing back the colour just read changes nothing, so the
// colour keeps following the palette; an invalid QColor() returns a colour to
// the one it starts with. Colours are opaque: a translucent one is refused.
//
// Threads: GUI thread only. The first widget made on a thread makes that
// thread's host (unless the application made a tavo::QtHost before) and
// registers the date control's class.
#include <QColor>
#include <QDate>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <memory>

#include "tavo/widgets/widgets_export.h"

namespace tavo {

class Control;

class TAVO_WIDGETS_EXPORT DateDropDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QDate date READ date WRITE setDate NOTIFY dateChanged USER true)
    Q_PROPERTY(QDate minimumDate READ minimumDate WRITE setMinimumDate NOTIFY minimumDateChanged)
    Q_PROPERTY(QDate maximumDate READ maximumDate WRITE setMaximumDate NOTIFY maximumDateChanged)
    Q_PROPERTY(Format format READ format WRITE setFormat NOTIFY formatChanged)
    Q_PROPERTY(QString customFormat READ customFormat WRITE setCustomFormat NOTIFY customFormatChanged)
    Q_PROPERTY(QColor calendarBackColor READ calendarBackColor WRITE setCalendarBackColor
                   NOTIFY calendarBackColorChanged)
    Q_PROPERTY(QColor calendarForeColor READ calendarForeColor WRITE setCalendarForeColor
                   NOTIFY calendarForeColorChanged)
    Q_PROPERTY(QColor calendarTitleBackColor READ calendarTitleBackColor WRITE setCalendarTitleBackColor
                   NOTIFY calendarTitleBackColorChanged)
    Q_PROPERTY(QColor calendarTitleForeColor READ calendarTitleForeColor WRITE setCalendarTitleForeColor
                   NOTIFY calendarTitleForeColorChanged)
    Q_PROPERTY(QColor calendarTrailingForeColor READ calendarTrailingForeColor WRITE setCalendarTrailingForeColor
                   NOTIFY calendarTrailingForeColorChanged)
    Q_PROPERTY(QColor calendarMonthBackColor READ calendarMonthBackColor WRITE setCalendarMonthBackColor
                   NOTIFY calendarMonthBackColorChanged)
    Q_PROPERTY(int monthRows READ monthRows WRITE setMonthRows NOTIFY monthRowsChanged)
    Q_PROPERTY(int monthColumns READ monthColumns WRITE setMonthColumns NOTIFY monthColumnsChanged)
    Q_PROPERTY(bool upDown READ upDown WRITE setUpDown NOTIFY upDownChanged)
    Q_PROPERTY(bool canOpen READ canOpen WRITE setCanOpen NOTIFY canOpenChanged)
    Q_PROPERTY(bool showToday READ showToday WRITE setShowToday NOTIFY showTodayChanged)
    Q_PROPERTY(bool showWeek READ showWeek WRITE setShowWeek NOTIFY showWeekChanged)
    Q_PROPERTY(PictureType pictureType READ pictureType WRITE setPictureType NOTIFY pictureTypeChanged)
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture NOTIFY pictureChanged)
    // QWidget's own font and enabled state, with change signals: they are the
    // control's Font and Enabled.
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)

public:
    // How the date box shows its value.
    enum Format { LongDate, ShortDate, Time, Custom };
    Q_ENUM(Format)
    // What the drop-down button shows.
    enum PictureType { OwnPicture, DropDownArrow, CalendarPicture };
    Q_ENUM(PictureType)

    explicit DateDropDown(QWidget* parent = nullptr);
    ~DateDropDown() override;

    // The date shown; an invalid QDate while the box holds none. Starts as
    // 21 August 2000. A date outside the range is refused.
    QDate date() const;
    void setDate(QDate date);

    // The earliest and latest date the box takes, 1 January 1601 to
    // 31 December 9999 at most; a date outside the range moves into it.
    // A minimum after the maximum (or the reverse) is refused.
    QDate minimumDate() const;
    void setMinimumDate(QDate date);
    QDate maximumDate() const;
    void setMaximumDate(QDate date);
    // Both at once, in whichever order the control takes them.
    void setDateRange(QDate minimum, QDate maximum);

    // ShortDate to start with. A value outside the enum is refused.
    Format format() const;
    void setFormat(Format format);
    // The pattern the Custom format shows: d, dd, ddd, dddd, M .. MMMM, y .. yyyy,
    // h, hh, H, HH, m, mm, s, ss, t, tt, text in single quotes.
    QString customFormat() const;
    void setCustomFormat(const QString& format);

    // The drop-down calendar's colours (see the top of this file).
    QColor calendarBackColor() const;
    void setCalendarBackColor(const QColor& colour);
    QColor calendarForeColor() const;
    void setCalendarForeColor(const QColor& colour);
    QColor calendarTitleBackColor() const;
    void setCalendarTitleBackColor(const QColor& colour);
    QColor calendarTitleForeColor() const;
    void setCalendarTitleForeColor(const QColor& colour);
    QColor calendarTrailingForeColor() const;
    void setCalendarTrailingForeColor(const QColor& colour);
    // A setting kept with the control and saved with it; the calendar does
    // not show it. Starts black.
    QColor calendarMonthBackColor() const;
    void setCalendarMonthBackColor(const QColor& colour);

    // Months one below the other (3 to start with) and side by side (1) in
    // the drop-down calendar, 1 to 3 each; any other number becomes 3 rows or
    // 1 column, as the control corrects it.
    int monthRows() const;
    void setMonthRows(int rows);
    int monthColumns() const;
    void setMonthColumns(int columns);

    // Arrows that step the date instead of the date box's own calendar.
    bool upDown() const;
    void setUpDown(bool upDown);
    // Whether the button may open the calendar.
    bool canOpen() const;
    void setCanOpen(bool canOpen);
    // The calendar's line with today's date, and its week numbers.
    bool showToday() const;
    void setShowToday(bool show);
    bool showWeek() const;
    void setShowWeek(bool show);

    // CalendarPicture to start with; OwnPicture shows picture(). Any other
    // number becomes CalendarPicture, as the control corrects it.
    PictureType pictureType() const;
    void setPictureType(PictureType type);
    // The button's own picture; a null pixmap for none.
    QPixmap picture() const;
    void setPicture(const QPixmap& picture);

    // The control behind the widget, by member name, for form files and
    // scripts: get, put, call, ReadProperties, WriteProperties. Its errors
    // are tavo::HostError exceptions; a property written through it emits the
    // typed change signals as well.
    Control& control() const;

    // The control's design size, 3015 x 330 twips, at the screen's density,
    // and at least as high as the date box needs for its font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The date changed, by code, by the user in the box or by a pick in the
    // drop-down calendar.
    void dateChanged(QDate date);
    // The user changed the date: typed or stepped it in the box, or picked a
    // day in a calendar. Follows dateChanged; code's changes do not emit it.
    void dateEdited(QDate date);
    void minimumDateChanged(QDate date);
    void maximumDateChanged(QDate date);
    void formatChanged(tavo::DateDropDown::Format format);
    void customFormatChanged(const QString& format);
    void calendarBackColorChanged(const QColor& colour);
    void calendarForeColorChanged(const QColor& colour);
    void calendarTitleBackColorChanged(const QColor& colour);
    void calendarTitleForeColorChanged(const QColor& colour);
    void calendarTrailingForeColorChanged(const QColor& colour);
    void calendarMonthBackColorChanged(const QColor& colour);
    void monthRowsChanged(int rows);
    void monthColumnsChanged(int columns);
    void upDownChanged(bool upDown);
    void canOpenChanged(bool canOpen);
    void showTodayChanged(bool show);
    void showWeekChanged(bool show);
    void pictureTypeChanged(tavo::DateDropDown::PictureType type);
    void pictureChanged(const QPixmap& picture);
    void fontChanged(const QFont& font);
    void enabledChanged(bool enabled);

    // A value was refused and the old one kept: the property's name and why.
    void valueRefused(const QString& property, const QString& reason);

    // The mouse and the keyboard in the date box. The key codes are the
    // platform's (65 'A', 13 Enter, 27 Escape, 37..40 arrows, 112 F1; shift 1,
    // Ctrl 2, Alt 4), and a slot may change them or set them to 0 to swallow
    // the key; connect directly (the default) for that.
    void clicked();
    void doubleClicked();
    void keyDown(qint16& keyCode, qint16& shift);
    void keyPress(qint16& keyAscii);
    void keyUp(qint16& keyCode, qint16& shift);

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace tavo
