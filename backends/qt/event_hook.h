#pragma once
// An event filter that forwards to a function, so that classes which are not
// QObjects (windows, children) can watch their widgets' events.
#include <QObject>
#include <functional>

namespace tavo {

class EventHook : public QObject {
public:
    using Filter = std::function<bool(QObject* watched, QEvent* event)>;
    EventHook(QObject* watched, Filter filter) : QObject(watched), filter_(std::move(filter)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    Filter filter_;
};

}  // namespace tavo
