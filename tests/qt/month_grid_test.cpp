#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetrics>
#include <QLocale>
#include <vector>

#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/frm_calendar.h"
#include "qt_test_support.h"
#include "support/dates.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/date.h"
#include "tavo/host/error.h"
#include "tavo/host/form.h"

namespace tavo {
namespace {

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
        d.caption = "Form1";
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
    static double serial(QDate d) { return dateSerial(d.year(), d.month(), d.day()); }

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
    EXPECT_EQ(errorNumberOf([&] { grid->setMonthRows(0); }), err::InvalidPropertyValue);
    grid->setMonthRows(4);
    grid->setMonthColumns(3);
    EXPECT_EQ(errorNumberOf([&] { grid->setMonthColumns(4); }), err::InvalidPropertyValue);  // 16 months
    EXPECT_EQ(grid->monthColumns(), 3);
    EXPECT_EQ(errorNumberOf([&] { grid->setMinDate(dateSerial(1752, 12, 31)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { grid->setMinDate(dateSerial(1753, 1, 1)); }), 0);
    grid->setMaxDate(k21Aug2000 + 5);
    EXPECT_EQ(errorNumberOf([&] { grid->setValue(k21Aug2000 + 6); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { grid->setMinDate(k21Aug2000 + 6); }), err::InvalidPropertyValue);
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
    click(&widget(), widget().layout().todayRect().center());
    EXPECT_EQ(clicked.back(), k21Aug2000);
}

TEST_F(QtMonthGridTest, ArrowsAndKeysMoveThroughTheMonthsWithinTheRange) {
    grid->setMonthColumns(2);
    popup->show();
    pump();
    EXPECT_EQ(widget().firstMonth(), QDate(2000, 8, 1));
    click(&widget(), widget().layout().nextArrowRect().center());
    EXPECT_EQ(widget().firstMonth(), QDate(2000, 10, 1));
    click(&widget(), widget().layout().previousArrowRect().center());
    click(&widget(), widget().layout().previousArrowRect().center());
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

// The months a put of Value shows: its month top left, the following months
// after it, as far forward as MaxDate allows, never before MinDate's month.
struct ShownCase {
    const char* what;
    int rows, columns;
    QDate min, max, value, first;
};

TEST_F(QtMonthGridTest, APutOfValueShowsItsMonthFirstAsFarAsTheRangeAllows) {
    const QDate lowest(1753, 1, 1), highest(9999, 12, 31);
    const ShownCase cases[] = {
        {"a December day, three rows", 3, 1, lowest, highest, {2024, 12, 5}, {2024, 12, 1}},
        {"MaxDate in the chosen month", 3, 1, lowest, {2024, 12, 15}, {2024, 12, 5}, {2024, 10, 1}},
        {"MaxDate a month on", 3, 1, lowest, {2025, 1, 10}, {2024, 12, 5}, {2024, 11, 1}},
        {"six months, MaxDate two months on", 2, 3, lowest, {2025, 2, 10}, {2024, 12, 5}, {2024, 9, 1}},
        {"the last day of all", 3, 1, lowest, highest, {9999, 12, 31}, {9999, 10, 1}},
        {"twelve months in the last year", 3, 4, lowest, highest, {9999, 2, 14}, {9999, 1, 1}},
        {"the first day of all", 3, 1, lowest, highest, {1753, 1, 1}, {1753, 1, 1}},
        {"a range shorter than the months", 3, 2, {2000, 3, 1}, {2000, 4, 20}, {2000, 4, 15}, {2000, 3, 1}},
        {"two months of range, three columns", 1, 3, {9999, 11, 5}, highest, {9999, 11, 20}, {9999, 11, 1}},
    };
    for (const ShownCase& c : cases) {
        grid->setMonthRows(1);
        grid->setMonthColumns(c.columns);
        grid->setMonthRows(int16_t(c.rows));
        grid->setMinDate(serial(lowest));
        grid->setMaxDate(serial(c.max));
        grid->setMinDate(serial(c.min));
        grid->setValue(serial(c.value));
        EXPECT_EQ(widget().firstMonth(), c.first) << c.what;
    }
}

TEST_F(QtMonthGridTest, TheUserScrollsTheMonthsOnlyAsFarAsNeeded) {
    grid->setMonthRows(3);
    grid->setValue(serial({2024, 12, 5}));
    popup->show();
    pump();
    grid->setFocus();
    typeKey(Qt::Key_PageDown);
    typeKey(Qt::Key_PageDown);
    EXPECT_EQ(widget().firstMonth(), QDate(2024, 12, 1)) << "February is shown already";
    typeKey(Qt::Key_PageDown);
    EXPECT_EQ(widget().firstMonth(), QDate(2025, 1, 1));
    typeKey(Qt::Key_Up);
    EXPECT_EQ(widget().firstMonth(), QDate(2025, 1, 1));
    grid->setMonthRows(1);
    EXPECT_EQ(widget().firstMonth(), QDate(2025, 2, 1)) << "fewer months still show the selected day";
}

// A right-to-left language reads the grid from the right: the first month,
// the first weekday and the arrow back stand on the right, and the left key
// goes on to later days.
TEST_F(QtMonthGridTest, ARightToLeftLocaleMirrorsTheGrid) {
    widget().setLocale(QLocale(QLocale::Arabic, QLocale::Egypt));
    grid->setMonthColumns(2);
    grid->setValue(serial({2024, 12, 5}));
    const MonthGridLayout& at = widget().layout();
    EXPECT_GT(at.monthRect(0).left(), at.monthRect(1).left());
    EXPECT_GT(at.weekdayRect(0, 0).left(), at.weekdayRect(0, 6).left());
    EXPECT_GT(at.previousArrowRect().left(), at.nextArrowRect().left());
    EXPECT_GT(at.todayRingRect().left(), at.todayTextRect().left());
    popup->show();
    pump();
    // Saturday starts the Arabic week: 30 November stands top right.
    click(&widget(), at.dayRect(0, 0, 0).center());
    EXPECT_EQ(clicked, std::vector<double>{serial({2024, 11, 30})});
    grid->setFocus();
    typeKey(Qt::Key_Left);
    EXPECT_EQ(widget().value(), QDate(2024, 12, 1));
}

QAccessibleInterface* cellOf(QAccessibleInterface* table, int row, int column) {
    return table->tableInterface()->cellAt(row, column);
}

TEST_F(QtMonthGridTest, ScreenReadersFindANamedPopupAndATableOfDays) {
    host.setToday(serial({2024, 12, 20}));
    grid->setMonthColumns(3);
    grid->setMonthRows(2);
    grid->setMaxDate(serial({2025, 5, 10}));
    grid->setValue(serial({2024, 12, 5}));  // December to May
    popup->show();
    pump();
    grid->setFocus();

    EXPECT_EQ(QAccessible::queryAccessibleInterface(popup->widget())->text(QAccessible::Name), "Calendar");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&widget());
    ASSERT_TRUE(table && table->tableInterface());
    EXPECT_EQ(table->role(), QAccessible::Table);
    EXPECT_EQ(table->text(QAccessible::Name), "December 2024 – May 2025");
    EXPECT_EQ(table->tableInterface()->rowCount(), 12);
    EXPECT_EQ(table->tableInterface()->columnCount(), 21);
    EXPECT_EQ(table->childCount(), 12 * 21);
    EXPECT_EQ(table->tableInterface()->columnDescription(0), QLocale().dayName(int(QLocale().firstDayOfWeek())));

    const QDate fifth(2024, 12, 5);
    const auto at = widget().cellOf(fifth);
    ASSERT_TRUE(at);
    QAccessibleInterface* selected = cellOf(table, at->week, at->column);
    EXPECT_EQ(selected->role(), QAccessible::Cell);
    EXPECT_EQ(selected->text(QAccessible::Name), QLocale().toString(fifth, QLocale::LongFormat));
    EXPECT_TRUE(selected->state().selected);
    EXPECT_TRUE(selected->state().focused);
    EXPECT_EQ(table->tableInterface()->selectedCells(), QList<QAccessibleInterface*>{selected});
    EXPECT_EQ(table->focusChild(), selected);
    EXPECT_EQ(table->childAt(selected->rect().center().x(), selected->rect().center().y()), selected);
    EXPECT_EQ(table->child(table->indexOfChild(selected)), selected);

    const auto today = widget().cellOf(QDate(2024, 12, 20));
    EXPECT_EQ(cellOf(table, today->week, today->column)->text(QAccessible::Description), "Today");
    // January, top middle: its days before the 1st are left blank.
    EXPECT_TRUE(cellOf(table, 0, 7)->state().invisible);
    EXPECT_TRUE(cellOf(table, 0, 7)->text(QAccessible::Name).isEmpty());
    // May, bottom right: 31 May is after MaxDate.
    const auto late = widget().cellOf(QDate(2025, 5, 31));
    EXPECT_TRUE(cellOf(table, 6 + late->week, 14 + late->column)->state().disabled);
    EXPECT_FALSE(cellOf(table, 6 + late->week, 14 + late->column)->state().invisible);
}

// What a user of a new control sees at every opening: the chosen month
// first, and the today line's date written as the box writes it.
TEST(QtMonthGridInThePopup, AFreshPopupOpensOnTheChosenMonthAndAgreesWithTheBox) {
    ComponentRegistry registry;
    registerTavoCalendar(registry);
    QtHost host;
    host.setToday(dateSerial(2024, 12, 5));
    Form form(host, "Form1", registry);
    auto control = std::dynamic_pointer_cast<TavoCalendarDropDown>(
        form.add("TavoCalendar.TavoCalendarDropDown", "Cal1", Placement{300, 300, 2400, 315}));
    form.window().show();
    control->put("Value", Variant::date(dateSerial(2024, 12, 5)));
    press(static_cast<QtPushButton&>(*control->cmd()).widget(), {3, 4});
    pump();
    auto popup = std::static_pointer_cast<frmCalendar>(host.findDefaultInstance(frmCalendar::kFormClass));
    ASSERT_TRUE(popup && popup->Visible());
    MonthGridWidget& grid = *static_cast<QtMonthGrid&>(popup->cal()).grid();
    EXPECT_EQ(grid.monthCount(), 3);
    EXPECT_EQ(grid.firstMonth(), QDate(2024, 12, 1));
    const QString box = static_cast<QtDateBox&>(*control->cal()).edit()->text();
    EXPECT_TRUE(grid.texts().todayLine(grid.today()).endsWith(u' ' + box)) << box.toStdString();
    popup->Unload();
    pump();
}

}  // namespace
}  // namespace tavo
