#pragma once
// An event filter that forwards to a function, so that classes which are not
// QObjects (windows, children) can watch their widgets' events.
#include <QObject>
#include <exception>
#include <functional>

#include "tavo/qt/qt_export.h"

namespace tavo {

// Qt cannot carry an exception through its event dispatch. An error that a
// handler lets out ends where the event came into one of our widgets, as it
// ends at the host's own dispatch: the rest of that handler does not run, the
// event counts as handled, and the error is reported (QtHost::onHandlerError,
// else a warning in the category "tavo.qt").
TAVO_QT_INTERNAL void reportHandlerError(const std::exception& e);
template <class Deliver>
bool deliverGuarded(Deliver&& deliver) {
    try {
        return deliver();
    } catch (const std::exception& e) {
        reportHandlerError(e);
        return true;
    }
}

class EventHook : public QObject {
public:
    using Filter = std::function<bool(QObject* watched, QEvent* event)>;
    EventHook(QObject* watched, Filter filter) : QObject(watched), filter_(std::move(filter)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        return deliverGuarded([&] { return filter_(watched, event); });
    }

private:
    Filter filter_;
};

}  // namespace tavo
