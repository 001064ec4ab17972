// The popup window on its own: the day click, Escape, the activation watch,
// and a write-back that fails.
#include "date_control_fixture.h"

#include "backends/headless/headless_month_grid.h"
#include "tavo/host/error.h"

namespace tavo {
namespace {

constexpr double k1Sep2000 = 36770;

class DateControlPopup : public DateControlTest {
protected:
    DateControlPopup() {
        press(*c);
        log.clear();
    }

    HeadlessMonthGrid& grid() { return dynamic_cast<HeadlessMonthGrid&>(popup().cal()); }
    std::shared_ptr<Child> gridRef() { return std::static_pointer_cast<Child>(grid().shared_from_this()); }

    void clickDay(double day) {
        grid().dateClick(day);
        host.runUntilIdle();
    }

    std::shared_ptr<TavoCalendarDropDown> c = add("Cal1");
};

TEST_F(DateControlPopup, DayClickWritesTheDayIntoTheControlAndCloses) {
    ASSERT_TRUE(popup().Visible());
    bool timerStoppedBeforeWrite = false;
    onEvent = [&](Control&, std::string_view event, std::span<Variant>) {
        if (event == "Change") timerStoppedBeforeWrite = !popup().tmr().enabled();
    };
    clickDay(k1Sep2000);
    EXPECT_EQ(c->Value().toDate(), k1Sep2000);
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.Change", "changed Cal1.Value"}));
    EXPECT_TRUE(timerStoppedBeforeWrite);
    EXPECT_FALSE(popup().isLoaded());
    EXPECT_EQ(traced("unload frmCalendar"), 1);
}

TEST_F(DateControlPopup, DayClickGoesToTheControlThatOpenedItLast) {
    press(*c);
    auto other = add("Cal2", 1500, 3000);
    press(*other);
    clickDay(k1Sep2000);
    EXPECT_EQ(other->Value().toDate(), k1Sep2000);
    EXPECT_EQ(c->Value().toDate(), 36759);
}

TEST_F(DateControlPopup, DayClickOnALoadedButHiddenWindowChangesNothing) {
    press(*c);
    popup().Load();
    popup().objBackReference = c;
    clickDay(k1Sep2000);
    EXPECT_EQ(c->Value().toDate(), 36759);
    EXPECT_TRUE(popup().isLoaded());
    EXPECT_TRUE(log.empty());
}

TEST_F(DateControlPopup, EscapeClosesWithoutTouchingTheDateOtherKeysPassThrough) {
    host.postKey(gridRef(), "a");
    host.runUntilIdle();
    EXPECT_TRUE(popup().Visible());

    host.postKey(gridRef(), "ESC");
    host.runUntilIdle();
    EXPECT_FALSE(popup().isLoaded());
    EXPECT_EQ(c->Value().toDate(), 36759);
    EXPECT_TRUE(log.empty());
}

TEST_F(DateControlPopup, ActivationMakesItTopmostAndStartsTheWatch) {
    EXPECT_EQ(traced("topmost frmCalendar"), 1);
    EXPECT_TRUE(popup().tmr().enabled());
    EXPECT_EQ(popup().tmr().interval(), 200);
    EXPECT_EQ(popup().Width(), grid().width());
    EXPECT_EQ(popup().Height(), grid().height());
}

TEST_F(DateControlPopup, WatchClosesWithinOneIntervalAfterAnotherWindowIsActivated) {
    host.postActivate(formWindow);
    host.advance(199);
    EXPECT_TRUE(popup().Visible()) << "the watch looks every 200 ms";
    host.advance(1);
    EXPECT_FALSE(popup().isLoaded());
    EXPECT_TRUE(log.empty()) << "no date changes";
}

TEST_F(DateControlPopup, WatchClosesWhenAnotherApplicationBecomesActive) {
    host.advance(1000);
    EXPECT_TRUE(popup().Visible()) << "nothing else active: it stays";
    // Thousands of years of a watch that finds nothing pass in a moment.
    host.advance(99'999'999'999'999);
    EXPECT_TRUE(popup().Visible());
    host.postActivateOtherApplication();
    host.advance(200);
    EXPECT_FALSE(popup().isLoaded());
}

TEST_F(DateControlPopup, FailedWriteBackLeavesItOpenWithoutItsWatch) {
    popup().objBackReference = c->Font();  // an object without "Value"
    clickDay(k1Sep2000);
    ASSERT_EQ(host.handlerErrors().size(), 1u);
    EXPECT_EQ(host.handlerErrors()[0].number(), err::NoSuchMember);
    ASSERT_TRUE(popup().Visible());
    EXPECT_FALSE(popup().tmr().enabled());

    host.postActivate(formWindow);
    host.advance(1000);
    EXPECT_TRUE(popup().Visible()) << "without its watch it no longer closes on activation";

    host.postKey(gridRef(), "ESC");
    host.runUntilIdle();
    EXPECT_FALSE(popup().isLoaded());
}

TEST_F(DateControlPopup, UnknownMembersAndAnUnloadedWindowAreClearErrors) {
    press(*c);
    EXPECT_FALSE(popup().get("Visible").isTrue());
    try {
        popup().get("cal");
        FAIL() << "cal of an unloaded window";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::ObjectNotSet);
        EXPECT_NE(std::string(e.what()).find("frmCalendar"), std::string::npos);
    }
    EXPECT_FALSE(popup().isLoaded()) << "asking does not load it";
}

}  // namespace
}  // namespace tavo
