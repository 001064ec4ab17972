// Windows, activation, the modal loop, control surfaces and the window functions.
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class WindowTest : public HeadlessTest {
protected:
    std::shared_ptr<Window> dialog = host.createWindow(windowDesign("dlg"));

    // A button on the dialog that unloads it when pressed.
    std::shared_ptr<PushButton> closeButton() {
        auto b = dialog->addButton(childDesign("cmdClose"));
        b->onMouseDown = [this](int16_t, int16_t, float, float) { dialog->destroy(); };
        return b;
    }
};

TEST_F(WindowTest, WindowsStartHiddenWithUniqueHandlesAndShowActivatesThroughTheLoop) {
    EXPECT_FALSE(dialog->visible());
    EXPECT_NE(dialog->hWnd(), 0);
    EXPECT_NE(dialog->hWnd(), form->hWnd());
    EXPECT_EQ(host.getActiveWindow(), form->hWnd());

    dialog->onActivate = [&] { log.push_back("activate"); };
    dialog->show();
    EXPECT_TRUE(dialog->visible());
    EXPECT_EQ(host.getActiveWindow(), dialog->hWnd());
    EXPECT_TRUE(log.empty()) << "Activate is posted, not raised inside Show";
    host.runUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"activate"});
    EXPECT_EQ(host.trace(), std::vector<std::string>{"show dlg modeless"});
}

TEST_F(WindowTest, TheRefuseSwitchMakesModelessShowFail) {
    host.setRefuseModeless(true);
    EXPECT_EQ(errorNumberOf([&] { dialog->show(); }), err::CantShowModeless);
    EXPECT_FALSE(dialog->visible());
    host.setRefuseModeless(false);
    dialog->show();
    EXPECT_TRUE(dialog->visible());
}

TEST_F(WindowTest, TheModalLoopReturnsWhenAPostedClickUnloadsTheWindow) {
    auto close = closeButton();
    int idleCalls = 0;
    host.onModalIdle = [&] {
        if (idleCalls++ > 0) return false;
        host.postClick(close);
        return true;
    };
    dialog->showModal();
    EXPECT_TRUE(dialog->destroyed());
    EXPECT_FALSE(host.modalActive());
    EXPECT_EQ(host.getActiveWindow(), form->hWnd());
    EXPECT_EQ(host.trace(), (std::vector<std::string>{"show dlg modal", "unload dlg"}));
}

TEST_F(WindowTest, AModalWindowThatNothingCanCloseFailsClearlyInsteadOfHanging) {
    // An idle hook that claims more is coming but posts nothing counts as nothing.
    host.onModalIdle = [] { return true; };
    try {
        dialog->showModal();
        FAIL() << "showModal returned";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::InvalidProcedureCall);
        EXPECT_NE(std::string(e.what()).find("modal window dlg is waiting and nothing is left that could close it"),
                  std::string::npos);
    }
    EXPECT_FALSE(dialog->visible());
    EXPECT_FALSE(host.modalActive());
}

TEST_F(WindowTest, WhileModalOtherWindowsTakeNoInputButTimersStillTick) {
    auto close = closeButton();
    auto formButton = form->addButton(childDesign("cmdForm"));
    formButton->onClick = [&] { log.push_back("form click"); };
    auto tick = form->addTimer(timerDesign("tmr", 100));
    tick->onTimer = [&] { log.push_back("tick"); };
    auto other = host.createWindow(windowDesign("other"));

    int step = 0;
    host.onModalIdle = [&] {
        switch (step++) {
        case 0:
            EXPECT_EQ(errorNumberOf([&] { other->show(); }), err::CantShowModeless);
            host.postClick(formButton);
            host.postActivate(form);
            return true;
        case 1:
            EXPECT_EQ(host.getActiveWindow(), dialog->hWnd());
            host.advance(100);
            return true;
        default: host.postClick(close); return true;
        }
    };
    dialog->showModal();
    EXPECT_EQ(log, std::vector<std::string>{"tick"});
    host.postClick(formButton);
    host.runUntilIdle();
    EXPECT_EQ(log.back(), "form click");
}

TEST_F(WindowTest, ActivationGoesBackToTheMainWindowOrToAnotherApplication) {
    dialog->show();
    host.postActivateOtherApplication();
    host.runUntilIdle();
    EXPECT_EQ(host.getActiveWindow(), 0);

    host.postActivate(dialog);
    host.runUntilIdle();
    EXPECT_EQ(host.getActiveWindow(), dialog->hWnd());
    dialog->destroy();
    EXPECT_EQ(host.getActiveWindow(), form->hWnd());
    EXPECT_EQ(host.windowByHandle(dialog->hWnd()), nullptr);
    EXPECT_EQ(host.windows(), std::vector<std::shared_ptr<Window>>{form});

    form->destroy();
    EXPECT_EQ(host.getActiveWindow(), 0);
}

TEST_F(WindowTest, UnloadFromAHandlerDropsEverythingQueuedForTheWindow) {
    auto button = dialog->addButton(childDesign("cmd"));
    button->onClick = [&] {
        log.push_back("click");
        dialog->destroy();
    };
    auto box = dialog->addComponent("MSComCtl2.DTPicker", childDesign("cal"));
    box->setFocus();
    EXPECT_EQ(host.focusedChild(), box);
    host.postClick(button);
    host.postClick(button);
    host.postKey(box, "a");
    host.runUntilIdle();
    EXPECT_EQ(log, std::vector<std::string>{"click"});
    EXPECT_EQ(host.focusedChild(), nullptr);
    EXPECT_EQ(errorNumberOf([&] { box->setFocus(); }), err::InvalidProcedureCall);
    dialog->destroy();
    EXPECT_EQ(host.trace(), std::vector<std::string>{"unload dlg"}) << "a second unload does nothing";
}

TEST_F(WindowTest, SizesAreKeptExactlyAndNegativeOnesAreRefused) {
    dialog->setLeft(-120.5f);
    dialog->setWidth(4365.25f);
    EXPECT_EQ(dialog->left(), -120.5f);
    EXPECT_EQ(dialog->width(), 4365.25f);
    EXPECT_EQ(errorNumberOf([&] { dialog->setHeight(-1); }), err::InvalidPropertyValue);

    auto site = host.createSite(*form, "ctl", Placement{10, 20, 1200, 300});
    EXPECT_EQ(errorNumberOf([&] { site->setWidth(-5); }), err::InvalidPropertyValue);
    auto button = site->addButton(childDesign("cmd"));
    EXPECT_EQ(errorNumberOf([&] { button->setHeight(-0.5f); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { site->addButton(childDesign("bad", 0, 0, -1, 10)); }), err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { site->addComponent("MSComCtl2.Animation", childDesign("x")); }),
              err::CantCreateObject);
}

TEST_F(WindowTest, ASurfaceCallsResizeOnlyWhenItsSizeChangesAlsoFromInsideResize) {
    auto site = host.createSite(*form, "ctl", Placement{0, 0, 1200, 300});
    EXPECT_EQ(site->scaleWidth(), 1200);
    EXPECT_EQ(site->backColor(), 0x8000000Fu);
    EXPECT_EQ(site->ambientFont(), host.createSite(*form, "other", {})->ambientFont());
    EXPECT_EQ(site->ambientFont()->name, "MS Sans Serif");
    int resizes = 0;
    site->onResize = [&] {
        ++resizes;
        site->setHeight(315);  // a control that keeps a fixed height
    };
    site->setWidth(1200);
    EXPECT_EQ(resizes, 0);
    site->setWidth(1500);
    EXPECT_EQ(resizes, 2) << "the height put changed the size once, then no more";
    EXPECT_EQ(site->height(), 315);
}

TEST_F(WindowTest, TopmostMessageBoxesAndScreenAreRecordedAndAnswered) {
    EXPECT_TRUE(host.setWindowPos(dialog->hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(host.isTopmost(dialog->hWnd()));
    EXPECT_FALSE(host.setWindowPos(9999, HWND_TOPMOST, 0, 0, 0, 0, 3));

    host.setMsgBoxAnswer(2);
    EXPECT_EQ(host.msgBox("Zeile eins\r\nZeile zwei", 0), 2);
    ASSERT_EQ(host.messageBoxes().size(), 1u);
    EXPECT_EQ(host.messageBoxes()[0].text, "Zeile eins\r\nZeile zwei");
    EXPECT_EQ(host.trace(), (std::vector<std::string>{"topmost dlg", "msgbox 0 \"Zeile eins\\r\\nZeile zwei\""}));

    EXPECT_EQ(host.twipsPerPixelX(), 15);
    EXPECT_EQ(host.screenWidth(), 1024 * 15);
    EXPECT_EQ(host.today(), 36759);
    host.setScreen(800, 600, 144);
    EXPECT_EQ(host.twipsPerPixelY(), 10);
    EXPECT_EQ(host.screenHeight(), 6000);
}

TEST_F(WindowTest, ScreenFiguresOutsideTheirLimitsAreRefusedAndChangeNothing) {
    struct Case {
        int width, height, dpi;
        bool accepted;
    };
    const Case cases[] = {
        {1, 1, 1, true},         {65535, 65535, 1440, true}, {0, 768, 96, false},
        {1024, -1, 96, false},   {1024, 768, 0, false},      {65536, 768, 96, false},
        {1024, 65536, 96, false}, {1024, 768, 1441, false},  {1024, 768, 2147483647, false},
    };
    for (const Case& c : cases) {
        host.setScreen(800, 600, 144);
        EXPECT_EQ(errorNumberOf([&] { host.setScreen(c.width, c.height, c.dpi); }), c.accepted ? 0 : err::InvalidProcedureCall)
            << c.width << " x " << c.height << " at " << c.dpi;
        EXPECT_EQ(host.screenWidth(), c.accepted ? c.width * 1440.0f / c.dpi : 8000.0f) << c.width;
    }
}

// A desktop of several screens: the screen functions answer for the one the
// pointer is on, in the desktop's positions; a screen may not overlap another.
TEST_F(WindowTest, OtherScreensAnswerWhereThePointerIsAndMayNotOverlap) {
    host.setScreen(1024, 768);
    host.addScreen(1024, 0, 1280, 1024);
    host.addScreen(0, -300, 1024, 300);
    struct Where {
        int32_t x, y;
        float left, top, width, height;  // twips
    };
    const Where answers[] = {
        {10, 10, 0, 0, 15360, 11520},            {1023, 767, 0, 0, 15360, 11520},
        {1024, 0, 15360, 0, 19200, 15360},       {2303, 1023, 15360, 0, 19200, 15360},
        {500, -1, 0, -4500, 15360, 4500},        {2304, 0, 0, 0, 15360, 11520},  // between screens: the main one
        {1500, 900, 15360, 0, 19200, 15360},     {-5, 10, 0, 0, 15360, 11520},
    };
    for (const Where& w : answers) {
        host.setCursorPos(w.x, w.y);
        EXPECT_EQ(host.screenLeft(), w.left) << w.x << ", " << w.y;
        EXPECT_EQ(host.screenTop(), w.top) << w.x << ", " << w.y;
        EXPECT_EQ(host.screenWidth(), w.width) << w.x << ", " << w.y;
        EXPECT_EQ(host.screenHeight(), w.height) << w.x << ", " << w.y;
    }

    struct Refused {
        int left, top, width, height;
        const char* says;
    };
    const Refused refused[] = {
        {1023, 100, 100, 100, "overlaps the main screen"},
        {2000, 1000, 500, 500, "overlaps the screen at 1024, 0 (1280 x 1024)"},
        {-100, -400, 200, 101, "overlaps the screen at 0, -300 (1024 x 300)"},
        {-2000, 0, 0, 768, "the width must be 1 to 65535, not 0"},
        {-2000, 0, 1024, 65536, "the height must be 1 to 65535, not 65536"},
        {-65536, 0, 1024, 768, "the left must be -65535 to 65535, not -65536"},
    };
    for (const Refused& r : refused) {
        const std::string message = errorMessageOf([&] { host.addScreen(r.left, r.top, r.width, r.height); });
        EXPECT_NE(message.find(r.says), std::string::npos) << message;
    }
    host.setCursorPos(-1000, 10);
    EXPECT_EQ(host.screenLeft(), 0) << "no refused screen was added";
    host.addScreen(-1024, 0, 1024, 768);
    EXPECT_EQ(host.screenLeft(), -15360) << "touching edges do not overlap";
    EXPECT_NE(errorMessageOf([&] { host.setScreen(1025, 768); }).find("overlaps the screen at 1024, 0"), std::string::npos)
        << "nor may the main screen grow over another";
}

}  // namespace
}  // namespace tavo
