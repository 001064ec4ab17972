// Mouse and keyboard input: order, disabled targets, pointer position, key
// preview and the keys each kind of child takes.
#include <cmath>

#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_month_grid.h"
#include "backends/headless/key_stroke.h"
#include "tavo/components/date_components.h"
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class InputTest : public HeadlessTest {
protected:
    std::unique_ptr<ControlSite> site = host.createSite(*form, "ctl", Placement{250, 100, 1200, 315});

    std::shared_ptr<Image> image(const std::string& name) {
        auto img = site->addImage(childDesign(name, 37, 0, 240, 225));
        img->onMouseDown = [this, name](int16_t, int16_t, float, float) { log.push_back(name + " down"); };
        img->onMouseUp = [this, name](int16_t, int16_t, float, float) { log.push_back(name + " up"); };
        img->onClick = [this, name] { log.push_back(name + " click"); };
        return img;
    }
    std::shared_ptr<HeadlessDateBox> dateBox(Container& on) {
        auto box =
            std::dynamic_pointer_cast<HeadlessDateBox>(on.addComponent("MSComCtl2.DTPicker", childDesign("cal")));
        box->onKeyDown = [this](int16_t& code, int16_t&) { log.push_back("down " + std::to_string(code)); };
        box->onKeyPress = [this](int16_t& ascii) { log.push_back("press " + std::to_string(ascii)); };
        box->onKeyUp = [this](int16_t& code, int16_t&) { log.push_back("up " + std::to_string(code)); };
        return box;
    }
};

TEST_F(InputTest, AClickArrivesAsDownUpClickForImagesAndDownClickForButtons) {
    auto img = image("img");
    auto button = site->addButton(childDesign("cmd"));
    button->onMouseDown = [&](int16_t b, int16_t, float, float) { log.push_back("cmd down " + std::to_string(b)); };
    button->onClick = [&] { log.push_back("cmd click"); };
    host.postClick(img);
    host.postClick(button, 2);
    host.postMouseDown(img);
    host.postMouseUp(img);
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"img down", "img up", "img click", "cmd down 2", "cmd click", "img down",
                                             "img up"}));
    EXPECT_EQ(host.focusedChild(), button) << "a pressed button takes the focus, an image does not";
}

TEST_F(InputTest, NothingReachesAChildThatIsDisabledHiddenOrOnADisabledSurface) {
    auto img = image("img");
    site->setEnabled(false);
    host.postClick(img);
    host.runUntilIdle();
    site->setEnabled(true);
    img->setVisible(false);
    host.postClick(img);
    host.runUntilIdle();
    img->setVisible(true);
    img->setEnabled(false);
    host.postClick(img);
    host.runUntilIdle();
    EXPECT_TRUE(log.empty());
    // Looked at on delivery: disabled when posted, enabled before the loop runs.
    host.postMouseDown(img);
    img->setEnabled(true);
    host.runUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"img down"});

    img->onMouseDown = [&](int16_t, int16_t, float, float) {
        log.push_back("down, then disabled");
        site->setEnabled(false);
    };
    log.clear();
    host.postClick(img);
    host.runUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"down, then disabled"});
}

TEST_F(InputTest, APressOnAnInactiveWindowActivatesItFirst) {
    auto dialog = host.createWindow(windowDesign("dlg"));
    dialog->onActivate = [&] { log.push_back("activate"); };
    auto img = dialog->addImage(childDesign("img"));
    img->onMouseDown = [&](int16_t, int16_t, float, float) { log.push_back("down"); };
    host.postMouseDown(img);
    host.postMouseDown(img);
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"activate", "down", "down"}));
    EXPECT_EQ(host.getActiveWindow(), dialog->hWnd());
}

TEST_F(InputTest, PointerPositionAndXYAgreeOnTheSurfacesLeftEdge) {
    host.setScreen(1024, 768, 120);  // 12 twips per pixel
    form->setLeft(1003);
    form->setTop(2005.5f);
    auto button = site->addButton(childDesign("cmd", 937, 45, 240, 225));
    float gotX = 0, gotY = 0;
    button->onMouseDown = [&](int16_t, int16_t, float x, float y) {
        gotX = x;
        gotY = y;
    };
    for (const float x : {0.0f, 5.0f, 11.0f, 239.0f}) {
        host.postMouseDown(button, 1, 0, x, 100);
        host.runUntilIdle();
        int32_t cx = 0, cy = 0;
        ASSERT_TRUE(host.getCursorPos(cx, cy));
        EXPECT_EQ(cx, static_cast<int32_t>((1003 + 250 + 937 + x) / 12));
        EXPECT_EQ(cx * 12.0 - gotX - button->left(), 1003 + 250) << "x " << x;
        EXPECT_EQ(cy * 12.0 - gotY - button->top(), 2005.5 + 100);
        EXPECT_LE(std::abs(gotX - x), 12.0f);
    }
}

TEST_F(InputTest, KeyPreviewSeesCharactersFirstAndCanCancelThem) {
    auto dialog = host.createWindow(windowDesign("dlg", true));
    auto box = dateBox(*dialog);
    dialog->onKeyPress = [&](int16_t& ascii) {
        log.push_back("preview " + std::to_string(ascii));
        if (ascii == 'x') ascii = 0;
    };
    host.postKey(box, "a");
    host.postKey(box, "x");
    host.postKey(box, "LEFT");
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"down 65", "preview 97", "press 97", "up 65", "down 88", "preview 120",
                                             "up 88", "down 37", "up 37"}));
    EXPECT_EQ(errorNumberOf([&] { host.postKey(box, "SHIFT"); }), err::InvalidProcedureCall);
}

TEST_F(InputTest, WithoutKeyPreviewTheWindowHearsNoKeys) {
    auto box = dateBox(*form);
    form->onKeyPress = [&](int16_t&) { log.push_back("form"); };
    host.postKey(box, "ESC");
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"down 27", "press 27", "up 27"}));
}

TEST_F(InputTest, SendKeysGoesToTheFocusedChildWhenTheLoopGetsThere) {
    auto box = dateBox(*form);
    host.sendKeys("a~");
    host.runUntilIdle();
    EXPECT_TRUE(log.empty()) << "no child has the focus";
    box->setFocus();
    host.sendKeys("{ESC}");
    EXPECT_TRUE(log.empty()) << "SendKeys does not wait";
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"down 27", "press 27", "up 27"}));
    EXPECT_EQ(host.keysSent(), (std::vector<std::string>{"a~", "{ESC}"}));
    EXPECT_EQ(host.trace().back(), "sendkeys \"{ESC}\"");
}

TEST(SendKeysText, NamedKeysQuotedCharactersAndShiftStates) {
    EXPECT_EQ(parseSendKeys("{ESC}a~{}}+{TAB}%{DOWN}"),
              (std::vector<KeyStroke>{
                  {27, 27, 0}, {'A', 'a', 0}, {13, 13, 0}, {'}', '}', 0}, {9, 0, kShiftMask}, {40, 0, kAltMask}}));
    EXPECT_EQ(parseSendKeys("{pgdn}{F4}1"), (std::vector<KeyStroke>{{34, 0, 0}, {115, 0, 0}, {'1', '1', 0}}));
    for (const char* bad : {"{ESC", "{NOPE}", "a}", "+", "\t"}) {
        try {
            parseSendKeys(bad);
            ADD_FAILURE() << bad;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::InvalidProcedureCall);
            EXPECT_NE(std::string(e.what()).find("position"), std::string::npos) << e.what();
        }
    }
}

TEST_F(InputTest, ADateBoxDropsItsOwnCalendarOnF4AndClosesItOnEscape) {
    auto box = dateBox(*form);
    box->onDropDown = [&] {
        log.push_back("dropdown");
        host.sendKeys("{ESC}");
    };
    host.postKey(box, "F4");
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"down 115", "dropdown", "up 115"}))
        << "the Escape went to the open calendar, not to the box's key events";
    EXPECT_FALSE(box->droppedDown());
    EXPECT_EQ(host.focusedChild(), box);

    box->setUpDown(true);
    box->dropDown();
    host.runUntilIdle();
    EXPECT_EQ(log.size(), 3u) << "an up-down box has no calendar to drop";
}

TEST_F(InputTest, MonthGridKeysMoveTheDayWithinRangeAndEnterClicksIt) {
    auto grid = std::dynamic_pointer_cast<HeadlessMonthGrid>(form->addComponent("MSComCtl2.MonthView", {}));
    std::vector<double> clicked;
    grid->onDateClick = [&](double d) { clicked.push_back(d); };
    grid->setMaxDate(36770);  // 1 September 2000
    const std::vector<std::pair<std::string, double>> steps{{"RIGHT", 36760}, {"DOWN", 36767},  {"PGUP", 36736},
                                                            {"HOME", 36708},  {"END", 36738},   {"PGDN", 36769},
                                                            {"RIGHT", 36770}, {"RIGHT", 36770}, {"UP", 36763}};
    for (const auto& [key, expected] : steps) {
        host.postKey(grid, key);
        host.runUntilIdle();
        EXPECT_EQ(grid->value(), expected) << key;
    }
    host.postKey(grid, "ENTER");
    host.runUntilIdle();
    EXPECT_EQ(clicked, std::vector<double>{36763});
}

TEST_F(InputTest, AButtonTakesEnterAndSpaceAsAClick) {
    auto button = form->addButton(childDesign("cmdCancel"));
    button->onClick = [&] { log.push_back("click"); };
    for (const char* k : {"ENTER", " ", "a", "ESC"}) host.postKey(button, k);
    host.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"click", "click"}));
}

}  // namespace
}  // namespace tavo
