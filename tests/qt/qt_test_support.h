#pragma once
// Driving real Qt widgets from tests without sleeping: events are sent as the
// window system would deliver them, and the loop is run until it is idle.
// Only a window timer's tick needs real time; waitUntil bounds that wait.
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <functional>

#include "support/error_number.h"
#include "tavo/host/error.h"

namespace tavo {

inline void pump() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

inline bool waitUntil(const std::function<bool()>& done, int deadlineMs = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > deadlineMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

inline void mouse(QEvent::Type type, QWidget* w, QPoint at, Qt::MouseButton button) {
    QCursor::setPos(w->mapToGlobal(at));
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) { mouse(QEvent::MouseButtonPress, w, at, b); }
inline void release(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    mouse(QEvent::MouseButtonRelease, w, at, b);
}
inline void click(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
    press(w, at, b);
    release(w, at, b);
}

// A key typed at the focus widget, as the keyboard delivers it.
inline void typeKey(int key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &down);
    if (!QApplication::focusWidget()) return;
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(QApplication::focusWidget(), &up);
}

}  // namespace tavo
