#include "tavo/qt/control_widget.h"

#include <QTreeWidget>

#include "backends/qt/qt_control_site.h"
#include "tavo/host/ascii_text.h"
#include "tavo/qt/qt_tree_view.h"

namespace tavo {

namespace {

std::string text(const QString& s) { return s.toStdString(); }

}  // namespace

ControlWidget::ControlWidget(QtHost& host, const QString& progId, const QString& name, QWidget* parent,
                             QSize initialSize, const ComponentRegistry& registry)
    : QWidget(parent) {
    setObjectName(name);
    if (initialSize.isValid()) resize(initialSize);
    hosted_ = std::make_unique<HostedControl>(host, this, text(progId), text(name), registry);
    ControlEvents events;
    events.change = [this] { emit change(); };
    events.click = [this] { emit click(); };
    events.dblClick = [this] { emit dblClick(); };
    events.keyDown = [this](qint16& keyCode, qint16& shift) { emit keyDown(keyCode, shift); };
    events.keyUp = [this](qint16& keyCode, qint16& shift) { emit keyUp(keyCode, shift); };
    events.keyPress = [this](qint16& keyAscii) { emit keyPress(keyAscii); };
    hosted_->onEvent = [this, events](std::string_view event, std::span<Variant> args) {
        emit eventRaised(QString::fromUtf8(event.data(), qsizetype(event.size())), args);
        relayEvent(event, args, events);
    };
    hosted_->onPropertyChanged = [this](std::string_view property) {
        emit propertyChanged(QString::fromUtf8(property.data(), qsizetype(property.size())));
    };
}

ControlWidget::~ControlWidget() {
    // The control and any bound tree are told while their sites still stand
    // (an open popup of the control closes); whatever still holds them
    // afterwards gets an error from them, never a site that is gone. Then the
    // control's children and the bound trees go before those sites.
    for (const Bound& b : bound_) b.view->detachFromSite();
    hosted_.reset();
    bound_.clear();
}

ControlSite& ControlWidget::site() const { return hosted_->site(); }

Variant ControlWidget::get(const QString& member, const Variant* arg) const { return control().get(text(member), arg); }
void ControlWidget::put(const QString& member, const Variant& value) { control().put(text(member), value); }
void ControlWidget::putRef(const QString& member, const Variant& value) { control().putRef(text(member), value); }
Variant ControlWidget::call(const QString& member, std::span<Variant> args) { return control().call(text(member), args); }

std::shared_ptr<QtTreeView> ControlWidget::bindTree(QTreeWidget* tree, const QString& name) {
    Bound b;
    b.site = std::make_unique<QtControlSite>(hosted_->host(), tree, text(name));
    b.view = std::make_shared<QtTreeView>(*b.site, tree);
    putRef(QStringLiteral("mySSTree"), Variant::object(b.view));
    auto view = b.view;
    bound_.push_back(std::move(b));
    return view;
}

QSize ControlWidget::sizeHint() const { return hosted_->size(); }

}  // namespace tavo
