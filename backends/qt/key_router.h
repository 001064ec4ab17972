#pragma once
// Keyboard routing for the host's windows and children. A filter on the
// host's own widgets only (the children that raise key events and every widget
// of a window with key preview, including those added later) sees each key
// event once, at the focus widget, and plays the host's order: KeyDown to the
// child, KeyPress to the window (key preview) and then to the child, KeyUp to
// the child. A handler that sets the code to 0 swallows the key; a changed
// code is what the widget receives. An application's own widgets never pass
// through it.
#include <QObject>
#include <QWidget>
#include <cstdint>
#include <unordered_map>

namespace tavo {

class QtHost;

// A child that raises key events of its own (the date box).
class KeySink {
public:
    virtual ~KeySink() = default;
    virtual void keyDown(int16_t& keyCode, int16_t& shift) = 0;
    virtual void keyPress(int16_t& keyAscii) = 0;
    virtual void keyUp(int16_t& keyCode, int16_t& shift) = 0;
};

class KeyRouter : public QObject {
public:
    explicit KeyRouter(QtHost& host);
    ~KeyRouter() override;

    // Keys typed while `widget` or one of its inner widgets has the focus go to the sink.
    void addSink(QWidget* widget, KeySink* sink);
    void removeSink(QWidget* widget);
    // Sees the keys typed into `root` and into every widget placed in it, now
    // or later: a window whose key preview hears its children's keys.
    void watch(QWidget* root);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchChild(QObject* child);
    bool routePress(QWidget* target, class QKeyEvent* event);
    bool routeRelease(QWidget* target, class QKeyEvent* event);
    KeySink* sinkFor(QWidget* target) const;
    void resend(QWidget* target, QKeyEvent* original, int16_t keyCode, int16_t shift, int16_t keyAscii);

    QtHost& host_;
    std::unordered_map<const QWidget*, KeySink*> sinks_;
    bool resending_ = false;
};

}  // namespace tavo
