#include "tavo/widgets/tree_controller.h"

#include <QEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <array>

#include "tavo/qt/hosted_control.h"
#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_convert.h"
#include "tavo/qt/qt_host.h"
#include "backends/qt/qt_model_tree.h"
#include "tavo/host/error.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "widgets/widgets_logging.h"

namespace tavo {

namespace {

// The instance names the control and the bound view have for messages.
constexpr const char* kName = "TavoSSTreeController1";
constexpr const char* kTreeName = "SSTree1";
constexpr uint32_t kButtonFace = 0x8000000F;
// The strip's design size in twips.
constexpr float kDesignWidth = 1080, kDesignHeight = 225;

using ToolTipRead = std::string (TavoSSTreeController::*)() const;
using ToolTipWrite = void (TavoSSTreeController::*)(const std::string&);
using ToolTipChanged = void (TreeController::*)(const QString&);

struct ToolTipProperty {
    ToolTipRead read;
    ToolTipWrite write;
    ToolTipChanged changed;
};

const std::array<ToolTipProperty, TavoSSTreeController::kButtonCount> kToolTips = {{
    {&TavoSSTreeController::ToolTipTextPlus, &TavoSSTreeController::setToolTipTextPlus,
     &TreeController::toolTipTextPlusChanged},
    {&TavoSSTreeController::ToolTipTextPlusPlus, &TavoSSTreeController::setToolTipTextPlusPlus,
     &TreeController::toolTipTextPlusPlusChanged},
    {&TavoSSTreeController::ToolTipTextMinusMinus, &TavoSSTreeController::setToolTipTextMinusMinus,
     &TreeController::toolTipTextMinusMinusChanged},
    {&TavoSSTreeController::ToolTipTextMinus, &TavoSSTreeController::setToolTipTextMinus,
     &TreeController::toolTipTextMinusChanged},
}};

}  // namespace

struct TreeController::Private {
    explicit Private(TreeController* owner);
    ~Private();

    // Reads the properties anew and emits the signal of each that changed.
    void announce();
    void refuse(const char* property, const QString& reason);
    void setToolTip(int k, const QString& text);
    void bind(QTreeView* view);
    // Binds the view that treeViewName names in the widget's window.
    void bindByName();
    void enabledChanged();
    QSize designSize() const { return {host->toPixelsX(kDesignWidth), host->toPixelsY(kDesignHeight)}; }

    TreeController* q;
    std::shared_ptr<QtHost> host;
    std::unique_ptr<HostedControl> hosted;
    std::shared_ptr<TavoSSTreeController> control;
    // The bound view, its site and the model adapter over it.
    QPointer<QTreeView> view;
    std::unique_ptr<QtControlSite> treeSite;
    std::shared_ptr<QtModelTree> tree;
    QMetaObject::Connection viewGone;
    // The values last announced.
    uint32_t backColor = kButtonFace;
    std::array<std::string, TavoSSTreeController::kButtonCount> toolTips;
    bool syncingEnabled = false;
    // The view's name from a form, and whether the widget was shown (the
    // form is complete then, and names can be looked up).
    QString viewName;
    bool shown = false;
};

TreeController::Private::Private(TreeController* owner) : q(owner), host(QtHost::forThisThread()) {
    ComponentRegistry& registry = ComponentRegistry::global();
    if (!registry.typeInfo(TavoSSTreeController::kProgId)) registerTavoSSAddOn(registry);
    q->resize(designSize());
    hosted = std::make_unique<HostedControl>(*host, q, TavoSSTreeController::kProgId, kName, registry);
    control = std::dynamic_pointer_cast<TavoSSTreeController>(hosted->controlRef());
    if (!control)
        throwHostError(err::CantCreateObject,
                       std::string(TavoSSTreeController::kProgId) + " is registered as another class");
    backColor = control->BackColor();
    for (int k = 0; k < TavoSSTreeController::kButtonCount; ++k) toolTips[k] = (control.get()->*kToolTips[k].read)();
    if (!q->isEnabled()) control->setEnabled(false);
    hosted->onPropertyChanged = [this](std::string_view property) {
        if (ascii::equalsNoCase(property, "Enabled") && !syncingEnabled) {
            QScopedValueRollback<bool> syncing(syncingEnabled, true);
            q->setEnabled(control->Enabled());
        }
        announce();
    };
    q->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

TreeController::Private::~Private() {
    // The bound view's adapter and the control are told while their sites
    // still stand; then each goes before its site and the host.
    QObject::disconnect(viewGone);
    if (tree) tree->detachFromSite();
    control.reset();
    hosted.reset();
    tree.reset();
    treeSite.reset();
}

void TreeController::Private::announce() {
    QPointer<TreeController> alive(q);
    if (const uint32_t now = control->BackColor(); now != backColor) {
        backColor = now;
        emit q->backColorChanged(q->backColor());
        if (!alive) return;
    }
    for (int k = 0; k < TavoSSTreeController::kButtonCount; ++k) {
        std::string now = (control.get()->*kToolTips[k].read)();
        if (now == toolTips[k]) continue;
        toolTips[k] = std::move(now);
        emit(q->*kToolTips[k].changed)(QString::fromStdString(toolTips[k]));
        if (!alive) return;
    }
}

void TreeController::Private::refuse(const char* property, const QString& reason) {
    qCWarning(lcWidgets).noquote()
        << QStringLiteral("TreeController \"%1\" kept its %2: %3").arg(q->objectName(), QLatin1String(property), reason);
    emit q->valueRefused(QString::fromLatin1(property), reason);
}

void TreeController::Private::setToolTip(int k, const QString& text) {
    const std::string value = text.toStdString();
    if (value == (control.get()->*kToolTips[k].read)()) return;
    (control.get()->*kToolTips[k].write)(value);
}

// A new adapter for every view, also for a tree widget: the buttons then
// meet every model the same way. The old one goes after the control has let
// go of it.
void TreeController::Private::bind(QTreeView* next) {
    QObject::disconnect(viewGone);
    std::unique_ptr<QtControlSite> oldSite = std::move(treeSite);
    std::shared_ptr<QtModelTree> oldTree = std::move(tree);
    view = next;
    if (next) {
        // The site names an unnamed surface; the application's view keeps its own name.
        const QString name = next->objectName();
        treeSite = std::make_unique<QtControlSite>(*host, next, kTreeName);
        next->setObjectName(name);
        tree = std::make_shared<QtModelTree>(*treeSite, next);
        viewGone = QObject::connect(next, &QObject::destroyed, q, [this] {
            bind(nullptr);
            emit q->treeViewChanged(nullptr);
        });
    }
    control->setMySSTree(tree);
    if (oldTree) oldTree->detachFromSite();
}

void TreeController::Private::bindByName() {
    if (viewName.isEmpty()) return;
    if (auto* found = q->window()->findChild<QTreeView*>(viewName)) {
        q->setTreeView(found);
        return;
    }
    qCWarning(lcWidgets).noquote() << QStringLiteral("TreeController \"%1\": its window has no QTreeView named \"%2\"")
                                          .arg(q->objectName(), viewName);
}

// A parent that disables the widget disables the control; the control's
// surface is the widget itself, which must not stay disabled on its own
// account when the parent is enabled again.
void TreeController::Private::enabledChanged() {
    if (!syncingEnabled && control->Enabled() != q->isEnabled()) {
        QScopedValueRollback<bool> syncing(syncingEnabled, true);
        const bool forced = q->testAttribute(Qt::WA_ForceDisabled);
        control->setEnabled(q->isEnabled());
        q->setAttribute(Qt::WA_ForceDisabled, forced);
    }
    emit q->enabledChanged(q->isEnabled());
}

// ---- TreeController -------------------------------------------------------------

// As the date widget: `d` is null, not unmade, while the private part is made.
TreeController::TreeController(QWidget* parent) : QWidget(parent) { d = std::make_unique<Private>(this); }

TreeController::~TreeController() = default;

Control& TreeController::control() const { return *d->control; }

QTreeView* TreeController::treeView() const { return d->view; }

void TreeController::setTreeView(QTreeView* view) {
    if (view == d->view) return;
    d->bind(view);
    emit treeViewChanged(view);
}

QString TreeController::treeViewName() const { return d->viewName; }

void TreeController::setTreeViewName(const QString& name) {
    if (name == d->viewName) return;
    d->viewName = name;
    emit treeViewNameChanged(name);
    if (d->shown) d->bindByName();
}

QColor TreeController::backColor() const { return toQColor(d->control->BackColor(), palette()); }

void TreeController::setBackColor(const QColor& colour) {
    uint32_t wanted = kButtonFace;
    if (colour.isValid()) {
        if (colour.alpha() != 255) {
            d->refuse("backColor", QStringLiteral("%1 is translucent; the control draws opaque colours only")
                                       .arg(colour.name(QColor::HexArgb)));
            return;
        }
        // The colour just read, written back: a system colour stays one.
        if (colour.rgb() == backColor().rgb()) return;
        wanted = fromQColor(colour);
    }
    if (wanted != d->control->BackColor()) d->control->setBackColor(wanted);
}

QString TreeController::toolTipTextPlus() const { return QString::fromStdString(d->control->ToolTipTextPlus()); }
void TreeController::setToolTipTextPlus(const QString& text) { d->setToolTip(0, text); }
QString TreeController::toolTipTextPlusPlus() const { return QString::fromStdString(d->control->ToolTipTextPlusPlus()); }
void TreeController::setToolTipTextPlusPlus(const QString& text) { d->setToolTip(1, text); }
QString TreeController::toolTipTextMinusMinus() const {
    return QString::fromStdString(d->control->ToolTipTextMinusMinus());
}
void TreeController::setToolTipTextMinusMinus(const QString& text) { d->setToolTip(2, text); }
QString TreeController::toolTipTextMinus() const { return QString::fromStdString(d->control->ToolTipTextMinus()); }
void TreeController::setToolTipTextMinus(const QString& text) { d->setToolTip(3, text); }

void TreeController::click(Button button) {
    if (!isEnabled() || button < ExpandSelected || button > CollapseSelected) return;
    const auto& image = d->control->img(int(button));
    if (image->onClick) image->onClick();
}

QSize TreeController::sizeHint() const { return d->designSize(); }
QSize TreeController::minimumSizeHint() const { return d->designSize(); }

void TreeController::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (d && event->type() == QEvent::EnabledChange) d->enabledChanged();
}

void TreeController::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (d->shown || event->spontaneous()) return;
    d->shown = true;
    d->bindByName();
}

}  // namespace tavo
