#include "backends/qt/qt_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "backends/qt/qt_convert.h"

namespace tavo {

namespace {

class PictureWidget : public QWidget {
public:
    PictureWidget(QtImage* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    void release() { owner_ = nullptr; }
    void setPixmap(QPixmap pm) {
        pixmap_ = std::move(pm);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (pixmap_.isNull()) return;
        QPainter p(this);
        p.drawPixmap(0, 0, pixmap_);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (owner_) owner_->mouseDown(e->button(), e->modifiers(), e->position());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (owner_) owner_->mouseUp(e->button(), e->modifiers(), e->position(), rect().contains(e->position().toPoint()));
    }

private:
    QtImage* owner_;
    QPixmap pixmap_;
};

PictureWidget* pictureWidget(QWidget* w) { return static_cast<PictureWidget*>(w); }

}  // namespace

QtImage::QtImage(const ChildDesign& d, QtHost& host, QWidget* parent)
    : QtChild<Image>(d, host, new PictureWidget(this, parent)) {
    if (d.picture) setPicture(d.picture);
}

QtImage::~QtImage() {
    if (widget_) pictureWidget(widget_)->release();
}

void QtImage::setPicture(PictureRef p) {
    QPixmap pm = toPixmap(p);  // fails before anything changes
    picture_ = std::move(p);
    if (widget_) pictureWidget(widget_)->setPixmap(std::move(pm));
}

void QtImage::setToolTipText(const std::string& t) {
    toolTip_ = t;
    if (widget_) widget_->setToolTip(QString::fromStdString(t));
}

void QtImage::refresh() {
    if (widget_) widget_->repaint();
}

void QtImage::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos) {
    if (!live() || !onMouseDown) return;
    auto self = shared_from_this();
    onMouseDown(mouseButtonFromQt(button), shiftFromQt(mods), float(pos.x() * host_.twipsPerPixelX()),
                float(pos.y() * host_.twipsPerPixelY()));
}

void QtImage::mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos, bool inside) {
    auto self = shared_from_this();
    if (live() && onMouseUp)
        onMouseUp(mouseButtonFromQt(button), shiftFromQt(mods), float(pos.x() * host_.twipsPerPixelX()),
                  float(pos.y() * host_.twipsPerPixelY()));
    if (inside && live() && onClick) onClick();
}

}  // namespace tavo
