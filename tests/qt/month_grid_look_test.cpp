// How the month grid looks: colours that stay readable whatever it is given,
// whole borders at any pixel density, and its locale's words, digits, order
// and weeks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <array>

#include "backends/qt/month_grid_widget.h"
#include "backends/qt/qt_convert.h"
#include "tavo/host/colour.h"

namespace tavo {
namespace {

// The grid drawn into a picture of `scale` device pixels per pixel, as a
// window on such a screen draws it.
QImage drawnAt(MonthGridWidget& grid, qreal scale) {
    QImage image(QSize(qRound(grid.width() * scale), qRound(grid.height() * scale)), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::magenta);
    grid.render(&image);
    return image;
}

TEST(MonthGridLook, BordersStayWholeAtEveryPixelDensity) {
    for (qreal scale : {1.0, 1.25, 1.5, 2.0}) {
        for (int rows : {1, 2, 3}) {
            MonthGridWidget grid(nullptr);
            grid.setMonths(rows, 1);
            const QImage image = drawnAt(grid, scale);
            const QRgb border = grid.ink().border.rgb();
            int wrong = 0;
            for (int x = 0; x < image.width(); ++x)
                wrong += (image.pixel(x, 0) != border) + (image.pixel(x, image.height() - 1) != border);
            for (int y = 0; y < image.height(); ++y)
                wrong += (image.pixel(0, y) != border) + (image.pixel(image.width() - 1, y) != border);
            EXPECT_EQ(wrong, 0) << "scale " << scale << ", " << rows << " rows, " << image.width() << " x "
                                << image.height();
        }
    }
}

// ---- Colours ---------------------------------------------------------------

using Colours = std::array<uint32_t, 6>;  // back, fore, month back, title back, title fore, trailing fore

constexpr Colours kNewControl{vbWindowBackground, vbButtonText, vbWindowBackground,
                              vb3DHighlight,      vbButtonText, vbGrayText};
constexpr Colours kGridDesign{vbButtonFace, vbButtonText, vbWindowBackground, vbButtonShadow, vb3DHighlight, vbGrayText};

MonthGridLook lookOf(const Colours& c, const QPalette& p) {
    return {toQColor(c[0], p), toQColor(c[1], p), toQColor(c[2], p),
            toQColor(c[3], p), toQColor(c[4], p), toQColor(c[5], p)};
}

QPalette withRoles(QPalette p, QColor base, QColor text, QColor button, QColor dark, QColor grey, QColor light) {
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::Dark, dark);
    p.setColor(QPalette::Disabled, QPalette::Text, grey);
    p.setColor(QPalette::Light, light);
    return p;
}

struct Palettes {
    const char* name;
    QPalette palette;
};

std::vector<Palettes> palettes() {
    const QPalette fusion = QApplication::palette();
    return {
        {"the light Fusion palette", fusion},
        // A desktop's dark scheme as Qt's desktop themes read it: light is
        // darker than the base.
        {"a dark desktop palette",
         withRoles(fusion, QColor(0x23, 0x26, 0x29), QColor(0xef, 0xf0, 0xf1), QColor(0x31, 0x36, 0x3b),
                   QColor(0x62, 0x6c, 0x76), QColor(0x62, 0x6c, 0x76), QColor(0x18, 0x1b, 0x1d))},
        {"Qt's palette from a dark button colour", QPalette(QColor(53, 53, 53))},
        // An application's own dark palette that leaves Light white.
        {"dark roles over the light palette",
         withRoles(fusion, QColor(25, 25, 25), Qt::white, QColor(53, 53, 53), QColor(0x9f, 0x9f, 0x9f),
                   QColor(127, 127, 127), Qt::white)},
    };
}

TEST(MonthGridLook, EveryPartStandsOutFromWhatItIsDrawnOn) {
    const std::vector<std::pair<const char*, Colours>> colourSets{
        {"a new control's colours", kNewControl},
        {"the grid's own design colours", kGridDesign},
        {"one colour for everything", Colours{vbWindowBackground, vbWindowBackground, vbWindowBackground,
                                              vbWindowBackground, vbWindowBackground, vbWindowBackground}},
        {"black everywhere", Colours{}},
    };
    for (const auto& [paletteName, palette] : palettes()) {
        for (const auto& [setName, colours] : colourSets) {
            const MonthGridInk ink = inkFor(lookOf(colours, palette), palette.color(QPalette::Dark));
            const struct {
                const char* part;
                QColor drawn, on;
            } pairs[] = {
                {"border", ink.border, ink.back},
                {"month name", ink.title, ink.titleBack},
                {"weekday names", ink.heading, ink.monthBack},
                {"days", ink.day, ink.monthBack},
                {"days of other months", ink.otherDay, ink.monthBack},
                {"selected day's mark", ink.mark, ink.monthBack},
                {"selected day", ink.markDay, ink.mark},
                {"today's ring", ink.ring, ink.monthBack},
                {"today's ring on the mark", ink.ringOnMark, ink.mark},
            };
            for (const auto& p : pairs)
                EXPECT_GE(contrastRatio(p.drawn, p.on), kLeastContrast)
                    << p.part << " with " << setName << " in " << paletteName;
            if (colours[5] != colours[1]) {
                EXPECT_LT(contrastRatio(ink.otherDay, ink.monthBack), contrastRatio(ink.day, ink.monthBack))
                    << "days of other months look fainter with " << setName << " in " << paletteName;
            }
        }
    }
}

TEST(MonthGridLook, ColoursThatStandOutAreDrawnAsGiven) {
    const QColor navy(0, 0, 128), white(Qt::white), black(Qt::black), grey(128, 128, 128);
    const MonthGridInk ink = inkFor({white, black, white, navy, white, grey}, grey);
    EXPECT_EQ(ink.title, white);
    EXPECT_EQ(ink.heading, navy);
    EXPECT_EQ(ink.mark, navy);
    EXPECT_EQ(ink.markDay, white);
    EXPECT_EQ(ink.day, black);
    EXPECT_EQ(ink.otherDay, grey);
    EXPECT_EQ(ink.border, grey);
}

// Whether some pixel of the part differs from its background by at least
// the least contrast: the part can be read.
bool seen(const QImage& image, const QRect& part, const QColor& background) {
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            if (contrastRatio(image.pixelColor(x, y), background) >= kLeastContrast) return true;
    return false;
}

TEST(MonthGridLook, ANewControlsPopupShowsWeekdaysWeekNumbersAndTheSelectedDay) {
    for (const auto& [paletteName, palette] : palettes()) {
        MonthGridWidget grid(nullptr);
        grid.setPalette(palette);
        grid.setLook(lookOf(kNewControl, palette));
        grid.setShowWeekNumbers(true);
        grid.setToday(QDate(2024, 12, 20));
        grid.setValue(QDate(2024, 12, 5));
        const QImage image = drawnAt(grid, 1);
        const MonthGridLayout& at = grid.layout();
        const QColor monthBack = grid.ink().monthBack;
        for (int c = 0; c < 7; ++c) EXPECT_TRUE(seen(image, at.weekdayRect(0, c), monthBack)) << paletteName;
        for (int week = 0; week < 5; ++week)
            EXPECT_TRUE(seen(image, at.weekNumberRect(0, week), monthBack)) << paletteName;
        const QRect selected = grid.dayRect(QDate(2024, 12, 5));
        EXPECT_TRUE(seen(image, QRect(selected.center(), QSize(1, 1)), monthBack)) << "the mark in " << paletteName;
        EXPECT_TRUE(seen(image, selected.adjusted(2, 1, -2, -1), grid.ink().mark)) << "its number in " << paletteName;
    }
}

// ---- The locale --------------------------------------------------------------

struct LocaleCase {
    const char* locale;
    const char* todayLine;   // for 5 December 2024, as the date box writes a short date
    const char* title;       // December 2024
    Qt::DayOfWeek firstDay;
    int weekOfNewYear;       // the week that holds 1 January 2025
    int weekOf2December;     // the week that holds 2 December 2024
    bool rightToLeft;
};

class MonthGridLocaleTest : public ::testing::TestWithParam<LocaleCase> {};

QDate startOfWeek(QDate d, Qt::DayOfWeek first) { return d.addDays(-((d.dayOfWeek() - int(first) + 7) % 7)); }

TEST_P(MonthGridLocaleTest, WordsDigitsOrderAndWeeksAreTheLocales) {
    const LocaleCase& c = GetParam();
    const MonthGridLocale texts{QLocale(QString::fromLatin1(c.locale))};
    EXPECT_EQ(texts.todayLine(QDate(2024, 12, 5)), QString::fromUtf8(c.todayLine));
    EXPECT_EQ(texts.monthTitle(QDate(2024, 12, 1)), QString::fromUtf8(c.title));
    EXPECT_EQ(texts.firstDayOfWeek(), c.firstDay);
    EXPECT_EQ(texts.weekNumber(startOfWeek(QDate(2025, 1, 1), c.firstDay)), c.weekOfNewYear);
    EXPECT_EQ(texts.weekNumber(startOfWeek(QDate(2024, 12, 2), c.firstDay)), c.weekOf2December);
    EXPECT_EQ(texts.rightToLeft(), c.rightToLeft);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, MonthGridLocaleTest,
    ::testing::Values(
        // ISO weeks where weeks begin on Monday: 30 December 2024 starts week 1.
        LocaleCase{"de_DE", "Heute: 05.12.2024", "Dezember 2024", Qt::Monday, 1, 49, false},
        LocaleCase{"en_GB", "Today: 05/12/2024", "December 2024", Qt::Monday, 1, 49, false},
        LocaleCase{"fr_FR", "Aujourd’hui : 05/12/2024", "décembre 2024", Qt::Monday, 1, 49, false},
        LocaleCase{"ru_RU", "Сегодня: 05.12.2024", "декабрь 2024", Qt::Monday, 1, 49, false},
        LocaleCase{"hu_HU", "Ma: 2024. 12. 05.", "2024. december", Qt::Monday, 1, 49, false},
        // Weeks from Sunday: the week that holds 1 January is week 1, and
        // 1 December 2024 (a Sunday) starts week 49.
        LocaleCase{"en_US", "Today: 12/5/2024", "December 2024", Qt::Sunday, 1, 49, false},
        LocaleCase{"ja_JP", "今日：2024/12/05", "2024年12月", Qt::Sunday, 1, 49, false},
        LocaleCase{"he_IL", "היום: 5.12.2024", "דצמבר 2024", Qt::Sunday, 1, 49, true},
        // Arabic digits and weeks from Saturday.
        LocaleCase{"ar_EG", "اليوم: ٥\u200f/١٢\u200f/٢٠٢٤", "ديسمبر ٢٠٢٤", Qt::Saturday, 1, 49, true},
        // A language without words of its own says them in English.
        LocaleCase{"sw_KE", "Today: 05/12/2024", "Desemba 2024", Qt::Sunday, 1, 49, false}),
    [](const ::testing::TestParamInfo<LocaleCase>& param) { return std::string(param.param.locale); });

}  // namespace
}  // namespace tavo
