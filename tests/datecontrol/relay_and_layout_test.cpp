// The events the application hears from the date box, and the arrangement of
// date box and button on every resize.
#include "date_control_fixture.h"

#include "backends/headless/headless_date_box.h"

namespace tavo {
namespace {

class DateControlRelay : public DateControlTest {
protected:
    std::shared_ptr<TavoCalendarDropDown> c = add("Cal1");
    HeadlessDateBox& box() { return dynamic_cast<HeadlessDateBox&>(*c->cal()); }
};

TEST_F(DateControlRelay, KeyArgumentsAreSharedWithTheApplicationsHandler) {
    onEvent = [](Control&, std::string_view event, std::span<Variant> args) {
        if (event == "KeyPress") args[0] = Variant::integer(0);
        if (event == "KeyDown") {
            args[0] = Variant::integer(args[0].toInteger() + 1);
            args[1] = Variant::integer(4);
        }
        if (event == "KeyUp") args[1] = Variant::integer(2);
    };
    int16_t keyAscii = 'a';
    c->cal()->onKeyPress(keyAscii);
    EXPECT_EQ(keyAscii, 0) << "the date box finds the cancelled key";

    int16_t keyCode = 65, shift = 1;
    c->cal()->onKeyDown(keyCode, shift);
    EXPECT_EQ(keyCode, 66);
    EXPECT_EQ(shift, 4);

    keyCode = 65, shift = 1;
    c->cal()->onKeyUp(keyCode, shift);
    EXPECT_EQ(keyCode, 65);
    EXPECT_EQ(shift, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.KeyPress 97", "event Cal1.KeyDown 65 1",
                                             "event Cal1.KeyUp 65 1"}));
}

TEST_F(DateControlRelay, ClickAndDoubleClickAreRelayed) {
    box().click();
    box().dblClick();
    host.runUntilIdle();
    // The first press of a double click is a click of its own.
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.Click", "event Cal1.Click", "event Cal1.DblClick"}));
}

TEST_F(DateControlRelay, DateBoxChangeClosesAPopupOpenedByAnyControlThenRaisesChange) {
    auto other = add("Cal2", 1500, 3000);
    press(*other);
    ASSERT_TRUE(popup().Visible());
    bool closedFirst = false;
    onEvent = [&](Control&, std::string_view event, std::span<Variant>) {
        if (event == "Change") closedFirst = !popup().isLoaded();
    };
    log.clear();
    box().userChange(36770);
    host.runUntilIdle();
    EXPECT_TRUE(closedFirst);
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.Change"}));
    EXPECT_EQ(c->Value().toDate(), 36770);

    log.clear();
    box().userChange(36771);
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"event Cal1.Change"})) << "without a popup: Change only";
}

class DateControlLayout : public DateControlTest {};

TEST_F(DateControlLayout, DateBoxFillsTheSurfaceAndTheButtonSitsTwoPixelsInside) {
    auto c = add("Cal1", 0, 0, 3015, 330);
    EXPECT_EQ(c->cal()->left(), 0);
    EXPECT_EQ(c->cal()->top(), 0);
    EXPECT_EQ(c->cal()->width(), 3015);
    EXPECT_EQ(c->cal()->height(), 330);
    EXPECT_EQ(c->cmd()->left(), 2745);
    EXPECT_EQ(c->cmd()->top(), 30);
    EXPECT_EQ(c->cmd()->width(), 240);
    EXPECT_EQ(c->cmd()->height(), 270);

    host.setScreen(1024, 768, 120);  // 12 twips a pixel
    c->site().setWidth(4000);
    EXPECT_EQ(c->cmd()->left(), 4000 - 240 - 24);
    EXPECT_EQ(c->cmd()->top(), 24);
    EXPECT_EQ(c->cmd()->height(), 330 - 48);
}

TEST_F(DateControlLayout, RejectedButtonHeightLeavesTheOtherPlacementsApplied) {
    auto c = add("Cal1", 0, 0, 3015, 330);
    c->site().setHeight(45);  // three pixels: the button would be -15 high
    EXPECT_EQ(c->cmd()->height(), 270) << "keeps its earlier height";
    EXPECT_EQ(c->cal()->height(), 45);
    EXPECT_EQ(c->cmd()->top(), 30);

    c->site().setWidth(200);
    EXPECT_EQ(c->cmd()->left(), 200 - 240 - 30) << "left of the surface is applied as computed";
}

}  // namespace
}  // namespace tavo
