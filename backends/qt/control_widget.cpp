#include "backends/qt/control_widget.h"

#include <QTreeWidget>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_tree_view.h"
#include "host/ascii_text.h"

namespace tavo::qt {

namespace {

std::string text(const QString& s) { return s.toStdString(); }

}  // namespace

ControlWidget::ControlWidget(QtHost& host, const QString& progId, const QString& name, QWidget* parent,
                             QSize initialSize, const ComponentRegistry& registry)
    : QWidget(parent) {
    setObjectName(name);
    if (initialSize.isValid()) resize(initialSize);
    site_ = std::make_unique<QtControlSite>(host, this, text(name));
    site_->onRaiseEvent = [this](std::string_view event, std::span<Variant> args) { relay(event, args); };
    site_->onPropertyChanged = [this](std::string_view property) {
        emit propertyChanged(QString::fromUtf8(property.data(), qsizetype(property.size())));
    };
    site_->onResize = [this] {
        if (control_) control_->Resize();
    };
    control_ = registry.create(text(progId), *site_);
    control_->InitProperties();
    control_->Resize();
}

ControlWidget::~ControlWidget() {
    // The control and any bound tree are told while their sites still stand
    // (an open popup of the control closes); whatever still holds them
    // afterwards gets an error from them, never a site that is gone. Then the
    // control's children and the bound trees go before those sites.
    control_->detachFromSite();
    for (const Bound& b : bound_) b.view->detachFromSite();
    control_.reset();
    bound_.clear();
    site_.reset();
}

ControlSite& ControlWidget::site() const { return *site_; }

Variant ControlWidget::get(const QString& member, const Variant* arg) const { return control_->get(text(member), arg); }
void ControlWidget::put(const QString& member, const Variant& value) { control_->put(text(member), value); }
void ControlWidget::putRef(const QString& member, const Variant& value) { control_->putRef(text(member), value); }
Variant ControlWidget::call(const QString& member, std::span<Variant> args) { return control_->call(text(member), args); }

std::shared_ptr<QtTreeView> ControlWidget::bindTree(QTreeWidget* tree, const QString& name) {
    auto& host = static_cast<QtHost&>(site_->host());
    Bound b;
    b.site = std::make_unique<QtControlSite>(host, tree, text(name));
    b.view = std::make_shared<QtTreeView>(*b.site, tree);
    putRef(QStringLiteral("mySSTree"), Variant::object(b.view));
    auto view = b.view;
    bound_.push_back(std::move(b));
    return view;
}

QSize ControlWidget::sizeHint() const {
    auto& host = static_cast<QtHost&>(site_->host());
    return {host.toPixelsX(site_->width()), host.toPixelsY(site_->height())};
}

void ControlWidget::relay(std::string_view event, std::span<Variant> args) {
    const QString name = QString::fromUtf8(event.data(), qsizetype(event.size()));
    emit eventRaised(name, args);
    auto is = [&](const char* n) { return ascii::equalsNoCase(event, n); };
    if (is("Change")) emit change();
    else if (is("Click")) emit click();
    else if (is("DblClick")) emit dblClick();
    else if ((is("KeyDown") || is("KeyUp")) && args.size() >= 2) {
        qint16 code = args[0].toInteger(), shift = args[1].toInteger();
        if (is("KeyDown")) emit keyDown(code, shift);
        else emit keyUp(code, shift);
        args[0] = Variant::integer(code);
        args[1] = Variant::integer(shift);
    } else if (is("KeyPress") && !args.empty()) {
        qint16 ascii = args[0].toInteger();
        emit keyPress(ascii);
        args[0] = Variant::integer(ascii);
    }
}

}  // namespace tavo::qt
