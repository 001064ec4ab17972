#include "backends/qt/qt_timer.h"

#include "backends/qt/event_hook.h"

namespace tavo {

QtTimer::QtTimer(const ChildDesign& d, QtHost&, QObject* parent)
    : Timer(d), timer_(new QTimer(parent)), left_(d.left), top_(d.top), width_(d.width), height_(d.height),
      visible_(d.visible), enabled_(d.enabled), interval_(d.interval) {
    if (interval_ < 0) throwHostError(err::InvalidPropertyValue, "Interval of " + displayName() + " cannot be negative");
    timer_->setObjectName(QString::fromStdString(displayName()));
    // The host's timers tick at their interval, not within Qt's 5 % of slack.
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, timer_, [this] {
        if (detached_ || !onTimer) return;
        auto self = shared_from_this();
        deliverGuarded([&] {
            onTimer();
            return true;
        });
    });
    update();
}

QtTimer::~QtTimer() {
    if (timer_) {
        timer_->stop();
        timer_->disconnect();
        timer_->deleteLater();
    }
}

void QtTimer::setWidth(float v) {
    if (v < 0) throwHostError(err::InvalidPropertyValue, "Width of " + displayName() + " cannot be negative");
    width_ = v;
}

void QtTimer::setHeight(float v) {
    if (v < 0) throwHostError(err::InvalidPropertyValue, "Height of " + displayName() + " cannot be negative");
    height_ = v;
}

void QtTimer::setEnabled(bool v) {
    enabled_ = v;
    update();
}

void QtTimer::setInterval(int ms) {
    if (ms < 0) throwHostError(err::InvalidPropertyValue, "Interval of " + displayName() + " cannot be negative");
    interval_ = ms;
    update();
}

void QtTimer::detach() {
    detached_ = true;
    if (timer_) timer_->stop();
}

void QtTimer::update() {
    if (!timer_) return;
    if (enabled_ && interval_ > 0 && !detached_) timer_->start(interval_);
    else timer_->stop();
}

}  // namespace tavo
