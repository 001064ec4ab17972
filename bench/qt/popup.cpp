// Press to shown: the date control's drop-down calendar against QDateEdit's
// own calendar popup, on the same machine in the same run. Timed twice: the
// press alone (both show their popup before the press returns), and the
// press with the turn of the event loop that follows it (activation, layout,
// drawing), which is when the user sees it. Closing and setting up are not
// timed.
//
// The first press builds what the popup needs; QDateEdit keeps its calendar
// afterwards, so later presses on it only show it again. Our popup window is
// loaded at each opening and unloaded at each closing, as the control's
// window rules say, so every press of ours builds its window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QMouseEvent>
#include <memory>

#include "backends/qt/qt_push_button.h"
#include "datecontrol/frm_calendar.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/host/date.h"
#include "tavo/host/form.h"
#include "tavo/qt/qt_host.h"

namespace {

void settle() {
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void press(QWidget* w, QPoint at) {
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A form window with a date control on it, on a host of its own.
struct DateForm {
    DateForm() {
        tavo::registerTavoCalendar(tavo::ComponentRegistry::global());
        host.setToday(36759);
        form = std::make_unique<tavo::Form>(host, "Form1");
        form->window().setLeft(1500);
        form->window().setTop(1500);
        form->window().setWidth(6000);
        form->window().setHeight(3000);
        control = std::dynamic_pointer_cast<tavo::TavoCalendarDropDown>(
            form->add("TavoCalendar.TavoCalendarDropDown", "Cal1", tavo::Placement{300, 300, 2400, 315}));
        form->window().show();
        settle();
    }
    ~DateForm() {
        close();
        control.reset();
        form.reset();
        settle();
    }
    QWidget* button() const { return static_cast<tavo::QtPushButton&>(*control->cmd()).widget(); }
    bool shown() const {
        auto popup =
            std::static_pointer_cast<tavo::frmCalendar>(host.findDefaultInstance(tavo::frmCalendar::kFormClass));
        return popup && popup->Visible();
    }
    void close() {
        if (auto popup =
                std::static_pointer_cast<tavo::frmCalendar>(host.findDefaultInstance(tavo::frmCalendar::kFormClass));
            popup && popup->isLoaded())
            popup->Unload();
        settle();
    }
    void pressButton(bool drawn) {
        press(button(), {3, 4});
        if (drawn) settle();
    }

    tavo::QtHost host;
    std::unique_ptr<tavo::Form> form;
    std::shared_ptr<tavo::TavoCalendarDropDown> control;
};

// A QDateEdit with its calendar popup, where a user would press its arrow.
struct QtDateEditForm {
    QtDateEditForm() {
        window.setGeometry(100, 100, 400, 200);
        edit = new QDateEdit(QDate(2000, 8, 21), &window);
        edit->setCalendarPopup(true);
        edit->setGeometry(20, 20, 160, 21);
        window.show();
        settle();
    }
    bool shown() const { return edit->calendarWidget() && edit->calendarWidget()->isVisible(); }
    void close() {
        if (QCalendarWidget* cal = edit->calendarWidget()) cal->window()->hide();
        settle();
    }
    void pressArrow(bool drawn) {
        press(edit, {edit->width() - 4, edit->height() / 2});
        if (drawn) settle();
    }

    QWidget window;
    QDateEdit* edit;
};

void OurPopupFirstPress(benchmark::State& state, bool drawn) {
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<DateForm>();
        state.ResumeTiming();
        f->pressButton(drawn);
        state.PauseTiming();
        if (!f->shown()) state.SkipWithError("the popup did not come up");
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(OurPopupFirstPress, PressOnly, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OurPopupFirstPress, PressAndDraw, true)->Unit(benchmark::kMicrosecond);

void QDateEditPopupFirstPress(benchmark::State& state, bool drawn) {
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<QtDateEditForm>();
        state.ResumeTiming();
        f->pressArrow(drawn);
        state.PauseTiming();
        if (!f->shown()) state.SkipWithError("the calendar did not come up");
        f.reset();
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(QDateEditPopupFirstPress, PressOnly, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QDateEditPopupFirstPress, PressAndDraw, true)->Unit(benchmark::kMicrosecond);

void OurPopupLaterPress(benchmark::State& state, bool drawn) {
    DateForm f;
    f.pressButton(true);
    f.close();
    for (auto _ : state) {
        f.pressButton(drawn);
        state.PauseTiming();
        if (!f.shown()) state.SkipWithError("the popup did not come up");
        f.close();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(OurPopupLaterPress, PressOnly, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OurPopupLaterPress, PressAndDraw, true)->Unit(benchmark::kMicrosecond);

void QDateEditPopupLaterPress(benchmark::State& state, bool drawn) {
    QtDateEditForm f;
    f.pressArrow(true);
    f.close();
    for (auto _ : state) {
        f.pressArrow(drawn);
        state.PauseTiming();
        if (!f.shown()) state.SkipWithError("the calendar did not come up");
        f.close();
        state.ResumeTiming();
    }
}
BENCHMARK_CAPTURE(QDateEditPopupLaterPress, PressOnly, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(QDateEditPopupLaterPress, PressAndDraw, true)->Unit(benchmark::kMicrosecond);

// The offscreen platform has no stacking order and no keyboard grab, and says
// so on stderr each time a window comes up, ours (raise) or QDateEdit's
// (grabbing the keyboard); no window system a user has does, so the writes
// are kept out of both figures.
QtMessageHandler standardHandler = nullptr;
void dropOffscreenPlatformWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support"))) return;
    standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(dropOffscreenPlatformWarnings);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
