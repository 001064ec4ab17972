#include "backends/qt/key_router.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <memory>

#include "backends/qt/event_hook.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_window.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

KeyRouter::KeyRouter(QtHost& host) : host_(host) {}

// The filters go with this object: Qt drops a filter whose object is destroyed.
KeyRouter::~KeyRouter() = default;

void KeyRouter::addSink(QWidget* widget, KeySink* sink) {
    sinks_[widget] = sink;
    connect(widget, &QObject::destroyed, this, [this, widget] { sinks_.erase(widget); });
    watch(widget);
}

void KeyRouter::watch(QWidget* root) {
    // Qt keeps a filter once per object however often it is installed.
    root->installEventFilter(this);
    for (QObject* child : root->children()) watchChild(child);
}

void KeyRouter::watchChild(QObject* child) {
    if (child->isWidgetType()) watch(static_cast<QWidget*>(child));
}

void KeyRouter::removeSink(QWidget* widget) { sinks_.erase(widget); }

KeySink* KeyRouter::sinkFor(QWidget* target) const {
    for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        auto it = sinks_.find(w);
        if (it != sinks_.end()) return it->second;
    }
    return nullptr;
}

bool KeyRouter::eventFilter(QObject* watched, QEvent* event) {
    // A widget placed later in a watched one is watched from its start.
    if (event->type() == QEvent::ChildAdded) {
        watchChild(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (resending_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;
    // A key event travels from the focus widget to its parents while ignored;
    // the host sees it once, where it starts.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target || target != QApplication::focusWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    return deliverGuarded(
        [&] { return event->type() == QEvent::KeyPress ? routePress(target, key) : routeRelease(target, key); });
}

bool KeyRouter::routePress(QWidget* target, QKeyEvent* event) {
    KeySink* sink = sinkFor(target);
    QtWindow* window = host_.findWindow(target->window());
    const bool preview = window && window->keyPreview() && window->onKeyPress;
    if (!sink && !preview) return false;

    QPointer<QWidget> guard(target);
    const int16_t code0 = keyCodeFromQt(event->key());
    const int16_t shift0 = shiftFromQt(event->modifiers());
    const int16_t ascii0 = keyAsciiFromQt(event->key(), event->text());
    int16_t code = code0, shift = shift0, ascii = ascii0;

    if (sink) {
        sink->keyDown(code, shift);
        if (code == 0 || !guard) return true;
    }
    if (ascii != 0) {
        if (preview) {
            auto keep = host_.windowFor(target->window());
            window->onKeyPress(ascii);
            if (ascii == 0 || !guard || window->destroyed()) return true;
        }
        if (sink) {
            sink->keyPress(ascii);
            if (ascii == 0 || !guard) return true;
        }
    }
    if (code == code0 && shift == shift0 && ascii == ascii0) return false;
    resend(target, event, code, shift, ascii);
    return true;
}

bool KeyRouter::routeRelease(QWidget* target, QKeyEvent* event) {
    KeySink* sink = sinkFor(target);
    if (!sink) return false;
    QPointer<QWidget> guard(target);
    const int16_t code0 = keyCodeFromQt(event->key());
    const int16_t shift0 = shiftFromQt(event->modifiers());
    int16_t code = code0, shift = shift0;
    sink->keyUp(code, shift);
    if (code == 0 || !guard) return true;
    if (code == code0 && shift == shift0) return false;
    resend(target, event, code, shift, keyAsciiFromQt(event->key(), event->text()));
    return true;
}

void KeyRouter::resend(QWidget* target, QKeyEvent* original, int16_t keyCode, int16_t shift, int16_t keyAscii) {
    const int key = keyCode == keyCodeFromQt(original->key()) ? original->key() : qtKeyFromKeyCode(keyCode);
    QString text;
    if (keyAscii >= 32) text = QString(QChar(keyAscii));
    else if (keyAscii != 0) text = original->text();
    QKeyEvent changed(original->type(), key, qtModifiersFromShift(shift), text, original->isAutoRepeat());
    resending_ = true;
    QApplication::sendEvent(target, &changed);
    resending_ = false;
}

}  // namespace tavo
