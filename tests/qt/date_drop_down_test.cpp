// The date widget as a Qt developer meets it: typed properties that round-trip
// and announce each change once, whether written through Qt or by member name;
// refused values that change nothing and are reported; the date's changes by
// code, by the box and by a pick, and which of them count as the user's; key
// codes a slot can change.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTableWidget>
#include <QStyledItemDelegate>
#include <QPushButton>
#include <QCursor>
#include <QAccessible>
#include <QCalendarWidget>
#include <QDateTimeEdit>
#include <QStyleOptionComboBox>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <functional>
#include <memory>
#include <vector>

#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_window.h"
#include "datecontrol/frm_calendar.h"
#include "qt_test_support.h"
#include "support/dates.h"
#include "tavo/host/colour.h"
#include "tavo/host/control.h"
#include "tavo/host/date.h"
#include "tavo/host/value_conversions.h"
#include "tavo/widgets/date_drop_down.h"
#include "widget_spies.h"

namespace tavo {
namespace {

bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.metaType() == QMetaType::fromType<QPixmap>() && b.metaType() == QMetaType::fromType<QPixmap>())
        return a.value<QPixmap>().toImage().convertToFormat(QImage::Format_ARGB32) ==
               b.value<QPixmap>().toImage().convertToFormat(QImage::Format_ARGB32);
    return a == b;
}

QPixmap redSquare() {
    QPixmap p(12, 12);
    p.fill(Qt::red);
    return p;
}

class DateDropDownTest : public ::testing::Test {
public:
    DateDropDownTest() {
        host.setToday(k21Aug2000);
        auto* layout = new QVBoxLayout(&window);
        date = new DateDropDown(&window);
        layout->addWidget(date);
        layout->addStretch();
        window.move(100, 100);
        window.resize(320, 120);
    }
    ~DateDropDownTest() override {
        if (auto p = popup(); p && p->isLoaded()) p->Unload();
        pump();
    }

    std::shared_ptr<frmCalendar> popup() {
        return std::static_pointer_cast<frmCalendar>(host.findDefaultInstance(frmCalendar::kFormClass));
    }
    QDateTimeEdit* edit() { return date->findChild<QDateTimeEdit*>(QStringLiteral("cal")); }
    void show() {
        window.show();
        pump();
        edit()->setFocus();
        pump();
    }

    QtHost host;
    QWidget window;
    DateDropDown* date;
};

// ---- Properties ------------------------------------------------------------------

struct PropertyCase {
    const char* property;
    QVariant value;
};
void PrintTo(const PropertyCase& c, std::ostream* os) { *os << c.property; }

class DateDropDownProperty : public DateDropDownTest, public ::testing::WithParamInterface<PropertyCase> {};

TEST_P(DateDropDownProperty, RoundTripsAndAnnouncesItsChangeOnce) {
    const PropertyCase& c = GetParam();
    ASSERT_FALSE(sameValue(date->property(c.property), c.value)) << "the case must change the property";
    NotifySpies spies(date);
    QSignalSpy refused(date, &DateDropDown::valueRefused);

    ASSERT_TRUE(date->setProperty(c.property, c.value));
    EXPECT_TRUE(sameValue(date->property(c.property), c.value));
    EXPECT_EQ(spies.total(), 1) << spies.seen();
    const QMetaProperty meta = date->metaObject()->property(date->metaObject()->indexOfProperty(c.property));
    QSignalSpy own(date, meta.notifySignal());
    date->setProperty(c.property, c.value);
    EXPECT_EQ(own.count(), 0) << "the same value again is no change";
    EXPECT_EQ(spies.total(), 1) << spies.seen();
    EXPECT_EQ(refused.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, DateDropDownProperty,
    ::testing::Values(PropertyCase{"date", QDate(2003, 4, 5)}, PropertyCase{"minimumDate", QDate(1990, 1, 1)},
                      PropertyCase{"maximumDate", QDate(2020, 12, 31)},
                      PropertyCase{"format", QVariant::fromValue(DateDropDown::LongDate)},
                      PropertyCase{"customFormat", QStringLiteral("dd.MM.yyyy")},
                      PropertyCase{"calendarBackColor", QColor(10, 20, 30)},
                      PropertyCase{"calendarForeColor", QColor(40, 50, 60)},
                      PropertyCase{"calendarTitleBackColor", QColor(70, 80, 90)},
                      PropertyCase{"calendarTitleForeColor", QColor(100, 110, 120)},
                      PropertyCase{"calendarTrailingForeColor", QColor(130, 140, 150)},
                      PropertyCase{"calendarMonthBackColor", QColor(160, 170, 180)},
                      PropertyCase{"monthRows", 2}, PropertyCase{"monthColumns", 3}, PropertyCase{"upDown", true},
                      PropertyCase{"canOpen", false}, PropertyCase{"showToday", false},
                      PropertyCase{"showWeek", false},
                      PropertyCase{"pictureType", QVariant::fromValue(DateDropDown::DropDownArrow)},
                      PropertyCase{"picture", redSquare()}, PropertyCase{"font", QFont("DejaVu Serif", 14)},
                      PropertyCase{"enabled", false}),
    [](const ::testing::TestParamInfo<PropertyCase>& i) { return std::string(i.param.property); });

// A write by member name, as a form file or a script makes it.
struct MemberCase {
    const char* member;
    Variant value;
    const char* property;
    QVariant expected;
};
void PrintTo(const MemberCase& c, std::ostream* os) { *os << c.member; }

class DateDropDownMember : public DateDropDownTest, public ::testing::WithParamInterface<MemberCase> {};

TEST_P(DateDropDownMember, WrittenByNameAnnouncesTheTypedChangeOnce) {
    const MemberCase& c = GetParam();
    NotifySpies spies(date);
    if (c.value.isObject()) date->control().putRef(c.member, c.value);
    else date->control().put(c.member, c.value);
    EXPECT_TRUE(sameValue(date->property(c.property), c.expected))
        << date->property(c.property).toString().toStdString();
    EXPECT_EQ(spies.total(), 1) << spies.seen();
}

const FontRef kSerif = std::make_shared<Font>("DejaVu Serif", 14);

INSTANTIATE_TEST_SUITE_P(
    Members, DateDropDownMember,
    ::testing::Values(MemberCase{"Value", Variant::date(dateSerial(2003, 4, 5)), "date", QDate(2003, 4, 5)},
                      MemberCase{"MinDate", Variant::date(dateSerial(1990, 1, 1)), "minimumDate", QDate(1990, 1, 1)},
                      MemberCase{"Format", Variant::integer(0), "format", QVariant::fromValue(DateDropDown::LongDate)},
                      MemberCase{"CalendarTitleBackColor", colourValue(rgbColour(0x11, 0x22, 0x33)),
                                 "calendarTitleBackColor", QColor(0x11, 0x22, 0x33)},
                      MemberCase{"MonthColumns", Variant::integer(2), "monthColumns", 2},
                      MemberCase{"CanOpen", Variant::boolean(false), "canOpen", false},
                      MemberCase{"Font", Variant::object(kSerif), "font", toQFont(*kSerif)},
                      MemberCase{"Enabled", Variant::boolean(false), "enabled", false}),
    [](const ::testing::TestParamInfo<MemberCase>& i) { return std::string(i.param.member); });

// ---- Refused values ---------------------------------------------------------------

struct RefusalCase {
    const char* name;
    const char* property;
    std::function<void(DateDropDown&)> write;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class DateDropDownRefusal : public DateDropDownTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DateDropDownRefusal, KeepsTheOldValueAnnouncesNothingAndWarns) {
    const RefusalCase& c = GetParam();
    date->setDateRange(QDate(2000, 1, 1), QDate(2010, 12, 31));
    const QVariant before = date->property(c.property);
    const QDate dateBefore = date->date();
    NotifySpies spies(date);
    QSignalSpy refused(date, &DateDropDown::valueRefused);
    WidgetWarnings warnings;

    c.write(*date);

    EXPECT_TRUE(sameValue(date->property(c.property), before));
    EXPECT_EQ(date->date(), dateBefore);
    EXPECT_EQ(spies.total(), 0) << spies.seen();
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), QString::fromLatin1(c.property));
    EXPECT_FALSE(refused.at(0).at(1).toString().isEmpty());
    ASSERT_EQ(warnings.lines.size(), 1u);
    EXPECT_TRUE(warnings.lines[0].contains(QLatin1String(c.property))) << warnings.lines[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Values, DateDropDownRefusal,
    ::testing::Values(
        RefusalCase{"DateBeforeTheRange", "date", [](DateDropDown& w) { w.setDate(QDate(1999, 12, 31)); }},
        RefusalCase{"DateAfterTheRange", "date", [](DateDropDown& w) { w.setDate(QDate(2011, 1, 1)); }},
        RefusalCase{"DateAfterYear9999", "date", [](DateDropDown& w) { w.setDate(QDate(10000, 1, 1)); }},
        RefusalCase{"MinimumBeforeTheBoxsOwn", "minimumDate",
                    [](DateDropDown& w) { w.setMinimumDate(QDate(1600, 12, 31)); }},
        RefusalCase{"MinimumAfterTheMaximum", "minimumDate",
                    [](DateDropDown& w) { w.setMinimumDate(QDate(2011, 1, 1)); }},
        RefusalCase{"MaximumBeforeTheMinimum", "maximumDate",
                    [](DateDropDown& w) { w.setMaximumDate(QDate(1999, 12, 31)); }},
        RefusalCase{"InvalidMinimum", "minimumDate", [](DateDropDown& w) { w.setMinimumDate(QDate()); }},
        RefusalCase{"ReversedRange", "minimumDate",
                    [](DateDropDown& w) { w.setDateRange(QDate(2005, 1, 1), QDate(2004, 1, 1)); }},
        RefusalCase{"RangeOutsideTheBoxsOwn", "minimumDate",
                    [](DateDropDown& w) { w.setDateRange(QDate(1500, 1, 1), QDate(2004, 1, 1)); }},
        RefusalCase{"UnknownFormat", "format", [](DateDropDown& w) { w.setFormat(DateDropDown::Format(7)); }},
        RefusalCase{"RowsBeyond16Bits", "monthRows", [](DateDropDown& w) { w.setMonthRows(70000); }},
        RefusalCase{"TranslucentColour", "calendarBackColor",
                    [](DateDropDown& w) { w.setCalendarBackColor(QColor(1, 2, 3, 128)); }}),
    [](const ::testing::TestParamInfo<RefusalCase>& i) { return std::string(i.param.name); });

TEST_F(DateDropDownTest, ARangeAroundAnotherRangeIsTakenInEitherDirectionAndMovesTheDateOnce) {
    date->setDateRange(QDate(2000, 1, 1), QDate(2000, 12, 31));
    struct Step {
        QDate minimum, maximum, date;
    };
    const Step steps[] = {{QDate(2005, 1, 1), QDate(2006, 1, 1), QDate(2005, 1, 1)},
                          {QDate(1990, 1, 1), QDate(1991, 6, 30), QDate(1991, 6, 30)}};
    for (const Step& s : steps) {
        QSignalSpy dates(date, &DateDropDown::dateChanged);
        QSignalSpy minimums(date, &DateDropDown::minimumDateChanged);
        QSignalSpy maximums(date, &DateDropDown::maximumDateChanged);
        date->setDateRange(s.minimum, s.maximum);
        EXPECT_EQ(date->minimumDate(), s.minimum);
        EXPECT_EQ(date->maximumDate(), s.maximum);
        EXPECT_EQ(date->date(), s.date);
        EXPECT_EQ(dates.count(), 1);
        EXPECT_EQ(minimums.count(), 1);
        EXPECT_EQ(maximums.count(), 1);
    }
}

// ---- Colours -------------------------------------------------------------------------

TEST_F(DateDropDownTest, AColourFollowsThePaletteUntilSetAndAnInvalidColourReturnsItThere) {
    QPalette dark = date->palette();
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    date->setPalette(dark);
    EXPECT_EQ(date->calendarBackColor(), QColor(20, 20, 20));

    QSignalSpy changes(date, &DateDropDown::calendarBackColorChanged);
    date->setCalendarBackColor(date->calendarBackColor());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(date->control().get("CalendarBackColor").toColour(), vbWindowBackground) << "still the system colour";

    date->setCalendarBackColor(QColor(200, 0, 0));
    date->setCalendarBackColor(QColor());
    EXPECT_EQ(date->control().get("CalendarBackColor").toColour(), vbWindowBackground);
    EXPECT_EQ(changes.count(), 2);
}

// ---- The date's changes and the user's ---------------------------------------------

struct ChangeCase {
    const char* name;
    std::function<void(DateDropDownTest&)> change;
    QDate expected;  // invalid: any other date than before
    bool byUser;
};
void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class DateDropDownChange : public DateDropDownTest, public ::testing::WithParamInterface<ChangeCase> {
public:
    static void pick(DateDropDownTest& t, QDate day) {
        press(t.date->findChild<QWidget*>(QStringLiteral("cmd")), {3, 4});
        pump();
        ASSERT_TRUE(t.popup() && t.popup()->Visible());
        MonthGridWidget& grid = *static_cast<QtMonthGrid&>(t.popup()->cal()).grid();
        click(&grid, grid.dayRect(day).center());
        pump();
    }
};

TEST_P(DateDropDownChange, AnnouncesTheDateOnceAndAnEditOnlyWhenTheUserMadeIt) {
    const ChangeCase& c = GetParam();
    show();
    const QDate before = date->date();
    QSignalSpy changed(date, &DateDropDown::dateChanged);
    QSignalSpy edited(date, &DateDropDown::dateEdited);
    c.change(*this);
    if (c.expected.isValid()) EXPECT_EQ(date->date(), c.expected);
    else EXPECT_NE(date->date(), before);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toDate(), date->date());
    EXPECT_EQ(edited.count(), c.byUser ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, DateDropDownChange,
    ::testing::Values(
        ChangeCase{"SetFromCode", [](DateDropDownTest& f) { f.date->setDate(QDate(2001, 3, 4)); }, QDate(2001, 3, 4),
                   false},
        ChangeCase{"WrittenByName",
                   [](DateDropDownTest& f) { f.date->control().put("Value", Variant::date(dateSerial(2001, 3, 4))); },
                   QDate(2001, 3, 4), false},
        ChangeCase{"MovedByTheRange", [](DateDropDownTest& f) { f.date->setMinimumDate(QDate(2001, 1, 1)); },
                   QDate(2001, 1, 1), false},
        ChangeCase{"SteppedInTheBox", [](DateDropDownTest&) { typeKey(Qt::Key_Up); }, QDate(), true},
        ChangeCase{"PickedInTheCalendar",
                   [](DateDropDownTest& f) { DateDropDownChange::pick(f, QDate(2000, 8, 25)); }, QDate(2000, 8, 25),
                   true}),
    [](const ::testing::TestParamInfo<ChangeCase>& i) { return std::string(i.param.name); });

// What takes the widget from the user while its calendar is up closes the
// calendar without a change; the same done to another widget leaves it.
TEST_F(DateDropDownTest, AWidgetTheUserCanNoLongerUseClosesItsCalendar) {
    struct GoneCase {
        const char* name;
        std::function<void(DateDropDownTest&, DateDropDown* target)> act;
        bool forgets;  // the window lets go of the control, which is gone
    };
    const std::vector<GoneCase> cases = {
        {"deleted", [](DateDropDownTest&, DateDropDown* w) { delete w; }, true},
        {"hidden", [](DateDropDownTest&, DateDropDown* w) { w->hide(); }, false},
        {"its window hidden", [](DateDropDownTest&, DateDropDown* w) { w->window()->hide(); }, false},
        {"disabled", [](DateDropDownTest&, DateDropDown* w) { w->setEnabled(false); }, false},
        {"its window disabled", [](DateDropDownTest&, DateDropDown* w) { w->window()->setEnabled(false); }, false},
    };
    for (const GoneCase& c : cases) {
        for (const bool own : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (own ? ", the widget that opened it" : ", another widget"));
            auto* other = new DateDropDown;  // a window of its own
            other->show();
            show();
            date->setDate(QDate(2000, 8, 21));
            QSignalSpy changed(date, &DateDropDown::dateChanged);
            press(date->findChild<QWidget*>(QStringLiteral("cmd")), {3, 4});
            pump();
            ASSERT_TRUE(popup()->Visible());
            c.act(*this, own ? date : other);
            pump();
            EXPECT_EQ(popup()->isLoaded(), !own);
            EXPECT_EQ(popup()->objBackReference == nullptr, own && c.forgets);
            if (c.forgets) {
                (own ? date : other) = nullptr;
            } else {
                EXPECT_EQ(changed.count(), 0);
            }
            delete other;
            if (popup()->isLoaded()) popup()->Unload();
            if (!date) {
                date = new DateDropDown(&window);
                window.layout()->addWidget(date);
            }
            window.setEnabled(true);
            date->setEnabled(true);
            date->show();
        }
    }
}

// An assistive tool's press has no pointer: the calendar drops under the
// widget, as it does for a click, wherever the mouse rests meanwhile.
TEST_F(DateDropDownTest, AToolsPressDropsTheCalendarUnderTheWidgetWhereverThePointerRests) {
    show();
    QWidget* button = date->findChild<QWidget*>(QStringLiteral("cmd"));
    const QPoint underTheWidget = date->mapToGlobal(QPoint(0, date->height()));
    for (const QPoint rest : {QPoint(0, 0), QPoint(1000, 700), button->mapToGlobal(QPoint(1, 1))}) {
        SCOPED_TRACE(testing::Message() << "pointer at " << rest.x() << "," << rest.y());
        QCursor::setPos(rest);
        QAccessible::queryAccessibleInterface(button)->actionInterface()->doAction(
            QAccessibleActionInterface::pressAction());
        pump();
        ASSERT_TRUE(popup()->Visible());
        EXPECT_EQ(static_cast<QtWindow&>(*popup()->window()).widget()->pos(), underTheWidget);
        EXPECT_EQ(QCursor::pos(), rest) << "the pointer stays where it was";
        popup()->Unload();
        pump();
    }
}

// A range narrowed while the calendar is up: a day it still offers past the
// range is refused by the control. The error ends at the click, as at the
// host's own dispatch: reported, the date kept, the calendar left open (its
// watch already stopped), and the application goes on.
TEST_F(DateDropDownTest, ADayPastARangeNarrowedWhileTheCalendarIsUpIsReportedNotThrown) {
    show();
    std::vector<std::string> reported;
    host.onHandlerError = [&](const HostError& e) { reported.emplace_back(e.what()); };
    press(date->findChild<QWidget*>(QStringLiteral("cmd")), {3, 4});
    pump();
    ASSERT_TRUE(popup()->Visible());
    date->setMaximumDate(QDate(2000, 8, 22));
    MonthGridWidget& grid = *static_cast<QtMonthGrid&>(popup()->cal()).grid();
    click(&grid, grid.dayRect(QDate(2000, 8, 25)).center());
    pump();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find("2000-08-25"), std::string::npos) << reported[0];
    EXPECT_EQ(date->date(), QDate(2000, 8, 21));
    EXPECT_TRUE(popup()->Visible());
    host.onHandlerError = nullptr;
}

// The widget as an item view's editor: what the user typed or picked goes
// into the model when the focus moves on, as it does from a QDateEdit; the
// calendar it drops down keeps the editor open meanwhile.
TEST_F(DateDropDownTest, AsAnItemViewsEditorCommitsWhenTheFocusMovesOn) {
    struct Delegate : QStyledItemDelegate {
        QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
            return new DateDropDown(parent);
        }
    } delegate;
    auto* table = new QTableWidget(2, 1, &window);
    auto* save = new QPushButton(QStringLiteral("Save"), &window);
    window.layout()->addWidget(table);
    window.layout()->addWidget(save);
    table->setItemDelegate(&delegate);
    show();
    // Moving on: the focus to another widget, or Tab, with which the
    // delegate also opens the next item's editor.
    struct EditCase {
        const char* name;
        std::function<void(DateDropDownTest&, DateDropDown&)> edit;
        QDate committed;
        bool byTab = false;
    };
    const std::vector<EditCase> cases = {
        {"typed",
         [](DateDropDownTest&, DateDropDown& e) {
             e.findChild<QDateTimeEdit*>(QStringLiteral("cal"))->setCurrentSection(QDateTimeEdit::DaySection);
             typeKey(Qt::Key_Up);
         },
         QDate(2000, 8, 22)},
        {"picked",
         [](DateDropDownTest& f, DateDropDown& e) {
             press(e.findChild<QWidget*>(QStringLiteral("cmd")), {3, 4});
             pump();
             ASSERT_TRUE(f.popup()->Visible());
             auto* view = qobject_cast<QTableWidget*>(e.parentWidget()->parentWidget());
             EXPECT_EQ(view->indexWidget(view->currentIndex()), &e) << "the calendar keeps the editor open";
             MonthGridWidget& grid = *static_cast<QtMonthGrid&>(f.popup()->cal()).grid();
             click(&grid, grid.dayRect(QDate(2000, 8, 25)).center());
             pump();
         },
         QDate(2000, 8, 25)},
        {"typed, then Tab",
         [](DateDropDownTest&, DateDropDown& e) {
             e.findChild<QDateTimeEdit*>(QStringLiteral("cal"))->setCurrentSection(QDateTimeEdit::DaySection);
             typeKey(Qt::Key_Up);
         },
         QDate(2000, 8, 22), true},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        table->setItem(0, 0, new QTableWidgetItem);
        table->item(0, 0)->setData(Qt::EditRole, QDate(2000, 8, 21));
        table->setCurrentCell(0, 0);
        table->edit(table->currentIndex());
        pump();
        auto* editor = table->findChild<DateDropDown*>();
        ASSERT_NE(editor, nullptr);
        ASSERT_TRUE(editor->isAncestorOf(QApplication::focusWidget()));
        c.edit(*this, *editor);
        EXPECT_EQ(editor->date(), c.committed);
        EXPECT_EQ(table->indexWidget(table->currentIndex()), editor);
        if (c.byTab) typeKey(Qt::Key_Tab);
        else save->setFocus(Qt::MouseFocusReason);
        pump();
        EXPECT_EQ(table->item(0, 0)->data(Qt::EditRole).toDate(), c.committed);
        EXPECT_EQ(table->indexWidget(table->model()->index(0, 0)), nullptr) << "the editor closed";
        if (c.byTab) {
            EXPECT_EQ(table->currentRow(), 1) << "on to the next item";
            EXPECT_NE(table->indexWidget(table->currentIndex()), nullptr) << "in its editor";
            table->closePersistentEditor(table->item(1, 0));
            table->setFocus();
            pump();
        }
    }
}

// ---- Keys and mouse --------------------------------------------------------------------

// Outside an item view nobody takes Tab on its way through the widget: the
// box moves through its sections with it, as before.
TEST_F(DateDropDownTest, OutsideAnItemViewTabMovesThroughTheBoxsSections) {
    show();
    edit()->setFocus();
    struct TabCase {
        int from, to;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
    };
    for (const TabCase& c : {TabCase{0, 1, Qt::Key_Tab, Qt::NoModifier}, TabCase{1, 0, Qt::Key_Backtab, Qt::ShiftModifier}}) {
        edit()->setCurrentSectionIndex(c.from);
        typeKey(c.key, {}, c.mods);
        EXPECT_EQ(edit()->currentSectionIndex(), c.to) << c.from;
        EXPECT_EQ(QApplication::focusWidget(), edit()) << c.from;
    }
}

TEST_F(DateDropDownTest, ASlotChangesOrSwallowsTheKeyTheBoxGets) {
    show();
    struct KeyCase {
        qint16 replacement;  // for the Up arrow's code 38
        int step;            // days the date then moves, on the day section
    };
    edit()->setCurrentSection(QDateTimeEdit::DaySection);
    for (const KeyCase& c : {KeyCase{40, -1}, KeyCase{0, 0}, KeyCase{38, 1}}) {
        const QDate before = date->date();
        auto connection = QObject::connect(date, &DateDropDown::keyDown, [&c](qint16& keyCode, qint16&) {
            if (keyCode == 38) keyCode = c.replacement;
        });
        typeKey(Qt::Key_Up);
        QObject::disconnect(connection);
        EXPECT_EQ(date->date(), before.addDays(c.step)) << "Up replaced by " << c.replacement;
    }
}

TEST_F(DateDropDownTest, TheBoxsClicksAndKeysComeOutAsSignals) {
    show();
    int clicks = 0, doubleClicks = 0, downs = 0, presses = 0, ups = 0;
    QObject::connect(date, &DateDropDown::clicked, [&] { ++clicks; });
    QObject::connect(date, &DateDropDown::doubleClicked, [&] { ++doubleClicks; });
    QObject::connect(date, &DateDropDown::keyDown, [&](qint16&, qint16&) { ++downs; });
    QObject::connect(date, &DateDropDown::keyPress, [&](qint16& keyAscii) { presses += keyAscii == '5'; });
    QObject::connect(date, &DateDropDown::keyUp, [&](qint16&, qint16&) { ++ups; });
    click(edit(), {5, 5});
    mouse(QEvent::MouseButtonDblClick, edit(), {5, 5}, Qt::LeftButton);
    typeKey(Qt::Key_5, QStringLiteral("5"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(ups, 1);
}

// ---- The widget's own state is the control's -----------------------------------------

TEST_F(DateDropDownTest, AParentsEnabledStateAndFontReachTheControl) {
    QSignalSpy enabled(date, &DateDropDown::enabledChanged), fonts(date, &DateDropDown::fontChanged);
    window.setEnabled(false);
    EXPECT_FALSE(date->control().get("Enabled").isTrue());
    window.setEnabled(true);
    EXPECT_TRUE(date->control().get("Enabled").isTrue());
    EXPECT_EQ(enabled.count(), 2);

    window.setFont(QFont("DejaVu Serif", 15));
    const FontRef font = toFont(date->control().get("Font"));
    EXPECT_EQ(font->name, "DejaVu Serif");
    EXPECT_EQ(font->size, 15);
    EXPECT_EQ(fonts.count(), 1);
}

// The picture button stands over the box's right end, where the box has its
// own drop-down arrow; in a right-to-left application that arrow must not
// move to the other end and stand beside the picture as a second button.
TEST_F(DateDropDownTest, TheBoxsOwnArrowStaysUnderThePictureButtonInEitherDirection) {
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        window.setLayoutDirection(direction);
        show();
        QDateTimeEdit* box = edit();
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.subControls = QStyle::SC_All;
        const QRect arrow = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
        ASSERT_FALSE(arrow.isEmpty());
        const auto* picture = date->findChild<QAbstractButton*>(QStringLiteral("cmd"));
        ASSERT_NE(picture, nullptr);
        const QRect under(picture->mapTo(date, QPoint(0, 0)), picture->size());
        const QPoint arrowMiddle = box->mapTo(date, arrow.center());  // the style's rect is already on screen
        EXPECT_TRUE(under.contains(arrowMiddle)) << (direction == Qt::RightToLeft ? "right to left" : "left to right");

        // The box's own calendar (F4) still runs the application's way.
        typeKey(Qt::Key_F4);
        pump();
        ASSERT_TRUE(box->calendarWidget()->isVisible());
        EXPECT_EQ(box->calendarWidget()->layoutDirection(), direction);
        typeKey(Qt::Key_Escape);
        pump();
    }
}

// A widget given a locale of its own writes its date in that locale's format,
// and the calendar window, shared by every date widget of the application,
// speaks the language of the widget that opened it and is sized for it.
TEST_F(DateDropDownTest, TheBoxAndTheCalendarSpeakTheWidgetsLanguage) {
    auto* other = new DateDropDown(&window);
    window.layout()->addWidget(other);
    date->setLocale(QLocale(QLocale::German, QLocale::Germany));
    show();
    EXPECT_EQ(edit()->text(), QStringLiteral("21.08.2000"));
    struct Case {
        DateDropDown* opener;
        QLocale::Language language;
    };
    const Case cases[] = {{date, QLocale::German}, {other, QLocale().language()}, {date, QLocale::German}};
    for (const Case& k : cases) {
        auto* button = k.opener->findChild<QAbstractButton*>(QStringLiteral("cmd"));
        ASSERT_NE(button, nullptr);
        press(button, {3, 4});
        pump();
        ASSERT_TRUE(popup() && popup()->Visible());
        QWidget* grid = static_cast<QtMonthGrid&>(popup()->cal()).grid();
        EXPECT_EQ(grid->locale().language(), k.language) << QLocale::languageToString(k.language).toStdString();
        EXPECT_EQ(static_cast<QtWindow&>(*popup()->window()).widget()->size(), grid->size())
            << "sized for the names it shows";
        popup()->Unload();
        pump();
    }
    date->setLocale(QLocale());
    EXPECT_EQ(edit()->text(), other->findChild<QDateTimeEdit*>(QStringLiteral("cal"))->text())
        << "back in the application's format";
}

TEST(QtDensityDateWidget, AsksForItsDesignSize) {
    QtHost host;
    DateDropDown date;
    EXPECT_GE(date.sizeHint().width(), host.toPixelsX(3015));
    EXPECT_GE(date.sizeHint().height(), host.toPixelsY(330));
    EXPECT_LE(date.minimumSizeHint().width(), date.sizeHint().width());
}

}  // namespace
}  // namespace tavo
