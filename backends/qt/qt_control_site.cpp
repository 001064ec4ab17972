#include "backends/qt/qt_control_site.h"

#include <QEvent>
#include <cmath>

#include "backends/qt/event_hook.h"
#include "backends/qt/qt_convert.h"
#include "backends/qt/qt_window.h"
#include "tavo/host/error.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

namespace {

QWidget* formWidget(Window& form, const std::string& name) {
    auto* qtForm = dynamic_cast<QtWindow*>(&form);
    if (!qtForm || !qtForm->widget())
        throwHostError(err::InvalidProcedureCall, "control " + name + " needs a loaded window of the Qt host");
    return qtForm->widget();
}

void checkSize(float v, const std::string& what) {
    if (v < 0 || std::isnan(v)) throwHostError(err::InvalidPropertyValue, what + " cannot be " + std::to_string(v));
}

}  // namespace

QtControlSite::QtControlSite(QtHost& host, Window& form, const std::string& name, const Placement& p)
    : host_(host), surface_(new QWidget(formWidget(form, name))), owned_(true), name_(name), form_(&form),
      container_(host, surface_), left_(p.left), top_(p.top), width_(p.width), height_(p.height) {
    checkSize(p.width, "Width of " + name);
    checkSize(p.height, "Height of " + name);
    surface_->setObjectName(QString::fromStdString(name));
    applyGeometry();
    applyBackColor();
    surface_->show();
    watch();
}

QtControlSite::QtControlSite(QtHost& host, QWidget* surface, const std::string& name)
    : host_(host), surface_(surface), owned_(false), name_(name), container_(host, surface) {
    if (surface_->objectName().isEmpty()) surface_->setObjectName(QString::fromStdString(name));
    left_ = host.toTwipsX(surface->x());
    top_ = host.toTwipsY(surface->y());
    width_ = host.toTwipsX(surface->width());
    height_ = host.toTwipsY(surface->height());
    watch();
}

QtControlSite::~QtControlSite() {
    delete hook_;
    container_.detachAll();
    if (surface_ && owned_) {
        surface_->hide();
        host_.disposeLater(surface_);
    }
}

void QtControlSite::watch() {
    hook_ = new EventHook(surface_, [this](QObject* watched, QEvent* e) {
        if (watched == surface_ && e->type() == QEvent::Resize) surfaceResized();
        return false;
    });
}

Host& QtControlSite::host() { return host_; }

Window& QtControlSite::window() {
    if (form_) return *form_;
    if (!surface_) throwHostError(err::ObjectNotSet, "control " + name_ + " has lost its surface");
    adoptedForm_ = host_.windowFor(surface_->window());
    return *adoptedForm_;
}

void QtControlSite::setLeft(float v) {
    left_ = v;
    applyGeometry();
}

void QtControlSite::setTop(float v) {
    top_ = v;
    applyGeometry();
}

void QtControlSite::setWidth(float v) {
    checkSize(v, "Width of " + name_);
    if (v == width_) return;
    width_ = v;
    applyGeometry();
    if (onResize) onResize();
}

void QtControlSite::setHeight(float v) {
    checkSize(v, "Height of " + name_);
    if (v == height_) return;
    height_ = v;
    applyGeometry();
    if (onResize) onResize();
}

void QtControlSite::applyGeometry() {
    if (!surface_) return;
    placing_ = true;
    if (owned_) surface_->move(host_.toPixelsX(left_), host_.toPixelsY(top_));
    const QSize size(host_.toPixelsX(width_), host_.toPixelsY(height_));
    surface_->resize(size);
    // A control in an application's layout offers its new size as its hint.
    if (!owned_) surface_->updateGeometry();
    placing_ = false;
}

void QtControlSite::surfaceResized() {
    if (placing_ || !surface_) return;
    // The application (its layout) gave the surface a new size: the control
    // lays itself out anew, as after a put.
    const int w = surface_->width(), h = surface_->height();
    if (w == host_.toPixelsX(width_) && h == host_.toPixelsY(height_)) return;
    width_ = host_.toTwipsX(w);
    height_ = host_.toTwipsY(h);
    if (onResize) onResize();
}

void QtControlSite::setBackColor(uint32_t c) {
    backColor_ = c;
    applyBackColor();
}

void QtControlSite::applyBackColor() {
    if (!surface_) return;
    QPalette pal = surface_->palette();
    pal.setColor(QPalette::Window, toQColor(backColor_, pal));
    surface_->setPalette(pal);
    surface_->setAutoFillBackground(true);
}

void QtControlSite::setEnabled(bool e) {
    enabled_ = e;
    if (surface_) surface_->setEnabled(e);
}

void QtControlSite::refresh() {
    if (surface_) surface_->repaint();
}

FontRef QtControlSite::ambientFont() { return host_.ambientFont(); }

}  // namespace tavo
