#include "backends/qt/qt_window.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <cmath>

#include "backends/qt/event_hook.h"
#include "backends/qt/key_router.h"
#include "tavo/host/error.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

namespace {

QWidget* makeWindowWidget(const WindowDesign& d) {
    Qt::WindowFlags flags = Qt::Window;
    if (!d.showInTaskbar) flags = Qt::Tool;
    if (!d.border) flags |= Qt::FramelessWindowHint;
    auto* w = new QWidget(nullptr, flags);
    w->setObjectName(QString::fromStdString(d.name));
    w->setWindowTitle(QString::fromStdString(d.caption));
    return w;
}

// A stored twips value while the widget still stands on the pixel it maps
// to, else the widget's own pixels: exact round trips, and real moves seen.
float keptOrActual(float kept, int actualPx, float twipsPerPixel) {
    return int(std::lround(kept / twipsPerPixel)) == actualPx ? kept : float(actualPx) * twipsPerPixel;
}

}  // namespace

QtWindow::QtWindow(QtHost& host, const WindowDesign& d)
    : host_(host), widget_(makeWindowWidget(d)), owned_(true), name_(d.name), keyPreview_(d.keyPreview),
      container_(host, widget_) {
    if (d.clientWidth < 0 || d.clientHeight < 0)
        throwHostError(err::InvalidPropertyValue, "the design size of window " + d.name + " is negative");
    widget_->resize(host.toPixelsX(d.clientWidth), host.toPixelsY(d.clientHeight));
    width_ = d.clientWidth;
    height_ = d.clientHeight;
    watch();
    if (keyPreview_) host.keyRouter().watch(widget_);
}

QtWindow::QtWindow(QtHost& host, QWidget* existing)
    : host_(host), widget_(existing), owned_(false), name_(existing->objectName().toStdString()),
      container_(host, existing) {
    watch();
}

QtWindow::~QtWindow() {
    host_.unregisterWindow(*this);
    delete hook_;
    container_.detachAll();
    if (modalLoop_) modalLoop_->quit();
    if (widget_ && owned_) {
        widget_->hide();
        host_.disposeLater(widget_);
    }
}

void QtWindow::watch() {
    handle_ = host_.handleOf(widget_);
    host_.registerWindow(*this);
    hook_ = new EventHook(widget_, [this](QObject* watched, QEvent* e) { return watched == widget_ && onEvent(e); });
}

bool QtWindow::onEvent(QEvent* e) {
    switch (e->type()) {
    case QEvent::WindowActivate:
        if (!destroyed_ && onActivate) {
            auto self = shared_from_this();
            onActivate();
        }
        return false;
    case QEvent::Hide:
        if (modalLoop_) modalLoop_->quit();
        return false;
    case QEvent::Close:
        // Closed by the window system (the user): that is an unload, as the
        // host's windows know no hidden-by-the-user state.
        if (owned_ && !destroyed_) destroy();
        return false;
    default:
        return false;
    }
}

QtContainer& QtWindow::container() {
    if (destroyed_) throwHostError(err::ObjectNotSet, "window " + name_ + " is unloaded");
    return container_;
}

void QtWindow::show() {
    if (destroyed_ || !widget_) throwHostError(err::ObjectNotSet, "window " + name_ + " is unloaded");
    if (host_.refusesModeless() || QApplication::activeModalWidget())
        throwHostError(err::CantShowModeless, "window " + name_ + " while a modal window is up");
    host_.trace("show " + name_ + " modeless");
    widget_->show();
    widget_->raise();
    activate();
}

void QtWindow::activate() {
    if (QWidget* active = QApplication::activeWindow(); active && active != widget_) activeBefore_ = active;
    widget_->activateWindow();
}

void QtWindow::hideWidget() {
    const bool wasActive = QApplication::activeWindow() == widget_;
    widget_->hide();
    if (wasActive && activeBefore_ && activeBefore_->isVisible()) activeBefore_->activateWindow();
}

void QtWindow::showModal() {
    if (destroyed_ || !widget_) throwHostError(err::ObjectNotSet, "window " + name_ + " is unloaded");
    auto self = shared_from_this();
    const bool wasVisible = widget_->isVisible();
    if (wasVisible) widget_->hide();  // modality takes effect when shown
    widget_->setWindowModality(Qt::ApplicationModal);
    host_.trace("show " + name_ + " modal");
    widget_->show();
    widget_->raise();
    activate();
    QEventLoop loop;
    modalLoop_ = &loop;
    if (host_.onModalIdle) {
        try {
            runScriptedModalLoop();
        } catch (...) {
            modalLoop_ = nullptr;
            throw;
        }
    } else if (widget_->isVisible() && !destroyed_) {
        loop.exec(QEventLoop::DialogExec);
    }
    modalLoop_ = nullptr;
    if (widget_ && !destroyed_ && !widget_->isVisible()) widget_->setWindowModality(Qt::NonModal);
}

// A script is the user: between its lines the loop delivers what they
// caused, and a window still up when the script has nothing more to say
// would wait forever.
void QtWindow::runScriptedModalLoop() {
    const auto up = [this] { return widget_ && widget_->isVisible() && !destroyed_; };
    while (up()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!up()) break;
        if (host_.onModalIdle && host_.onModalIdle()) continue;
        if (widget_) widget_->hide();
        throwHostError(err::InvalidProcedureCall,
                       "modal window " + name_ + " is waiting and nothing is left that could close it");
    }
}

void QtWindow::hide() {
    if (widget_) hideWidget();
}

bool QtWindow::visible() const { return widget_ && !destroyed_ && widget_->isVisible(); }

float QtWindow::left() const {
    return widget_ ? keptOrActual(left_, widget_->frameGeometry().x(), host_.twipsPerPixelX()) : left_;
}
float QtWindow::top() const {
    return widget_ ? keptOrActual(top_, widget_->frameGeometry().y(), host_.twipsPerPixelY()) : top_;
}
float QtWindow::width() const {
    return widget_ ? keptOrActual(width_, widget_->frameGeometry().width(), host_.twipsPerPixelX()) : width_;
}
float QtWindow::height() const {
    return widget_ ? keptOrActual(height_, widget_->frameGeometry().height(), host_.twipsPerPixelY()) : height_;
}

void QtWindow::setLeft(float v) { moveTo(v, top()); }
void QtWindow::setTop(float v) { moveTo(left(), v); }
void QtWindow::setWidth(float v) { resizeTo(v, height()); }
void QtWindow::setHeight(float v) { resizeTo(width(), v); }

void QtWindow::moveTo(float leftTw, float topTw) {
    left_ = leftTw;
    top_ = topTw;
    // QWidget::move places the outer frame of a top-level widget.
    if (widget_) widget_->move(host_.toPixelsX(leftTw), host_.toPixelsY(topTw));
}

void QtWindow::resizeTo(float widthTw, float heightTw) {
    if (widthTw < 0 || heightTw < 0 || std::isnan(widthTw) || std::isnan(heightTw))
        throwHostError(err::InvalidPropertyValue, "window " + name_ + " cannot be " + std::to_string(widthTw) + " x " +
                                                      std::to_string(heightTw) + " twips");
    width_ = widthTw;
    height_ = heightTw;
    if (!widget_) return;
    // Width and Height are the outer size; the frame (none when borderless)
    // is what the window system adds around the client area.
    const QRect frame = widget_->frameGeometry(), client = widget_->geometry();
    const int frameW = frame.width() - client.width(), frameH = frame.height() - client.height();
    widget_->resize(std::max(0, host_.toPixelsX(widthTw) - frameW), std::max(0, host_.toPixelsY(heightTw) - frameH));
}

void QtWindow::destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (owned_) host_.trace("unload " + name_);
    container_.detachAll();
    if (modalLoop_) modalLoop_->quit();
    if (!widget_) return;
    if (owned_) {
        hideWidget();
        host_.disposeLater(widget_);
    } else {
        widget_->close();
    }
}

}  // namespace tavo
