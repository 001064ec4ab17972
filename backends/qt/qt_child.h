#pragma once
// What every child on Qt shares: its place in twips, kept exactly as set and
// mapped to whole pixels of its widget; visibility, enabled state, focus; the
// object name by which tests and accessibility tools find it; and being cut
// off from its widget when its container is unloaded.
#include <QPointer>
#include <QWidget>
#include <cmath>

#include "tavo/host/children.h"
#include "tavo/host/error.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

class QtChildLink {
public:
    virtual ~QtChildLink() = default;
    // The container is going away: the child raises no further events.
    virtual void detach() = 0;
};

template <class Base>
class QtChild : public Base, public QtChildLink {
public:
    QtChild(const ChildDesign& d, QtHost& host, QWidget* widget)
        : Base(d), host_(host), widget_(widget), left_(d.left), top_(d.top), width_(d.width),
          height_(d.height), visible_(d.visible), enabled_(d.enabled) {
        checkSize(d.width, "Width");
        checkSize(d.height, "Height");
        widget->setObjectName(QString::fromStdString(this->displayName()));
        if (!d.accessibleName.empty()) widget->setAccessibleName(QString::fromStdString(d.accessibleName));
        widget->setEnabled(enabled_);
        place();
        widget->setVisible(visible_);
    }
    ~QtChild() override {
        detached_ = true;
        if (widget_) {
            widget_->hide();
            host_.disposeLater(widget_);
        }
    }

    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float v) override {
        left_ = v;
        place();
    }
    void setTop(float v) override {
        top_ = v;
        place();
    }
    void setWidth(float v) override {
        checkSize(v, "Width");
        width_ = v;
        place();
    }
    void setHeight(float v) override {
        checkSize(v, "Height");
        height_ = v;
        place();
    }
    void setFocus() override {
        if (widget_) widget_->setFocus(Qt::OtherFocusReason);
    }
    bool visible() const override { return visible_; }
    void setVisible(bool v) override {
        visible_ = v;
        if (widget_) widget_->setVisible(v);
    }
    bool enabled() const override { return enabled_; }
    void setEnabled(bool v) override {
        enabled_ = v;
        if (widget_) widget_->setEnabled(v);
    }

    void detach() override { detached_ = true; }
    QWidget* widget() const { return widget_; }

protected:
    // Whether events of the widget still belong to a loaded container.
    bool live() const { return widget_ && !detached_; }
    virtual void place() {
        if (!widget_) return;
        widget_->setGeometry(host_.toPixelsX(left_), host_.toPixelsY(top_), host_.toPixelsX(width_),
                             host_.toPixelsY(height_));
    }
    void checkSize(float v, const char* what) const {
        if (v < 0 || std::isnan(v))
            throwHostError(err::InvalidPropertyValue,
                           std::string(what) + " of " + this->displayName() + " cannot be " + std::to_string(v));
    }

    QtHost& host_;
    QPointer<QWidget> widget_;
    float left_, top_, width_, height_;
    bool visible_, enabled_;
    bool detached_ = false;
};

}  // namespace tavo
