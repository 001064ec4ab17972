// The drop-down calendar end to end on a real X server, with a real window
// manager framing and stacking the windows and real X input (xdotool), as
// ctest runs it under tests/qt/under_window_manager.sh. Elsewhere it is
// skipped. Where the windows stand is read from the X server, not from Qt.
// The window system works on its own time: each step waits, with a deadline,
// until what it caused has arrived.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTimer>

#include "backends/qt/event_hook.h"
#include "qt_form_test.h"
#include "tavo/host/date.h"

namespace tavo {
namespace {

const QColor kOtherColour(255, 0, 255);

QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(5000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString xdotool(const QStringList& args) { return run(QStringLiteral("xdotool"), args); }

// Where the X server has a window's client area on the screen.
QRect onScreen(QWidget* w) {
    const QString info = run(QStringLiteral("xwininfo"), {"-id", QString::number(w->winId())});
    const auto value = [&](const char* label) {
        const int at = info.indexOf(QLatin1String(label));
        return at < 0 ? -1 : info.mid(at + int(qstrlen(label))).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    };
    return QRect(value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"), value("Height:"));
}

void realClick(QPoint at) {
    xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
}

QColor screenColour(QPoint at) {
    return QGuiApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
}

class QtWindowManagerTest : public QtFormTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb") ||
            qEnvironmentVariableIsEmpty("TAVO_WINDOW_MANAGER"))
            GTEST_SKIP() << "needs an X server with a window manager: ctest runs it under "
                            "tests/qt/under_window_manager.sh";
        // Another window, behind the form, over the place where the popup opens.
        other.setWindowTitle(QStringLiteral("Other"));
        QPalette pal = other.palette();
        pal.setColor(QPalette::Window, kOtherColour);
        other.setPalette(pal);
        other.setAutoFillBackground(true);
        other.setGeometry(60, 60, 700, 650);
        other.show();
        ASSERT_TRUE(waitUntil([&] { return other.isActiveWindow(); }, 10000));

        makeForm(6000, 3000);
        control = add<TavoCalendarDropDown>(TavoCalendarDropDown::kProgId, "Cal1", Placement{300, 300, 2400, 315});
        form->window().show();
        ASSERT_TRUE(waitUntil([&] { return formWidget()->isActiveWindow() && edit(*control)->hasFocus(); }, 10000));
    }

    QWidget* surface() { return static_cast<QtControlSite*>(form->siteOf(*control))->surface(); }
    // A place on a child of the form, on the screen as the X server has the form.
    QPoint onForm(QWidget* child, QPoint at) {
        return onScreen(formWidget()).topLeft() + child->mapTo(formWidget(), at);
    }
    bool openByRealClick() {
        QWidget* cmd = dropButton(*control);
        realClick(onForm(cmd, cmd->rect().center()));
        return waitUntil([&] { return popupUp() && popupWidget()->isActiveWindow(); }, 10000);
    }

    QWidget other;
    std::shared_ptr<TavoCalendarDropDown> control;
};

TEST_F(QtWindowManagerTest, ARealClickOpensThePopupRightUnderTheControlOnTheScreen) {
    const QRect client = onScreen(formWidget());
    ASSERT_GT(client.top(), host.toPixelsY(1500)) << "the window manager framed the form: its client area is lower";
    ASSERT_TRUE(openByRealClick());
    const QPoint underControl = onForm(surface(), QPoint(0, surface()->height()));
    ASSERT_TRUE(waitUntil([&] { return onScreen(popupWidget()).topLeft() == underControl; }, 2000))
        << "popup at " << onScreen(popupWidget()).x() << "," << onScreen(popupWidget()).y()
        << ", control's bottom left at " << underControl.x() << "," << underControl.y();
}

TEST_F(QtWindowManagerTest, ThePopupStaysAboveAWindowRaisedOverTheForm) {
    ASSERT_TRUE(openByRealClick());
    const QRect shown = onScreen(popupWidget());
    xdotool({"windowraise", QString::number(other.winId())});
    // The other window covers the form where the popup does not stand.
    const QPoint besidePopup = onScreen(formWidget()).topLeft() + QPoint(formWidget()->width() - 20, 20);
    ASSERT_TRUE(waitUntil([&] { return screenColour(besidePopup) == kOtherColour; }, 3000)) << "not raised";
    EXPECT_TRUE(popupUp());
    EXPECT_NE(screenColour(shown.center()), kOtherColour);
    EXPECT_NE(screenColour(shown.topLeft() + QPoint(4, 4)), kOtherColour);
}

// The popup looks at the active window every 200 ms: it closes at its first
// look after the other window became active. Counted in looks, not in
// milliseconds, so that a busy machine does not fail it; the times are kept
// as properties of the test.
TEST_F(QtWindowManagerTest, ARealClickIntoAnotherWindowClosesItAtTheWatchsNextLook) {
    ASSERT_TRUE(openByRealClick());
    const QPoint intoOther = onScreen(&other).topLeft() + QPoint(10, 10);
    ASSERT_FALSE(onScreen(popupWidget()).contains(intoOther));
    auto* watch = popupWidget()->findChild<QTimer*>(QStringLiteral("tmr"));
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(watch->interval(), 200);
    // Each look seen as it starts: the last one unloads the popup, timer and
    // all (and this counter, which goes with the timer).
    int looks = 0, looksBeforeActivation = -1;
    new EventHook(watch, [&](QObject*, QEvent* e) {
        if (e->type() == QEvent::Timer) ++looks;
        return false;
    });
    QElapsedTimer sinceActivation;
    QObject::connect(qApp, &QApplication::focusChanged, &other, [&] {
        if (QApplication::activeWindow() != &other || sinceActivation.isValid()) return;
        sinceActivation.start();
        looksBeforeActivation = looks;
    });
    // The click goes on while the loop runs, as it does for a user.
    QProcess click;
    QElapsedTimer sinceClick;
    sinceClick.start();
    click.start(QStringLiteral("xdotool"), {"mousemove", QString::number(intoOther.x()), QString::number(intoOther.y()),
                                            "click", "1"});
    ASSERT_TRUE(waitUntil([&] { return !popup()->isLoaded(); }, 2000));
    RecordProperty("ClosedMsAfterTheClick", int(sinceClick.elapsed()));
    RecordProperty("ClosedMsAfterTheActivation", int(sinceActivation.elapsed()));
    click.waitForFinished(5000);
    ASSERT_GE(looksBeforeActivation, 0) << "the other window became active";
    EXPECT_EQ(looks - looksBeforeActivation, 1);
    EXPECT_EQ(control->Value().toDate(), k21Aug2000);
}

TEST_F(QtWindowManagerTest, EscapeOrARealClickOnADayClosesItAndTheDateBoxHasTheFocus) {
    ASSERT_TRUE(openByRealClick());
    xdotool({"key", "Escape"});
    ASSERT_TRUE(waitUntil([&] { return !popup()->isLoaded(); }, 2000));
    EXPECT_TRUE(waitUntil([&] { return QApplication::focusWidget() == edit(*control); }, 2000));
    EXPECT_EQ(control->Value().toDate(), k21Aug2000);

    ASSERT_TRUE(openByRealClick());
    const QPoint day =
        onScreen(popupWidget()).topLeft() + grid().mapTo(popupWidget(), grid().dayRect(QDate(2000, 8, 25)).center());
    realClick(day);
    ASSERT_TRUE(waitUntil([&] { return !popup()->isLoaded(); }, 2000));
    EXPECT_EQ(control->Value().toDate(), dateSerial(2000, 8, 25));
    EXPECT_TRUE(waitUntil([&] { return QApplication::focusWidget() == edit(*control); }, 2000));
    const QString formId = QString::number(formWidget()->winId());
    EXPECT_TRUE(waitUntil([&] { return xdotool({"getwindowfocus"}) == formId; }, 2000)) << "the X server's focus too";
}

}  // namespace
}  // namespace tavo
