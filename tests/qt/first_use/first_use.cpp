// An application that knows nothing of hosts or registries makes a date
// widget as it would make a QDateEdit, and the widget works down to its
// drop-down calendar; after the last widget has gone, a new one works again,
// also after one whose deletion was pending went with its window.
#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <cstdio>

#include "tavo/widgets/date_drop_down.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "first use: %s\n", what);
    ++failures;
}

void pressDropButton(tavo::DateDropDown& date) {
    QWidget* button = date.findChild<QWidget*>(QStringLiteral("cmd"));
    check(button != nullptr, "the widget has its drop button");
    if (!button) return;
    const QPoint at(3, 4);
    QCursor::setPos(button->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(button->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
}

bool popupShown() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmCalendar") && w->isVisible()) return true;
    return false;
}

void useOnce(const char* round) {
    std::fprintf(stderr, "first use: %s\n", round);
    QWidget window;
    auto* date = new tavo::DateDropDown(&window);
    check(date->date() == QDate(2000, 8, 21), "a new widget shows the control's first date");
    int changes = 0;
    QObject::connect(date, &tavo::DateDropDown::dateChanged, [&changes] { ++changes; });
    date->setDate(QDate(2001, 2, 3));
    check(changes == 1 && date->date() == QDate(2001, 2, 3), "a date set from code is taken and announced");
    window.show();
    QApplication::processEvents();
    pressDropButton(*date);
    QApplication::processEvents();
    check(popupShown(), "the drop button opens the calendar");
}

// The last widget takes the thread's host with it. A deletion of that widget
// already asked for (an item view's closed editor, say) must not run again
// while the widget goes.
void deleteWithDeletionPending() {
    std::fprintf(stderr, "first use: a widget whose deletion is pending goes with its window\n");
    QWidget window;
    auto* date = new tavo::DateDropDown(&window);
    date->deleteLater();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    useOnce("first widget");
    useOnce("a widget after the first has gone");
    deleteWithDeletionPending();
    useOnce("a widget after that");
    return failures == 0 ? 0 : 1;
}
