#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <array>
#include <utility>
#include <vector>

#include "backends/qt/date_format.h"
#include "backends/qt/month_grid_look.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_window.h"
#include "qt_test_support.h"
#include "support/dates.h"
#include "tavo/host/colour.h"
#include "tavo/host/error.h"

namespace tavo {
namespace {

TEST(DateFormat, CustomLettersMapToQtsFormat) {
    EXPECT_EQ(qtCustomFormat("dd.MM.yyyy"), "dd'.'MM'.'yyyy");
    EXPECT_EQ(qtCustomFormat("dddd, d. MMMM yy"), "dddd', 'd'. 'MMMM' 'yy");
    EXPECT_EQ(qtCustomFormat("ddddd MMMMM"), "dddd' 'MMMM");
    EXPECT_EQ(qtCustomFormat("y yyy"), "yy' 'yyyy");
    EXPECT_EQ(qtCustomFormat("hh:mm:ss tt"), "hh':'mm':'ss' 'AP");
    EXPECT_EQ(qtCustomFormat("H:m:s t"), "H':'m':'s' 'A");
    // Quoted text stays text, '' inside it is one quote, other letters are text too.
    EXPECT_EQ(qtCustomFormat("'Tag' d"), "'Tag 'd");
    EXPECT_EQ(qtCustomFormat("'o''clock' H"), "'o''clock 'H");
    EXPECT_EQ(qtCustomFormat("KW d"), "'KW 'd");
    EXPECT_EQ(qtCustomFormat("'open"), "'open'");
}

TEST(DateFormat, StandardFormatsComeFromTheLocaleWithFourDigitYearsAndNoTimeZone) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(qtDisplayFormat(0, "", german), german.dateFormat(QLocale::LongFormat));
    EXPECT_TRUE(qtDisplayFormat(1, "", german).contains("yyyy"));
    EXPECT_FALSE(qtDisplayFormat(2, "", german).contains('t'));
    EXPECT_EQ(qtDisplayFormat(3, "", german), qtDisplayFormat(1, "", german));
    EXPECT_EQ(qtDisplayFormat(3, "d", german), "d");
}

class QtDateBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        WindowDesign d;
        d.name = "Form1";
        d.keyPreview = true;
        d.clientWidth = 4000;
        d.clientHeight = 1000;
        form = std::static_pointer_cast<QtWindow>(host.createWindow(d));
        ChildDesign c;
        c.name = "cal";
        c.width = 2400;
        c.height = 315;
        box = std::static_pointer_cast<QtDateBox>(form->addComponent("MSComCtl2.DTPicker", c));
    }

    QtHost host;
    std::shared_ptr<QtWindow> form;
    std::shared_ptr<QtDateBox> box;
};

TEST_F(QtDateBoxTest, ShowsItsFormatsAndAnEmptyValueAsBlank) {
    EXPECT_EQ(box->value().toDate(), k21Aug2000);
    box->setFormat(3);
    box->setCustomFormat("dd.MM.yyyy");
    EXPECT_EQ(box->text(), "21.08.2000");
    box->setCustomFormat("'Tag' d");
    EXPECT_EQ(box->text(), "Tag 21");
    box->setValue(Variant());
    EXPECT_TRUE(box->value().isEmpty());
    EXPECT_EQ(box->text(), "");
    box->setValue(Variant::date(k21Aug2000 + 1.5));  // the time of day is kept
    EXPECT_EQ(box->value().toDate(), k21Aug2000 + 1.5);
    EXPECT_EQ(box->edit()->time(), QTime(12, 0));
}

TEST_F(QtDateBoxTest, RangeAndFormatRulesAnswer380AndLoseNothing) {
    EXPECT_EQ(errorNumberOf([&] { box->setFormat(4); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setFormat(-1); }), err::InvalidPropertyValue);
    EXPECT_EQ(box->format(), 1);
    EXPECT_EQ(errorNumberOf([&] { box->setMinDate(k1Jan1601 - 1); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setMaxDate(k31Dec9999 + 1); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setMinDate(k1Jan1601); }), 0);
    EXPECT_EQ(errorNumberOf([&] { box->setMaxDate(k31Dec9999 + 0.5); }), 0);  // a time on the last day

    box->setMinDate(k21Aug2000 - 10);
    box->setMaxDate(k21Aug2000 + 10);
    EXPECT_EQ(errorNumberOf([&] { box->setValue(Variant::date(k21Aug2000 + 11)); }), err::InvalidPropertyValue);
    EXPECT_EQ(box->value().toDate(), k21Aug2000);
    EXPECT_EQ(errorNumberOf([&] { box->setMinDate(k21Aug2000 + 11); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { box->setValue(Variant::string("kein Datum")); }), err::TypeMismatch);
    // A narrower range takes the value with it.
    box->setMaxDate(k21Aug2000 - 5);
    EXPECT_EQ(box->value().toDate(), k21Aug2000 - 5);
    EXPECT_EQ(box->edit()->date(), QDate(2000, 8, 16));
}

TEST_F(QtDateBoxTest, OnlyTheUsersEditsRaiseChange) {
    int changes = 0;
    box->onChange = [&] { ++changes; };
    box->setValue(Variant::date(k21Aug2000 + 1));
    box->setMinDate(k21Aug2000);
    box->setFormat(0);
    EXPECT_EQ(changes, 0);

    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(box->edit(), &up);
    EXPECT_EQ(changes, 1);
    EXPECT_NE(box->value().toDate(), k21Aug2000 + 1);

    box->setValue(Variant());  // from blank, the user's first pick is a change too
    QApplication::sendEvent(box->edit(), &up);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(box->value().isEmpty());
}

TEST_F(QtDateBoxTest, KeyEventsComeInTheHostsOrderAndHandlersCanChangeOrSwallowKeys) {
    std::vector<std::string> seen;
    box->onKeyDown = [&](int16_t& code, int16_t&) {
        seen.push_back("down " + std::to_string(code));
        if (code == 38) code = 40;  // Up becomes Down
    };
    form->onKeyPress = [&](int16_t& ascii) { seen.push_back("preview " + std::to_string(ascii)); };
    box->onKeyPress = [&](int16_t& ascii) {
        seen.push_back("press " + std::to_string(ascii));
        if (ascii == '5') ascii = 0;
    };
    box->onKeyUp = [&](int16_t& code, int16_t&) { seen.push_back("up " + std::to_string(code)); };
    form->show();
    pump();
    box->setFocus();
    box->setFormat(3);
    box->setCustomFormat("dd.MM.yyyy");

    typeKey(Qt::Key_5, "5");
    EXPECT_EQ(seen, (std::vector<std::string>{"down 53", "preview 53", "press 53", "up 53"}));
    EXPECT_EQ(box->text(), "21.08.2000");  // swallowed

    seen.clear();
    typeKey(Qt::Key_Up);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 38", "up 38"}));
    EXPECT_EQ(box->edit()->date(), QDate(2000, 8, 20));  // the box received Down
}

TEST_F(QtDateBoxTest, ItsOwnCalendarRaisesDropDownInItsColours) {
    int dropDowns = 0;
    box->onDropDown = [&] { ++dropDowns; };
    box->setCalendarBackColor(0x00FFFF00u);
    box->setCalendarTrailingForeColor(0x000000FFu);
    form->show();
    pump();
    QDateTimeEdit* e = box->edit();
    click(e, {e->width() - 4, e->height() / 2});
    pump();
    EXPECT_EQ(dropDowns, 1);
    QCalendarWidget* cal = e->calendarWidget();
    EXPECT_TRUE(cal->isVisible());
    EXPECT_EQ(cal->palette().color(QPalette::Base), QColor(0, 255, 255));
    EXPECT_EQ(cal->palette().color(QPalette::Disabled, QPalette::Text), QColor(255, 0, 0));
    host.sendKeys("{ESC}");
    pump();
    EXPECT_FALSE(cal->isVisible());

    box->setUpDown(true);  // spin arrows: no calendar to drop down
    click(e, {e->width() - 4, e->height() / 2});
    pump();
    EXPECT_EQ(dropDowns, 1);
}

// Whatever the palette, each part of the calendar stands out from what it is
// drawn on, with a new control's colours and with one colour for everything.
TEST_F(QtDateBoxTest, ItsOwnCalendarStaysReadableInEveryPalette) {
    const QPalette fusion = QApplication::palette();
    // An application's dark roles over the light palette: Light, which the
    // title band takes by default, and the weekday names' AlternateBase stay light.
    QPalette darkOverLight = fusion;
    for (const auto& [role, colour] : {std::pair{QPalette::Window, QColor(40, 40, 40)},
                                       {QPalette::WindowText, QColor(Qt::white)},
                                       {QPalette::Base, QColor(25, 25, 25)},
                                       {QPalette::Text, QColor(Qt::white)},
                                       {QPalette::Button, QColor(53, 53, 53)},
                                       {QPalette::ButtonText, QColor(Qt::white)}})
        darkOverLight.setColor(role, colour);
    const std::pair<const char*, QPalette> palettes[] = {
        {"the light Fusion palette", fusion},
        {"Qt's palette from a dark button colour", QPalette(QColor(53, 53, 53))},
        {"dark roles over the light palette", darkOverLight},
    };
    using Colours = std::array<uint32_t, 5>;  // back, fore, title back, title fore, trailing fore
    const std::pair<const char*, Colours> colourSets[] = {
        {"a new control's colours", {vbWindowBackground, vbButtonText, vb3DHighlight, vbButtonText, vbGrayText}},
        {"one colour for everything",
         {vbWindowBackground, vbWindowBackground, vbWindowBackground, vbWindowBackground, vbWindowBackground}},
    };
    struct RestorePalette {
        QPalette saved = QApplication::palette();
        ~RestorePalette() { QApplication::setPalette(saved); }
    } restore;

    const auto expectReadable = [](QCalendarWidget* cal, const std::string& where) {
        const QPalette p = cal->palette();
        const QPalette bar = cal->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"))->palette();
        const struct {
            const char* part;
            QColor drawn, on;
        } pairs[] = {
            {"month name", bar.color(QPalette::ButtonText), bar.color(QPalette::Window)},
            {"weekday names", p.color(QPalette::Text), p.color(QPalette::AlternateBase)},
            {"days", p.color(QPalette::Text), p.color(QPalette::Base)},
            {"days of other months", p.color(QPalette::Disabled, QPalette::Text), p.color(QPalette::Base)},
            {"selected day", p.color(QPalette::HighlightedText), p.color(QPalette::Highlight)},
        };
        for (const auto& pair : pairs)
            EXPECT_GE(contrastRatio(pair.drawn, pair.on), kLeastContrast) << pair.part << " with " << where;
    };

    const auto setColours = [this](const Colours& c) {
        box->setCalendarBackColor(c[0]);
        box->setCalendarForeColor(c[1]);
        box->setCalendarTitleBackColor(c[2]);
        box->setCalendarTitleForeColor(c[3]);
        box->setCalendarTrailingForeColor(c[4]);
    };

    form->show();
    pump();
    QDateTimeEdit* e = box->edit();
    for (const auto& [paletteName, palette] : palettes) {
        QApplication::setPalette(palette);
        for (const auto& [setName, c] : colourSets) {
            setColours(c);
            click(e, {e->width() - 4, e->height() / 2});
            pump();
            QCalendarWidget* cal = e->calendarWidget();
            ASSERT_TRUE(cal->isVisible()) << setName << " in " << paletteName;
            expectReadable(cal, std::string(setName) + " in " + paletteName);
            host.sendKeys("{ESC}");
            pump();
        }
    }

    // Open in the light palette, the application switches to a dark one:
    // the calendar follows it, and stays readable.
    setColours(colourSets[0].second);
    QApplication::setPalette(fusion);
    click(e, {e->width() - 4, e->height() / 2});
    pump();
    QApplication::setPalette(darkOverLight);
    pump();
    EXPECT_EQ(e->calendarWidget()->palette().color(QPalette::Base), darkOverLight.color(QPalette::Base));
    expectReadable(e->calendarWidget(), "a new control's colours, switched to dark roles while open");
    host.sendKeys("{ESC}");
    pump();
}

}  // namespace
}  // namespace tavo
