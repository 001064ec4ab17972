#include "backends/qt/qt_accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

#include "backends/qt/event_hook.h"

namespace tavo {

namespace {

thread_local const QPoint* pointerStandIn = nullptr;

class ChildAccessible : public QAccessibleWidget {
public:
    ChildAccessible(QWidget* widget, AccessibleChild& child) : QAccessibleWidget(widget), child_(child) {}

    QAccessible::Role role() const override {
        return button() || child_.pressable() ? QAccessible::Button : QAccessible::Graphic;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return name();
        if (t == QAccessible::Description) {
            const QString tip = widget()->toolTip();
            return tip == name() ? QString() : tip;
        }
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        QStringList names = QAccessibleWidget::actionNames();
        if (child_.pressable()) names.prepend(pressAction());
        return names;
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        if (!child_.pressable() || !widget()->isEnabled()) return;
        const PointerStandIn pointer(widget()->mapToGlobal(widget()->rect().center()));
        deliverGuarded([&] {
            child_.pressByTool();
            return true;
        });
    }

private:
    QAbstractButton* button() const { return qobject_cast<QAbstractButton*>(widget()); }
    QString name() const {
        QString n = widget()->accessibleName();
        if (n.isEmpty() && button()) n = button()->text().remove(QLatin1Char('&'));
        if (n.isEmpty()) n = widget()->toolTip();
        return n;
    }

    AccessibleChild& child_;
};

QAccessibleInterface* childAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    auto* child = dynamic_cast<AccessibleChild*>(object);
    if (!widget || !child) return nullptr;
    return new ChildAccessible(widget, *child);
}

}  // namespace

PointerStandIn::PointerStandIn(QPoint at) : at_(at), outer_(pointerStandIn) { pointerStandIn = &at_; }
PointerStandIn::~PointerStandIn() { pointerStandIn = outer_; }
const QPoint* PointerStandIn::current() { return pointerStandIn; }

void installChildAccessibility() {
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(childAccessible);
        return true;
    }();
}

}  // namespace tavo
