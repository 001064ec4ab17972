#pragma once
// A timer on Qt: a QTimer named after the child, ticking while Enabled with
// an Interval above 0; enabling restarts the interval from now.
#include <QPointer>
#include <QTimer>

#include "backends/qt/qt_child.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL QtTimer : public Timer, public QtChildLink {
public:
    QtTimer(const ChildDesign& d, QtHost& host, QObject* parent);
    ~QtTimer() override;

    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float v) override { left_ = v; }
    void setTop(float v) override { top_ = v; }
    void setWidth(float v) override;
    void setHeight(float v) override;
    void setFocus() override {}
    bool visible() const override { return visible_; }
    void setVisible(bool v) override { visible_ = v; }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool v) override;
    int interval() const override { return interval_; }
    void setInterval(int ms) override;

    void detach() override;
    QTimer* timer() const { return timer_; }

private:
    void update();
    QPointer<QTimer> timer_;
    float left_, top_, width_, height_;
    bool visible_, enabled_;
    int interval_;
    bool detached_ = false;
};

}  // namespace tavo
