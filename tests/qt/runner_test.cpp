// The form runner on real windows: the same script language as headless,
// real input events, the demo form, its Ctrl+S and the screenshot.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <sstream>

#include "apps/tavo_run/qt/window_session.h"
#include "qt_test_support.h"
#include "tavo/calendar/register.h"
#include "tavo/host/date.h"
#include "tavo/qt/qt_host.h"
#include "tavo/ssaddon/register.h"

namespace tavo {
namespace {

class QtRunnerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The runner creates controls through the application's registry.
        auto& registry = ComponentRegistry::global();
        registerQtComponents(registry);
        registerTavoCalendar(registry);
        registerTavoSSAddOn(registry);
    }
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override {
        session.reset();
        pump();
    }

    WindowSession& open(const std::string& formPath) {
        session = std::make_unique<WindowSession>(host, out, err);
        session->open(formPath);
        return *session;
    }
    int run(const std::string& script) {
        if (!session) {
            session = std::make_unique<WindowSession>(host, out, err);
        }
        std::istringstream in(script);
        return session->runScript(in);
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    std::string log() const { return session->backend().logPanel()->toPlainText().toStdString(); }

    QTemporaryDir dir;
    QtHost host;
    std::ostringstream out, err;
    std::unique_ptr<WindowSession> session;
};

TEST_F(QtRunnerTest, AScriptOpensThePopupInARealWindowPicturesItAndPicksADay) {
    const int status = run("today 2000-08-21\n"
                           "new TavoCalendar.TavoCalendarDropDown Cal1 300 300 2400 315\n"
                           "set Cal1.Value #2000-08-21#\n"
                           "mousedown Cal1.cmd\n"
                           "expect frmCalendar.Visible True\n"
                           "screenshot " + path("popup.png") + "\n"
                           "dayclick frmCalendar.cal 2000-08-25\n"
                           "expect Cal1.Value #2000-08-25#\n"
                           "expect frmCalendar.Visible False\n");
    EXPECT_EQ(status, 0) << out.str() << err.str();
    const std::string printed = out.str();
    for (const char* line : {"show frmCalendar modeless\n", "topmost frmCalendar\n", "event Cal1.Change\n",
                             "unload frmCalendar\n"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << " in\n" << printed;
    EXPECT_NE(log().find("event Cal1.Change"), std::string::npos) << "the event log lists the events";

    // The picture is the whole screen, with the popup drawn where it stood.
    const QImage shot(QString::fromStdString(path("popup.png")));
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QGuiApplication::primaryScreen()->geometry().size());
    // Below the form window, where only the popup's third month can stand.
    QWidget* form = session->backend().formWidget();
    const QPoint belowTheForm = form->mapToGlobal(QPoint(40, form->height() + 8));
    EXPECT_NE(shot.pixelColor(belowTheForm), QColor(58, 110, 165)) << "the desktop shows where the popup stood";
    EXPECT_EQ(shot.pixelColor(belowTheForm + QPoint(600, 0)), QColor(58, 110, 165));
}

TEST_F(QtRunnerTest, AModalPopupTakesTheNextLinesAndAScriptThatEndsInItFails) {
    const std::string opening = "refuse-modeless on\n"
                                "new TavoCalendar.TavoCalendarDropDown Cal1 300 300 2400 315\n"
                                "mousedown Cal1.cmd\n"
                                "expect frmCalendar.cmdCancel.Visible True\n";
    EXPECT_EQ(run(opening + "mousedown frmCalendar.cmdCancel\nexpect frmCalendar.Visible False\n"), 0)
        << out.str();
    EXPECT_NE(out.str().find("show frmCalendar modal\n"), std::string::npos) << out.str();

    session.reset();
    host.setRefuseModeless(false);
    out.str("");
    EXPECT_EQ(run(opening), 1) << out.str();
    EXPECT_NE(out.str().find("the script ended while a modal window waited"), std::string::npos) << out.str();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(QtRunnerTest, ATreeScriptPrintsWhatTheHeadlessRunnerPrints) {
    const int status = run("new SSActiveTreeView.SSTree T 0 0 3000 3000\n"
                           "node T add a \"A\"\n"
                           "node T add a1 a \"A eins\"\n"
                           "node T add a1x a1 \"A eins x\"\n"
                           "node T add b \"B\"\n"
                           "node T add b1 b \"B eins\"\n"
                           "new TavoSSAddOn.TavoSSTreeController C 0 3000 1080 225\n"
                           "set C.mySSTree ref:T\n"
                           "select T a\n"
                           "click C.img(0)\n"
                           "tree T\n"
                           "click C.img(2)\n"
                           "tree T\n"
                           "new TavoSSAddOn.TavoSSTreeController D 0 3300 1080 225\n"
                           "click D.img(1)\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(), "show Form1 modeless\n"
                         "changed C.mySSTree\n"
                         "ensurevisible T.a\n"
                         "a A +\n"
                         "  a1 A eins +\n"
                         "    a1x A eins x  \n"
                         "b B -\n"
                         "  b1 B eins  \n"
                         "ensurevisible T.a\n"
                         "a A -\n"
                         "  a1 A eins -\n"
                         "    a1x A eins x  \n"
                         "b B -\n"
                         "  b1 B eins  \n"
                         "msgbox 0 \"Damit dieses Control weiß, welchen Tree es steuern soll, sollte man im "
                         "Form_Load Ereignis die folgende Zeile einfügen:\\r\\nSet "
                         "TavoSSTreeController1.mySSTree = SSTree1\"\n");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the script answered the message box";
}

TEST_F(QtRunnerTest, EscapeAndActivatingTheFormCloseThePopupWithoutAChange) {
    const int status = run("today 2000-08-21\n"
                           "new TavoCalendar.TavoCalendarDropDown Cal1 300 300 2400 315\n"
                           "mousedown Cal1.cmd\n"
                           "key frmCalendar.cal ESC\n"
                           "expect frmCalendar.Visible False\n"
                           "mousedown Cal1.cmd\n"
                           "expect frmCalendar.Visible True\n"
                           "activate other\n"
                           "advance 450\n"  // the popup's watch ticks every 200 ms
                           "expect frmCalendar.Visible False\n"
                           "expect Cal1.Value #2000-08-21#\n"
                           "change Cal1.cal 2000-09-01\n"
                           "expect Cal1.Value #2000-09-01#\n");
    EXPECT_EQ(status, 0) << out.str();
    EXPECT_NE(out.str().find("event Cal1.Change\n"), std::string::npos) << out.str();
}

TEST_F(QtRunnerTest, WhatRealWindowsCannotDoIsAnErrorLineAndTheScriptGoesOn) {
    const int status = run("screen 1 1\n"
                           "new SSActiveTreeView.SSTree T\n"
                           "stats T\n"
                           "screenshot " + path("no/such/folder/x.png") + "\n"
                           "expect T.Nodes.Count 0\n");
    EXPECT_EQ(status, 0);
    const std::string printed = out.str();
    for (const char* line : {"error 5 line 1: real windows stand on the real screen", "error 5 line 3:",
                             "error 75 line 4: Path/File access error: cannot write the picture"})
        EXPECT_NE(printed.find(line), std::string::npos) << line << " in\n" << printed;
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(QtRunnerTest, TheDemoSavesWithCtrlSAndReloadsWithItsTree) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    open("");
    Form& demo = session->engine().form();
    EXPECT_EQ(demo.name(), "frmDemo");
    EXPECT_EQ(demo.find("SSTree1")->get("Nodes").rawObject()->get("Count").toLong(), 37);
    EXPECT_EQ(run("set Cal1.MonthColumns 2\n"
                  "click Ctl1.img(1)\n"
                  "expect SSTree1.node(north).Expanded True\n"),
              0)
        << out.str();

    QWidget* form = session->backend().formWidget();
    ASSERT_NE(form, nullptr);
    form->findChild<QWidget*>("SSTree1")->setFocus();
    QKeyEvent ctrlS(QEvent::KeyPress, Qt::Key_S, Qt::ControlModifier, "\x13");
    QApplication::sendEvent(form->findChild<QWidget*>("SSTree1"), &ctrlS);
    EXPECT_TRUE(QFile::exists("demo.frm"));
    EXPECT_NE(log().find("saved demo.frm"), std::string::npos) << log();

    session.reset();
    pump();
    open("demo.frm");
    Form& reloaded = session->engine().form();
    EXPECT_EQ(reloaded.name(), "frmDemo");
    EXPECT_EQ(reloaded.find("Cal1")->get("MonthColumns").toInteger(), 2);
    EXPECT_EQ(reloaded.find("SSTree1")->get("Nodes").rawObject()->get("Count").toLong(), 37);
    EXPECT_EQ(run("click Ctl1.img(1)\nexpect SSTree1.node(north).Expanded True\n"), 0) << out.str();
    EXPECT_EQ(session->savePath(), "demo.frm");
    QDir::setCurrent(before);
}

}  // namespace
}  // namespace tavo
