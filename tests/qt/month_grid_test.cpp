#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLocale>
#include <vector>

#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_window.h"
#include "host/date.h"
#include "host/error.h"
#include "qt_test_support.h"

namespace tavo {
namespace {

using namespace qttest;

constexpr double k21Aug2000 = 36759;

// The size model, worked out independently of the widget.
QSize expectedSize(const Font& font, int rows, int columns, bool weekNumbers, bool today) {
    const QFontMetrics fm(toQFont(font));
    const int h = fm.height();
    int widest = 0;
    for (int d = 1; d <= 7; ++d) widest = std::max(widest, fm.horizontalAdvance(QLocale().dayName(d, QLocale::ShortFormat)));
    const int w = std::max(widest + 2, 2 * fm.horizontalAdvance("00") + 4);
    const int monthW = w * (weekNumbers ? 8 : 7), monthH = (3 * h + 1) / 2 + 7 * h;
    return {columns * monthW + (columns - 1) * 6 + 2, rows * monthH + (rows - 1) * 6 + (today ? h : 0) + 2};
}

class QtMonthGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        WindowDesign d;
        d.name = "frmCalendar";
        d.border = false;
        d.showInTaskbar = false;
        d.clientWidth = 6000;
        d.clientHeight = 3000;
        host.setToday(k21Aug2000);
        popup = std::static_pointer_cast<QtWindow>(host.createWindow(d));
        ChildDesign c;
        c.name = "cal";
        c.width = 2565;
        c.height = 6600;
        grid = std::static_pointer_cast<QtMonthGrid>(popup->addComponent("MSComCtl2.MonthView", c));
        grid->onDateClick = [&](double day) { clicked.push_back(day); };
    }
    MonthGridWidget& widget() { return *grid->grid(); }
    QPoint dayAt(int y, int m, int d) { return widget().dayRect(QDate(y, m, d)).center(); }

    QtHost host;
    std::shared_ptr<QtWindow> popup;
    std::shared_ptr<QtMonthGrid> grid;
    std::vector<double> clicked;
};

TEST_F(QtMonthGridTest, SizeFollowsMonthsWeekNumbersTodayLineAndFontAtOnce) {
    Font font = *grid->font();
    auto check = [&](int rows, int cols, bool weeks, bool today) {
        const QSize px = expectedSize(font, rows, cols, weeks, today);
        EXPECT_FLOAT_EQ(grid->width(), px.width() * 15.0f) << rows << "x" << cols;
        EXPECT_FLOAT_EQ(grid->height(), px.height() * 15.0f) << rows << "x" << cols;
        EXPECT_EQ(widget().size(), px);
    };
    check(1, 1, false, true);
    grid->setMonthColumns(3);
    grid->setMonthRows(2);
    check(2, 3, false, true);
    grid->setShowWeekNumbers(true);
    check(2, 3, true, true);
    grid->setShowToday(false);
    check(2, 3, true, false);

    auto big = std::make_shared<Font>("DejaVu Sans", 14, true);
    const float before = grid->height();
    grid->setFont(big);
    font = *big;
    check(2, 3, true, false);
    EXPECT_GT(grid->height(), before);
    grid->setWidth(1);  // the grid keeps the size its months need
    check(2, 3, true, false);
}

TEST_F(QtMonthGridTest, MonthsAndRangeRulesAnswer380AndLoseNothing) {
    EXPECT_EQ(errorOf([&] { grid->setMonthRows(0); }), err::InvalidPropertyValue);
    grid->setMonthRows(4);
    grid->setMonthColumns(3);
    EXPECT_EQ(errorOf([&] { grid->setMonthColumns(4); }), err::InvalidPropertyValue);  // 16 months
    EXPECT_EQ(grid->monthColumns(), 3);
    EXPECT_EQ(errorOf([&] { grid->setMinDate(dateSerial(1752, 12, 31)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { grid->setMinDate(dateSerial(1753, 1, 1)); }), 0);
    grid->setMaxDate(k21Aug2000 + 5);
    EXPECT_EQ(errorOf([&] { grid->setValue(k21Aug2000 + 6); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorOf([&] { grid->setMinDate(k21Aug2000 + 6); }), err::InvalidPropertyValue);
    EXPECT_EQ(grid->value(), k21Aug2000);
}

TEST_F(QtMonthGridTest, ClickOnADayOfTheRangeRaisesDateClick) {
    grid->setMinDate(dateSerial(2000, 8, 10));
    popup->show();
    pump();
    click(&widget(), dayAt(2000, 8, 25));
    EXPECT_EQ(clicked, std::vector<double>{dateSerial(2000, 8, 25)});
    EXPECT_EQ(grid->value(), dateSerial(2000, 8, 25));
    click(&widget(), dayAt(2000, 8, 5));  // before MinDate
    press(&widget(), dayAt(2000, 8, 26));
    release(&widget(), dayAt(2000, 8, 27));  // released on another day
    EXPECT_EQ(clicked.size(), 1u);
    click(&widget(), widget().todayRect().center());
    EXPECT_EQ(clicked.back(), k21Aug2000);
}

TEST_F(QtMonthGridTest, ArrowsAndKeysMoveThroughTheMonthsWithinTheRange) {
    grid->setMonthColumns(2);
    popup->show();
    pump();
    EXPECT_EQ(widget().firstMonth(), QDate(2000, 8, 1));
    click(&widget(), widget().nextArrowRect().center());
    EXPECT_EQ(widget().firstMonth(), QDate(2000, 10, 1));
    click(&widget(), widget().previousArrowRect().center());
    click(&widget(), widget().previousArrowRect().center());
    EXPECT_EQ(widget().firstMonth(), QDate(2000, 6, 1));

    grid->setFocus();
    typeKey(Qt::Key_Right);
    EXPECT_EQ(grid->value(), k21Aug2000 + 1);
    typeKey(Qt::Key_PageDown);
    typeKey(Qt::Key_End);
    EXPECT_EQ(widget().value(), QDate(2000, 9, 30));
    EXPECT_TRUE(clicked.empty());
    typeKey(Qt::Key_Return, "\r");
    EXPECT_EQ(clicked, std::vector<double>{dateSerial(2000, 9, 30)});

    grid->setMaxDate(dateSerial(2000, 10, 2));
    grid->setValue(dateSerial(2000, 10, 1));
    typeKey(Qt::Key_Down);
    EXPECT_EQ(widget().value(), QDate(2000, 10, 2));  // held at MaxDate
}

}  // namespace
}  // namespace tavo
