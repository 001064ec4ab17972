#pragma once
// The date box on Qt: a QDateTimeEdit with its own calendar popup (or spin
// arrows in up-down mode), which F4 and Alt+Down open as well as its arrow.
// Empty shows as blank text until the user picks a date. Only the user's
// edits raise Change; puts from code raise none.
#include <QDateTimeEdit>
#include <QPointer>
#include <optional>
#include <vector>

#include "backends/qt/key_router.h"
#include "backends/qt/qt_child.h"
#include "tavo/components/date_components.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL QtDateBox : public QtChild<DateBox>, public KeySink {
public:
    QtDateBox(const ChildDesign& d, QtHost& host, QWidget* parent);
    ~QtDateBox() override;

    Variant value() const override;
    void setValue(const Variant& v) override;
    double minDate() const override { return min_; }
    void setMinDate(double d) override;
    double maxDate() const override { return max_; }
    void setMaxDate(double d) override;
    int32_t format() const override { return format_; }
    void setFormat(int32_t f) override;
    std::string customFormat() const override { return customFormat_; }
    void setCustomFormat(const std::string& f) override;
    bool upDown() const override { return upDown_; }
    void setUpDown(bool u) override;
    uint32_t calendarBackColor() const override { return colours_[Back]; }
    void setCalendarBackColor(uint32_t c) override { setColour(Back, c); }
    uint32_t calendarForeColor() const override { return colours_[Fore]; }
    void setCalendarForeColor(uint32_t c) override { setColour(Fore, c); }
    uint32_t calendarTitleBackColor() const override { return colours_[TitleBack]; }
    void setCalendarTitleBackColor(uint32_t c) override { setColour(TitleBack, c); }
    uint32_t calendarTitleForeColor() const override { return colours_[TitleFore]; }
    void setCalendarTitleForeColor(uint32_t c) override { setColour(TitleFore, c); }
    uint32_t calendarTrailingForeColor() const override { return colours_[TrailingFore]; }
    void setCalendarTrailingForeColor(uint32_t c) override { setColour(TrailingFore, c); }
    FontRef font() const override { return font_; }
    void setFont(FontRef f) override;

    QDateTimeEdit* edit() const { return static_cast<QDateTimeEdit*>(widget_.data()); }
    // The text the box shows ("" while it holds no date).
    QString text() const;

    void keyDown(int16_t& keyCode, int16_t& shift) override;
    void keyPress(int16_t& keyAscii) override;
    void keyUp(int16_t& keyCode, int16_t& shift) override;

private:
    enum ColourRole { Back, Fore, TitleBack, TitleFore, TrailingFore, ColourCount };
    void setColour(ColourRole role, uint32_t c);
    void watchEdit();
    void calendarShown(QWidget* popup);
    void styleCalendar();
    void showValue();
    void leaveEmpty();
    void userChanged(const QDateTime& dt);

    std::optional<double> value_;
    double min_, max_;
    int32_t format_ = 1;
    std::string customFormat_;
    bool upDown_ = false;
    uint32_t colours_[ColourCount];
    FontRef font_;
    bool showingEmpty_ = false;
    int settingFromCode_ = 0;
    // Filters that call back into this box; they go with it.
    std::vector<QPointer<QObject>> hooks_;
};

}  // namespace tavo
