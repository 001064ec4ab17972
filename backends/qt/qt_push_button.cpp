#include "backends/qt/qt_push_button.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

#include "backends/qt/event_hook.h"
#include "backends/qt/qt_accessibility.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_picture.h"

namespace tavo {

namespace {

template <class Widget>
class HookedButton : public Widget, public AccessibleChild {
public:
    HookedButton(QtPushButton* owner, QWidget* parent) : Widget(parent), owner_(owner) {}
    void release() { owner_ = nullptr; }

    bool pressable() const override { return owner_ != nullptr; }
    void pressByTool() override {
        QPointer<QWidget> guard(this);
        owner_->mouseDown(Qt::LeftButton, Qt::NoModifier, QPointF(this->rect().center()));
        if (guard && owner_ && this->isEnabled() && this->isVisible()) owner_->clicked();
    }

protected:
    bool event(QEvent* e) override {
        return deliverGuarded([&] { return Widget::event(e); });
    }
    void mousePressEvent(QMouseEvent* e) override {
        QPointer<QWidget> guard(this);
        // The host's MouseDown comes first: it may open a window or unload
        // this button's own, and the press must not land on a dead widget.
        if (owner_) owner_->mouseDown(e->button(), e->modifiers(), e->position());
        if (guard && owner_ && this->isEnabled() && this->isVisible()) Widget::mousePressEvent(e);
    }

private:
    QtPushButton* owner_;
};

QAbstractButton* makeButton(QtPushButton* owner, bool graphical, QWidget* parent) {
    QAbstractButton* b;
    if (graphical) b = new HookedButton<QToolButton>(owner, parent);
    else b = new HookedButton<QPushButton>(owner, parent);
    b->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(b, &QAbstractButton::clicked, b, [owner, b] {
        if (b->property("tavoReleased").toBool()) return;
        owner->clicked();
    });
    return b;
}

void releaseButton(QAbstractButton* b) {
    b->setProperty("tavoReleased", true);
    if (auto* t = dynamic_cast<HookedButton<QToolButton>*>(b)) t->release();
    if (auto* p = dynamic_cast<HookedButton<QPushButton>*>(b)) p->release();
}

}  // namespace

QtPushButton::QtPushButton(const ChildDesign& d, QtHost& host, QWidget* parent)
    : QtChild<PushButton>(d, host, makeButton(this, d.graphical, parent)), graphical_(d.graphical),
      picture_(d.picture), caption_(d.caption) {
    if (d.useMaskColor) maskColour_ = d.maskColor;
    showFace(pictureImage(picture_, maskColour_));
}

QtPushButton::~QtPushButton() {
    if (auto* b = button()) releaseButton(b);
}

QAbstractButton* QtPushButton::button() const { return static_cast<QAbstractButton*>(widget_.data()); }

void QtPushButton::setPicture(PictureRef p) {
    QImage image = pictureImage(p, maskColour_);  // fails before anything changes
    picture_ = std::move(p);
    showFace(image);
}

void QtPushButton::setCaption(const std::string& c) {
    caption_ = c;
    showFace(pictureImage(picture_, maskColour_));
}

void QtPushButton::showFace(const QImage& picture) {
    auto* b = button();
    if (!b) return;
    const QImage shown = graphical_ ? picture : QImage();
    b->setIcon(pictureIcon(shown, picture_ ? picture_->scaling() : PictureScaling::Smooth));
    if (!shown.isNull())
        b->setIconSize(pictureSize(shown.size(), host_.twipsPerPixelX(), host_.twipsPerPixelY()).toSize());
    b->setText(QString::fromStdString(caption_));
    if (auto* tool = qobject_cast<QToolButton*>(b)) {
        if (shown.isNull()) tool->setToolButtonStyle(Qt::ToolButtonTextOnly);
        else if (caption_.empty()) tool->setToolButtonStyle(Qt::ToolButtonIconOnly);
        else tool->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    }
}

void QtPushButton::mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos) {
    if (!live() || !onMouseDown) return;
    auto self = shared_from_this();
    onMouseDown(mouseButtonFromQt(button), shiftFromQt(mods), float(pos.x() * host_.twipsPerPixelX()),
                float(pos.y() * host_.twipsPerPixelY()));
}

void QtPushButton::clicked() {
    if (!live() || !onClick) return;
    auto self = shared_from_this();
    onClick();
}

}  // namespace tavo
