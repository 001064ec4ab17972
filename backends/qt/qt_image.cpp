#include "backends/qt/qt_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

#include "backends/qt/event_hook.h"
#include "backends/qt/qt_accessibility.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_picture.h"

namespace tavo {

namespace {

class PictureWidget : public QWidget, public AccessibleChild {
public:
    PictureWidget(QtImage* owner, QWidget* parent) : QWidget(parent), owner_(owner) {
        setAttribute(Qt::WA_TranslucentBackground);
    }
    void release() { owner_ = nullptr; }
    void setPicture(QImage image, PictureScaling scaling, QSizeF size) {
        image_ = std::move(image);
        scaling_ = scaling;
        size_ = size;
        drawn_ = QPixmap();
        update();
    }

    bool pressable() const override { return owner_ && owner_->clickable(); }
    void pressByTool() override {
        QPointer<QWidget> guard(this);
        const QPointF middle(rect().center());
        owner_->mouseDown(Qt::LeftButton, Qt::NoModifier, middle);
        if (guard && owner_) owner_->mouseUp(Qt::LeftButton, Qt::NoModifier, middle, true);
    }

protected:
    bool event(QEvent* e) override {
        return deliverGuarded([&] { return QWidget::event(e); });
    }
    void paintEvent(QPaintEvent*) override {
        if (image_.isNull()) return;
        const qreal ratio = devicePixelRatioF();
        const QSize device(qRound(size_.width() * ratio), qRound(size_.height() * ratio));
        if (drawn_.isNull() || drawn_.size() != device || drawn_.devicePixelRatio() != ratio) {
            drawn_ = QPixmap::fromImage(scalePicture(image_, scaling_, device));
            drawn_.setDevicePixelRatio(ratio);
        }
        // One device pixel of the drawing to one of the screen: no smoothing.
        QPainter p(this);
        p.drawPixmap(0, 0, drawn_);
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (owner_) owner_->mouseDown(e->button(), e->modifiers(), e->position());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (owner_) owner_->mouseUp(e->button(), e->modifiers(), e->position(), rect().contains(e->position().toPoint()));
    }

private:
    QtImage* owner_;
    QImage image_;
    PictureScaling scaling_ = PictureScaling::Smooth;
    QSizeF size_;
    QPixmap drawn_;
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
    QImage image = pictureImage(p);  // fails before anything changes
    const QSizeF size = pictureSize(image.size(), host_.twipsPerPixelX(), host_.twipsPerPixelY());
    const PictureScaling scaling = p ? p->scaling() : PictureScaling::Smooth;
    picture_ = std::move(p);
    if (widget_) pictureWidget(widget_)->setPicture(std::move(image), scaling, size);
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
