// A press on the drop-down button: the settings handed to the popup, its
// place on the screen, the toggle, and the modal fallback.
#include "date_control_fixture.h"

#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_month_grid.h"

namespace tavo {
namespace {

class DateControlOpening : public DateControlTest {
protected:
    DateControlOpening() { host.setScreen(1024, 768); }  // 15360 × 11520 twips

    // Moves the form so that the control's bottom edge lies at `bottom` and
    // its left edge at `left`, in screen twips.
    void placeControl(const TavoCalendarDropDown& ctl, float bottom, float left = 1500) {
        formWindow->setTop(bottom - ctl.site().top() - ctl.site().height());
        formWindow->setLeft(left - ctl.site().left());
    }

    // The popup's height for the control's months, measured high on the screen.
    float popupHeightFor(const TavoCalendarDropDown& ctl) {
        placeControl(ctl, 1000);
        press(ctl);
        const float h = popup().Height();
        press(ctl);
        return h;
    }

    HeadlessMonthGrid& grid() { return dynamic_cast<HeadlessMonthGrid&>(popup().cal()); }
    std::shared_ptr<Child> cancelButton() {
        return std::static_pointer_cast<Child>(popup().cmdCancel().shared_from_this());
    }

    std::shared_ptr<TavoCalendarDropDown> c = add("Cal1");
};

TEST_F(DateControlOpening, PopupStandsOnTheControlsBottomLeftCornerWhereverTheButtonIsPressed) {
    placeControl(*c, 3000, 2000);
    for (auto [x, y] : {std::pair{15.f, 15.f}, std::pair{200.f, 250.f}}) {
        press(*c, x, y);
        ASSERT_TRUE(popup().Visible());
        EXPECT_EQ(popup().Left(), 2000);
        EXPECT_EQ(popup().Top(), 3000);
        EXPECT_EQ(popup().Width(), grid().width());
        EXPECT_EQ(popup().Height(), grid().height());
        EXPECT_TRUE(host.isTopmost(popup().hWnd()));
        EXPECT_EQ(popup().objBackReference, c);
        press(*c);
        EXPECT_FALSE(popup().isLoaded()) << "the second press closes";
    }
    EXPECT_EQ(traced("show frmCalendar modeless"), 2);
}

TEST_F(DateControlOpening, EveryMouseButtonOpensOnThePressWhateverTheDateBoxShows) {
    c->setUpDown(true);
    c->setFormat(2);
    for (int16_t button : {2, 4}) {
        host.postMouseDown(c->cmd(), button, 0, 30, 30);
        host.runUntilIdle();
        EXPECT_TRUE(popup().Visible()) << button;
        press(*c);
    }
    log.clear();
    press(*c);
    EXPECT_TRUE(log.empty()) << "the button raises no event of the control";
}

TEST_F(DateControlOpening, SettingsComeFromTheDateBoxAndTheControlAtEachPress) {
    auto font = std::make_shared<tavo::Font>("Arial", 9);
    c->setFont(font);
    c->setCalendarBackColor(0x11);
    c->setCalendarForeColor(0x22);
    c->setCalendarTitleBackColor(0x33);
    c->setCalendarTitleForeColor(0x44);
    c->setCalendarTrailingForeColor(0x55);
    c->setCalendarMonthBackColor(0x66);
    c->site().setBackColor(0x77);
    c->setMinDate(36000);
    c->setMaxDate(37000);
    c->setValue(Variant::date(36500));
    c->setShowToday(false);
    c->setShowWeek(false);
    c->setMonthColumns(2);
    c->setMonthRows(1);
    placeControl(*c, 1000);
    press(*c);

    MonthGrid& g = grid();
    EXPECT_FALSE(g.showToday());
    EXPECT_FALSE(g.showWeekNumbers());
    EXPECT_EQ(g.backColor(), 0x11u);
    EXPECT_EQ(g.foreColor(), 0x22u);
    EXPECT_EQ(g.font(), font);
    EXPECT_EQ(g.monthBackColor(), 0x77u) << "the surface colour, not the CalendarMonthBackColor setting";
    EXPECT_EQ(g.titleBackColor(), 0x33u);
    EXPECT_EQ(g.titleForeColor(), 0x44u);
    EXPECT_EQ(g.trailingForeColor(), 0x55u);
    EXPECT_EQ(g.minDate(), 36000);
    EXPECT_EQ(g.maxDate(), 37000);
    EXPECT_EQ(g.value(), 36500);
    EXPECT_EQ(g.monthColumns(), 2);
    EXPECT_EQ(g.monthRows(), 1);
}

TEST_F(DateControlOpening, WhatTheGridRefusesLeavesItsFreshlyLoadedValues) {
    c->setValue(Variant());  // no date
    placeControl(*c, 1000);
    press(*c);
    ASSERT_TRUE(popup().Visible()) << "the failing steps are skipped";
    EXPECT_EQ(grid().value(), 36759) << "the design date of the popup";
    EXPECT_EQ(grid().minDate(), -53688) << "1 January 1601 is before the grid's own range";
}

TEST_F(DateControlOpening, MarginOfExactly360TwipsStillFits) {
    const float h = popupHeightFor(*c);
    placeControl(*c, 11520 - 360 - h);
    press(*c);
    EXPECT_EQ(grid().monthRows(), 3);
    EXPECT_EQ(popup().Top(), 11520 - 360 - h);
    press(*c);

    placeControl(*c, 11520 - 360 - h + 15);
    press(*c);
    EXPECT_EQ(grid().monthColumns(), 3) << "one pixel less room reshapes";
    EXPECT_EQ(grid().monthRows(), 1);
    EXPECT_EQ(popup().Top(), 11520 - 360 - h + 15) << "the reshaped grid fits below";
}

TEST_F(DateControlOpening, TooLowPopupReshapesItsGridOnceByTheControlsMonths) {
    struct Case {
        int16_t columns, rows, wantColumns, wantRows;
    };
    const Case cases[] = {{1, 2, 2, 1}, {1, 3, 3, 1}, {2, 3, 3, 2}, {2, 2, 2, 1}, {3, 2, 3, 1},
                          {3, 3, 3, 2}, {1, 1, 1, 1}, {2, 1, 2, 1}, {3, 1, 3, 1}};
    placeControl(*c, 11400);
    for (const Case& k : cases) {
        c->setMonthColumns(k.columns);
        c->setMonthRows(k.rows);
        press(*c);
        ASSERT_TRUE(popup().Visible());
        EXPECT_EQ(grid().monthColumns(), k.wantColumns) << k.columns << "x" << k.rows;
        EXPECT_EQ(grid().monthRows(), k.wantRows) << k.columns << "x" << k.rows;
        EXPECT_EQ(popup().Height(), grid().height()) << "sized again after reshaping";
        EXPECT_EQ(c->MonthColumns(), k.columns);
        EXPECT_EQ(c->MonthRows(), k.rows);
        press(*c);
    }

    placeControl(*c, 1000);
    press(*c);
    EXPECT_EQ(grid().monthColumns(), 3) << "the next press starts from the control's own months";
    EXPECT_EQ(grid().monthRows(), 1);
}

class DateControlOnSmallScreen : public DateControlOpening {
protected:
    // 4500 twips high: a one-month popup (2025 twips) is too low from the
    // middle down.
    DateControlOnSmallScreen() { host.setScreen(1024, 300); }
};

TEST_F(DateControlOnSmallScreen, PopupGoesAboveOnlyWhenTheControlIsInTheLowerHalf) {
    c->setMonthRows(1);
    const float h = popupHeightFor(*c);
    ASSERT_GT(2250 + h + 360, 4500) << "too low from the middle down";

    placeControl(*c, 2250);
    press(*c);
    EXPECT_EQ(popup().Top(), 2250) << "the middle itself is not the lower half";
    press(*c);

    placeControl(*c, 2265);
    press(*c);
    EXPECT_EQ(popup().Top(), 2265 - h - 330) << "bottom edge on the control's top edge";
    press(*c);

    c->setMonthColumns(3);
    c->setMonthRows(3);
    placeControl(*c, 600);
    press(*c);
    EXPECT_EQ(popup().Top(), 600) << "in the upper half it stays below";
    EXPECT_GT(popup().Top() + popup().Height(), 4500) << "and runs past the bottom of the screen";
}

TEST_F(DateControlOnSmallScreen, PopupAboveMayStartAboveTheScreen) {
    c->setMonthColumns(3);
    c->setMonthRows(3);
    placeControl(*c, 4000);
    press(*c);
    ASSERT_EQ(grid().monthRows(), 2);
    EXPECT_EQ(popup().Top(), 4000 - grid().height() - 330);
    EXPECT_LT(popup().Top(), 0);
}

TEST_F(DateControlOpening, PopupIsPulledInFromTheRightEdgeOnly) {
    const float width = [&] {
        press(*c);
        const float w = popup().Width();
        press(*c);
        return w;
    }();

    placeControl(*c, 1000, 15360 - width + 15);
    press(*c);
    EXPECT_EQ(popup().Left(), 15360 - width) << "ends exactly at the right edge";
    press(*c);

    placeControl(*c, 1000, -600);
    press(*c);
    EXPECT_EQ(popup().Left(), -600) << "nothing keeps it inside on the left";
    press(*c);

    host.setScreen(300, 768);
    c->setMonthColumns(3);
    placeControl(*c, 1000, 0);
    press(*c);
    EXPECT_EQ(popup().Left(), 4500 - popup().Width()) << "wider than the screen";
    EXPECT_LT(popup().Left(), 0);
}

// Beside the main screen (1024 x 768 pixels): one to its right that is taller,
// one to its left, one below it and a low one above it. Each rule of the
// placing holds on the screen the control stands on.
TEST_F(DateControlOpening, OnADesktopOfSeveralScreensThePopupKeepsToTheControlsScreen) {
    host.addScreen(1024, 0, 1280, 1024);  // 15360 to 34560 × 0 to 15360 twips
    host.addScreen(-1280, 0, 1280, 1024);  // -19200 to 0
    host.addScreen(0, 768, 1024, 768);    // 11520 to 23040 down
    host.addScreen(0, -300, 1024, 300);   // -4500 to 0 down
    c->setMonthRows(1);
    placeControl(*c, 1000);
    press(*c);
    const float h = popup().Height(), w = popup().Width();
    press(*c);
    ASSERT_EQ(h, 2025);
    struct Case {
        const char* where;
        float left, bottom;         // the control's corner, twips (it is 3015 wide)
        float wantLeft, wantTop;    // the popup's
        bool modal = false;
    };
    const Case cases[] = {
        {"right, near its right edge", 31460, 3000, 34560 - w, 3000},
        {"right, below the main screen's bottom", 20000, 12000, 20000, 12000},
        {"left, near its right edge", -3100, 3000, -w, 3000},
        {"below, high on it", 1500, 13520, 1500, 13520},
        {"below, at its bottom", 1500, 22040, 1500, 22040 - h - 330},
        {"above, in its upper half", 1500, -3000, 1500, -3000},
        {"above, in its lower half", 1500, -2100, 1500, -2100 - h - 330},
        {"above, shown modally", 1500, -2100, 1500, -4500, true},
    };
    for (const Case& k : cases) {
        host.setRefuseModeless(k.modal);
        float top = -1, left = -1;
        auto seen = [&] {
            top = popup().Top();
            left = popup().Left();
        };
        host.onModalIdle = [&] {
            seen();
            host.postKey(cancelButton(), "ESC");
            return true;
        };
        placeControl(*c, k.bottom, k.left);
        press(*c);
        if (!k.modal) {
            seen();
            press(*c);
        }
        EXPECT_EQ(left, k.wantLeft) << k.where;
        EXPECT_EQ(top, k.wantTop) << k.where;
        EXPECT_FALSE(popup().isLoaded()) << k.where;
    }
}

TEST_F(DateControlOpening, PressOnAnOpenPopupFromAnotherControlClosesItAndFocusesThatDateBox) {
    auto other = add("Cal2", 1500, 3000);
    press(*c);
    ASSERT_TRUE(popup().Visible());
    log.clear();
    press(*other);
    EXPECT_FALSE(popup().isLoaded());
    EXPECT_EQ(host.focusedChild(), other->cal());
    EXPECT_EQ(c->Value().toDate(), 36759);
    EXPECT_TRUE(log.empty()) << "no date changes";

    press(*other);
    EXPECT_EQ(popup().objBackReference, other);
}

TEST_F(DateControlOpening, CanOpenFalseBarsTheButtonAndTheDateBoxesOwnCalendar) {
    auto box = std::dynamic_pointer_cast<HeadlessDateBox>(c->cal());
    c->setCanOpen(false);
    c->cmd()->setEnabled(true);
    c->HandleDropButtonDown(1, 0, 30, 30);
    EXPECT_FALSE(c->cmd()->enabled()) << "each press follows CanOpen";
    EXPECT_FALSE(popup().isLoaded());

    box->dropDown();
    host.runUntilIdle();
    EXPECT_EQ(host.keysSent(), (std::vector<std::string>{"{ESC}"}));
    EXPECT_FALSE(box->droppedDown());

    c->setCanOpen(true);
    box->dropDown();
    host.runUntilIdle();
    EXPECT_EQ(host.keysSent().size(), 1u);
    EXPECT_TRUE(box->droppedDown()) << "with CanOpen the box's own calendar is left alone";
}

TEST_F(DateControlOpening, RefusedModelessPopupIsShownModallyBelowWithItsCancelButton) {
    host.setRefuseModeless(true);
    placeControl(*c, 3000);
    bool seen = false;
    host.onModalIdle = [&] {
        if (seen) return false;
        seen = true;
        EXPECT_EQ(popup().Top(), 3000) << "below the control the top stays";
        EXPECT_TRUE(popup().cmdCancel().visible());
        EXPECT_EQ(popup().cmdCancel().left(), 0);
        EXPECT_EQ(popup().cmdCancel().top(), grid().top() + grid().height());
        EXPECT_EQ(popup().cmdCancel().width(), grid().width());
        EXPECT_EQ(popup().Height(), grid().height() + 285) << "grows downward by the button";
        host.postMouseDown(cancelButton());
        return true;
    };
    press(*c);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(popup().isLoaded()) << "the cancel button closed it at the press";
    EXPECT_EQ(traced("show frmCalendar modal"), 1);
    EXPECT_EQ(c->Value().toDate(), 36759);
}

TEST_F(DateControlOnSmallScreen, RefusedModelessPopupAboveMovesUpByTheCancelButtonButNotPastTheTop) {
    c->setMonthRows(1);
    const float h = popupHeightFor(*c);
    host.setRefuseModeless(true);
    float top = -1, height = -1;
    host.onModalIdle = [&] {
        top = popup().Top();
        height = popup().Height();
        host.postKey(cancelButton(), "ESC");
        return true;
    };

    placeControl(*c, 4400);
    press(*c);
    EXPECT_EQ(top, 4400 - h - 330 - 285);
    EXPECT_EQ(height, h + 285);
    EXPECT_FALSE(popup().isLoaded()) << "Escape on the focused cancel button closes";

    placeControl(*c, 2400);
    ASSERT_LT(2400 - h - 330 - 285, 0);
    press(*c);
    EXPECT_EQ(top, 0);
}

}  // namespace
}  // namespace tavo
