#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <vector>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_image.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_timer.h"
#include "backends/qt/qt_window.h"
#include "qt_test_support.h"
#include "tavo/host/colour.h"
#include "tavo/host/error.h"
#include "tavo/qt/qt_host.h"

namespace tavo {
namespace {

class QtHostTest : public ::testing::Test {
protected:
    std::shared_ptr<QtWindow> window(const std::string& name, bool border = true, bool keyPreview = false) {
        WindowDesign d;
        d.name = name;
        d.border = border;
        d.showInTaskbar = border;
        d.keyPreview = keyPreview;
        d.clientWidth = 3000;
        d.clientHeight = 1500;
        return std::static_pointer_cast<QtWindow>(host.createWindow(d));
    }
    static ChildDesign design(const std::string& name, float w = 600, float h = 300, int index = -1) {
        ChildDesign d;
        d.name = name;
        d.index = index;
        d.width = w;
        d.height = h;
        return d;
    }

    QtHost host;
};

TEST_F(QtHostTest, ScreenMetricsComeFromTheScreensLogicalDpi) {
    EXPECT_FLOAT_EQ(host.twipsPerPixelX(), 15.0f);  // the offscreen screen is 96 DPI
    EXPECT_FLOAT_EQ(host.screenWidth(), 15.0f * QGuiApplication::primaryScreen()->geometry().width());
    host.setToday(36759.75);
    EXPECT_EQ(host.today(), 36759.0);
}

TEST_F(QtHostTest, WindowsCarryTheirDesignAndKeepTwipsExactly) {
    auto popup = window("frmCalendar", false);
    QWidget* w = popup->widget();
    EXPECT_EQ(w->objectName(), "frmCalendar");
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(w->windowType(), Qt::Tool);
    EXPECT_EQ(w->size(), QSize(200, 100));

    popup->show();
    pump();
    popup->setLeft(1507);  // not a whole pixel: kept as set while the window stays there
    popup->setWidth(2565);
    EXPECT_FLOAT_EQ(popup->left(), 1507);
    EXPECT_FLOAT_EQ(popup->width(), 2565);
    // Without a border the outer size is the client size.
    EXPECT_EQ(w->width(), 171);
    EXPECT_EQ(w->frameGeometry().width(), 171);
    w->move(10, 20);  // moved by someone else: the real place shows
    EXPECT_FLOAT_EQ(popup->left(), 150);
    EXPECT_EQ(errorNumberOf([&] { popup->setHeight(-1); }), err::InvalidPropertyValue);
}

TEST_F(QtHostTest, ActivationRaisesActivateAndTheActiveWindowIsKnownByHandle) {
    auto form = window("Form1"), popup = window("frmCalendar", false);
    int activations = 0;
    popup->onActivate = [&] { ++activations; };
    form->show();
    pump();
    EXPECT_EQ(host.getActiveWindow(), form->hWnd());
    popup->show();
    EXPECT_EQ(activations, 0);  // delivered by the loop, not inside Show
    pump();
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(host.getActiveWindow(), popup->hWnd());
    EXPECT_NE(popup->hWnd(), form->hWnd());

    QApplication::setActiveWindow(nullptr);  // another application took the focus
    EXPECT_EQ(host.getActiveWindow(), 0);
}

TEST_F(QtHostTest, TopmostKeepsTheWindowShownAndInPlace) {
    auto popup = window("frmCalendar", false);
    popup->show();
    popup->setLeft(3000);
    pump();
    EXPECT_TRUE(host.setWindowPos(popup->hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(popup->widget()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(popup->visible());
    EXPECT_FLOAT_EQ(popup->left(), 3000);
    EXPECT_FALSE(host.setWindowPos(999999, HWND_TOPMOST, 0, 0, 0, 0, 3));
}

TEST_F(QtHostTest, ModelessShowIsRefusedWhileAModalWindowIsUp) {
    auto popup = window("frmCalendar", false);
    host.setRefuseModeless(true);
    EXPECT_EQ(errorNumberOf([&] { popup->show(); }), err::CantShowModeless);
    host.setRefuseModeless(false);

    QWidget dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    EXPECT_EQ(errorNumberOf([&] { popup->show(); }), err::CantShowModeless);
    dialog.hide();
    EXPECT_EQ(errorNumberOf([&] { popup->show(); }), 0);
}

TEST_F(QtHostTest, ModalShowReturnsWhenTheWindowUnloadsItselfFromItsOwnHandler) {
    auto popup = window("frmCalendar", false);
    auto cancel = popup->addButton(design("cmdCancel"));
    cancel->onMouseDown = [&](int16_t, int16_t, float, float) { popup->destroy(); };
    QPointer<QWidget> widget = popup->widget();
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(popup->isModal());
        EXPECT_EQ(QApplication::activeModalWidget(), widget.data());
        press(widget->findChild<QAbstractButton*>("cmdCancel"), {2, 2});
    });
    popup->showModal();
    EXPECT_FALSE(popup->isModal());
    EXPECT_TRUE(popup->destroyed());
    EXPECT_FALSE(popup->visible());
    pump();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
}

TEST_F(QtHostTest, ChildrenOfAnUnloadedWindowRaiseNothingMore) {
    auto popup = window("frmCalendar", false);
    auto tmr = std::static_pointer_cast<QtTimer>(popup->addTimer(design("tmr")));
    int ticks = 0;
    tmr->onTimer = [&] { ++ticks; };
    tmr->setInterval(1);
    tmr->setEnabled(true);
    ASSERT_TRUE(waitUntil([&] { return ticks > 0; }));
    popup->destroy();
    const int before = ticks;
    EXPECT_FALSE(tmr->timer() && tmr->timer()->isActive());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20) QApplication::processEvents();
    EXPECT_EQ(ticks, before);
    EXPECT_EQ(errorNumberOf([&] { popup->addButton(design("cmd")); }), err::ObjectNotSet);
}

TEST_F(QtHostTest, ImageMouseEventsComeInOrderInTwipsAndNotWhileTheSurfaceIsDisabled) {
    auto form = window("Form1");
    QtControlSite site(host, *form, "TavoSSTreeController1", Placement{150, 150, 1080, 300});
    auto img = std::static_pointer_cast<QtImage>(site.addImage(design("img", 240, 240, 2)));
    std::vector<std::string> seen;
    img->onMouseDown = [&](int16_t b, int16_t, float x, float y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(int(x)) + "," + std::to_string(int(y)));
    };
    img->onMouseUp = [&](int16_t, int16_t, float, float) { seen.push_back("up"); };
    img->onClick = [&] { seen.push_back("click"); };
    QWidget* w = site.surface()->findChild<QWidget*>("img(2)");
    ASSERT_NE(w, nullptr);
    form->show();
    pump();

    click(w, {3, 4}, Qt::RightButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"down 2 45,60", "up", "click"}));
    seen.clear();
    press(w, {3, 4});
    release(w, {100, 4});  // released outside: no click
    EXPECT_EQ(seen, (std::vector<std::string>{"down 1 45,60", "up"}));
    seen.clear();
    site.setEnabled(false);
    click(w, {3, 4});
    EXPECT_TRUE(seen.empty());
}

TEST_F(QtHostTest, ButtonRaisesMouseDownAtThePressAndClickAtTheRelease) {
    auto popup = window("frmCalendar", false);
    auto cmd = popup->addButton(design("cmdCancel", 2535, 285));
    cmd->setCaption("Abbrechen");
    std::vector<std::string> seen;
    cmd->onMouseDown = [&](int16_t, int16_t, float, float) { seen.push_back("down"); };
    cmd->onClick = [&] { seen.push_back("click"); };
    popup->show();
    pump();
    auto* b = popup->widget()->findChild<QAbstractButton*>("cmdCancel");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->text(), "Abbrechen");
    press(b, {5, 5});
    EXPECT_EQ(seen, std::vector<std::string>{"down"});
    release(b, {5, 5});
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "click"}));
}

TEST_F(QtHostTest, KeyPreviewSeesCharactersFirstAndCanSwallowThem) {
    auto popup = window("frmCalendar", false, true);
    auto cmd = popup->addButton(design("cmdCancel"));
    int clicks = 0;
    cmd->onClick = [&] { ++clicks; };
    std::vector<int> previewed;
    popup->onKeyPress = [&](int16_t& ascii) {
        previewed.push_back(ascii);
        if (ascii == ' ') ascii = 0;
    };
    popup->show();
    pump();
    cmd->setFocus();
    typeKey(Qt::Key_A, "a");
    typeKey(Qt::Key_Escape, QString(QChar(27)));
    typeKey(Qt::Key_Space, " ");  // swallowed: the button is not pressed
    EXPECT_EQ(previewed, (std::vector<int>{'a', 27, ' '}));
    EXPECT_EQ(clicks, 0);
}

TEST_F(QtHostTest, SendKeysPostsToTheFocusWidgetAndRejectsUnknownNames) {
    auto popup = window("frmCalendar", false, true);
    auto cmd = popup->addButton(design("cmdCancel"));
    std::vector<int> previewed;
    popup->onKeyPress = [&](int16_t& ascii) { previewed.push_back(ascii); };
    popup->show();
    pump();
    cmd->setFocus();
    host.sendKeys("{ESC}x~");
    EXPECT_TRUE(previewed.empty());  // queued, not sent
    pump();
    EXPECT_EQ(previewed, (std::vector<int>{27, 'x', 13}));
    EXPECT_EQ(errorNumberOf([&] { host.sendKeys("{NOSUCHKEY}"); }), err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { host.sendKeys("{ESC"); }), err::InvalidProcedureCall);
}

TEST_F(QtHostTest, MessageBoxHasTheApplicationsTitleAndAnOkButton) {
    QString title, text;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        buttons = int(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(host.msgBox("Zeile 1\r\nZeile 2", 0), 1);
    EXPECT_EQ(title, QApplication::applicationName());
    EXPECT_EQ(text, "Zeile 1\r\nZeile 2");
    EXPECT_EQ(buttons, 1);
}

TEST(QtConvert, SystemColoursComeFromThePaletteAndPlainColoursAreBgr) {
    QPalette pal;
    pal.setColor(QPalette::Base, QColor(1, 2, 3));
    pal.setColor(QPalette::Text, QColor(4, 5, 6));
    pal.setColor(QPalette::Button, QColor(7, 8, 9));
    pal.setColor(QPalette::Dark, QColor(10, 11, 12));
    pal.setColor(QPalette::Disabled, QPalette::Text, QColor(13, 14, 15));
    pal.setColor(QPalette::ButtonText, QColor(16, 17, 18));
    pal.setColor(QPalette::Light, QColor(19, 20, 21));
    EXPECT_EQ(toQColor(vbWindowBackground, pal), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(vbWindowText, pal), QColor(4, 5, 6));
    EXPECT_EQ(toQColor(vbButtonFace, pal), QColor(7, 8, 9));
    EXPECT_EQ(toQColor(vbButtonShadow, pal), QColor(10, 11, 12));
    EXPECT_EQ(toQColor(vbGrayText, pal), QColor(13, 14, 15));
    EXPECT_EQ(toQColor(vbButtonText, pal), QColor(16, 17, 18));
    EXPECT_EQ(toQColor(vb3DHighlight, pal), QColor(19, 20, 21));
    EXPECT_EQ(toQColor(0x00336699u, pal), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(fromQColor(QColor(0x99, 0x66, 0x33)), 0x00336699u);
}

TEST(QtConvert, FontsMapTheirAttributes) {
    Font f("Arial", 12, true, true);
    f.underline = true;
    f.strikethrough = true;
    const QFont q = toQFont(f);
    EXPECT_EQ(q.family(), "Arial");
    EXPECT_DOUBLE_EQ(q.pointSizeF(), 12.0);
    EXPECT_EQ(q.weight(), QFont::Bold);
    EXPECT_TRUE(q.italic() && q.underline() && q.strikeOut());
    const FontRef back = fontFromQFont(q);
    EXPECT_EQ(back->weight, 700);
    EXPECT_TRUE(back->italic && back->underline && back->strikethrough);
}

TEST(QtConvert, KeyCodesFollowThePlatformsNumbers) {
    EXPECT_EQ(keyCodeFromQt(Qt::Key_A), 65);
    EXPECT_EQ(keyCodeFromQt(Qt::Key_F4), 115);
    EXPECT_EQ(keyCodeFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(qtKeyFromKeyCode(38), Qt::Key_Up);
    EXPECT_EQ(keyAsciiFromQt(Qt::Key_Escape, {}), 27);
    EXPECT_EQ(keyAsciiFromQt(Qt::Key_Left, {}), 0);
    EXPECT_EQ(shiftFromQt(Qt::ShiftModifier | Qt::AltModifier), 5);
}

}  // namespace
}  // namespace tavo
