#include "tavo/qt/qt_tree_view.h"

#include <unordered_set>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_tree_view_p.h"

namespace tavo {

namespace {

QTreeWidget* surfaceTree(ControlSite& site) {
    auto* qtSite = dynamic_cast<QtControlSite*>(&site);
    if (!qtSite || !qtSite->surface())
        throwHostError(err::CantCreateObject, "SSActiveTreeView.SSTree " + site.controlName() + " needs a site of the Qt host");
    auto* tree = new QTreeWidget(qtSite->surface());
    tree->setObjectName(QString::fromStdString(site.controlName()));
    tree->setHeaderHidden(true);
    tree->setGeometry(qtSite->surface()->rect());
    tree->show();
    return tree;
}

// Calls f on an item and on everything below it, in tree order, with a stack
// of its own: trees may be far deeper than the call stack allows.
template <class F>
void eachInBranch(QTreeWidgetItem* root, F&& f) {
    std::vector<QTreeWidgetItem*> stack{root};
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        f(item);
        for (int i = item->childCount() - 1; i >= 0; --i) stack.push_back(item->child(i));
    }
}

}  // namespace

QtTreeNode& QtTreeNode::rec() const {
    tree().fresh();
    return const_cast<QtTreeNode&>(*this);
}
void QtTreeNode::setExpanded(bool expanded) { tree().setExpanded(rec(), expanded); }
bool QtTreeNode::expanded() const { return tree().expanded(rec()); }
std::shared_ptr<TreeNode> QtTreeNode::lastSibling() const { return ref(tree().lastSibling(rec())); }
int32_t QtTreeNode::bringIntoView() {
    tree().bringIntoView(rec());
    return 1;
}
std::optional<uint64_t> QtTreeNode::treeChangeCount() const { return tree().changes; }
std::optional<uint64_t> QtTreeNode::branchChangedAt() const {
    const QtTreeNode& n = rec();
    tree().dateBranches();
    return std::max(n.top->branchChange, tree().shapeChangedAt);
}

void QtTreeView::Impl::rebuild() {
    dirty = false;
    built = true;
    firstTop = lastTop = nullptr;
    auto drop = [&](auto it) {
        it->second->orphan();
        return nodes.erase(it);
    };
    if (!tree) {
        order.clear();
        for (auto it = nodes.begin(); it != nodes.end();) it = drop(it);
        return;
    }
    // Walks the tree with a stack of its own: trees may be far deeper than
    // the call stack allows. Siblings come off the stack in order, so each
    // is linked after the one before it.
    struct Step {
        QTreeWidgetItem* item;
        QtTreeNode* parent;
    };
    std::vector<Step> stack;
    std::vector<QtTreeNode*> preorder;
    std::unordered_set<const QtTreeNode*> alive;
    preorder.reserve(nodes.size());
    for (int i = tree->topLevelItemCount() - 1; i >= 0; --i) stack.push_back({tree->topLevelItem(i), nullptr});
    while (!stack.empty()) {
        const Step s = stack.back();
        stack.pop_back();
        QtTreeNode& n = made(s.item);
        link(n, s.parent);
        preorder.push_back(&n);
        alive.insert(&n);
        for (int i = s.item->childCount() - 1; i >= 0; --i) stack.push_back({s.item->child(i), &n});
    }
    // Nodes keep their places in the collection; new ones follow in tree order.
    std::vector<QtTreeNode*> next;
    next.reserve(preorder.size());
    std::unordered_set<const QtTreeNode*> placed;
    for (QtTreeNode* n : order)
        if (n && alive.count(n) && placed.insert(n).second) next.push_back(n);
    for (QtTreeNode* n : preorder)
        if (!placed.count(n)) next.push_back(n);
    for (auto it = nodes.begin(); it != nodes.end();) it = alive.count(it->second.get()) ? std::next(it) : drop(it);
    order = std::move(next);
    for (std::size_t i = 0; i < order.size(); ++i) order[i]->index = int32_t(i);
}

// Items join the collection when they are added, in the order they come,
// with what they hold in tree order: the collection does not depend on when
// the adapter looks.
void QtTreeView::Impl::placeInserted(const QModelIndex& parent, int first, int last) {
    if (!built) return;
    QTreeWidgetItem* p = parent.isValid() ? treeview::ViewAccess::itemAt(tree, parent) : nullptr;
    for (int r = first; r <= last; ++r) {
        QTreeWidgetItem* added = p ? p->child(r) : tree->topLevelItem(r);
        if (!added) continue;
        eachInBranch(added, [this](QTreeWidgetItem* item) {
            if (nodes.count(item)) return;
            QtTreeNode& n = made(item);
            n.index = int32_t(order.size());
            order.push_back(&n);
        });
    }
}

void QtTreeView::Impl::forget(QTreeWidgetItem* root) {
    eachInBranch(root, [this](QTreeWidgetItem* item) {
        auto it = nodes.find(item);
        if (it != nodes.end()) {
            QtTreeNode& n = *it->second;
            n.orphan();
            // Its place in the collection is left empty until the next
            // rebuild, so that a node made later at the same address is not
            // taken for it.
            if (std::size_t(n.index) < order.size() && order[std::size_t(n.index)] == &n)
                order[std::size_t(n.index)] = nullptr;
            nodes.erase(it);
        }
        const std::string key = treeview::keyOf(item);
        if (auto k = byKey.find(key); !key.empty() && k != byKey.end() && k->second == item) byKey.erase(k);
    });
    dirty = true;
}

void QtTreeView::Impl::watchModel() {
    QAbstractItemModel* model = tree->model();
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, tree,
                     [this](const QModelIndex& parent, int first, int last) {
                         shapeChanged();
                         QTreeWidgetItem* p = parent.isValid() ? treeview::ViewAccess::itemAt(tree, parent) : nullptr;
                         for (int r = first; r <= last; ++r)
                             if (QTreeWidgetItem* item = p ? p->child(r) : tree->topLevelItem(r)) forget(item);
                     });
    // A widget that goes resets its model from its destructor, when it is a
    // tree widget no longer: every node goes, found through the records only.
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, tree, [this] {
        shapeChanged();
        for (auto& [item, node] : nodes) node->orphan();
        nodes.clear();
        order.clear();
        byKey.clear();
        dirty = true;
    });
    auto changed = [this] {
        if (adding) return;
        dirty = true;
        shapeChanged();
    };
    QObject::connect(model, &QAbstractItemModel::rowsInserted, tree,
                     [this, changed](const QModelIndex& parent, int first, int last) {
                         if (!adding) placeInserted(parent, first, last);
                         changed();
                         if (parent.isValid()) childrenAdded(treeview::ViewAccess::itemAt(tree, parent));
                     });
    QObject::connect(model, &QAbstractItemModel::rowsMoved, tree, changed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, tree, changed);
    QObject::connect(model, &QAbstractItemModel::modelReset, tree, changed);
    QObject::connect(tree, &QTreeView::expanded, context.get(), [this](const QModelIndex& i) { openStateChanged(i); });
    QObject::connect(tree, &QTreeView::collapsed, context.get(), [this](const QModelIndex& i) { openStateChanged(i); });
}

QtTreeView::QtTreeView(ControlSite& site) : Control(site), impl_(std::make_unique<Impl>(*this, surfaceTree(site), true)) {
    impl_->collection = std::make_shared<QtNodeCollection>(impl_.get());
    impl_->watchModel();
}

QtTreeView::QtTreeView(ControlSite& site, QTreeWidget* existing)
    : Control(site), impl_(std::make_unique<Impl>(*this, existing, false)) {
    impl_->collection = std::make_shared<QtNodeCollection>(impl_.get());
    impl_->watchModel();
}

QtTreeView::~QtTreeView() {
    // Nodes and the collection may be held elsewhere; they must not reach back.
    for (auto& [item, node] : impl_->nodes) node->orphan();
    impl_->collection->orphan();
    if (impl_->tree) {
        impl_->tree->model()->disconnect(impl_->tree);
        if (impl_->owned) impl_->tree->deleteLater();
    }
}

TreeNodeRef QtTreeView::addNode(const std::string& key, const std::string& parentKey, const std::string& text) {
    Impl& d = *impl_;
    QTreeWidget& tree = d.widget();
    if (!key.empty() && d.byKey.count(key))
        throwHostError(err::InvalidProcedureCall, "the key \"" + key + "\" is already in the tree");
    QTreeWidgetItem* parent = nullptr;
    if (!parentKey.empty()) {
        auto it = d.byKey.find(parentKey);
        if (it == d.byKey.end())
            throwHostError(err::InvalidProcedureCall,
                           "node \"" + key + "\": its parent key \"" + parentKey + "\" is not in the tree");
        parent = it->second;
    }
    d.fresh();
    QtTreeNode* parentNode = parent ? d.nodes.at(parent).get() : nullptr;
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(text)});
    item->setData(0, Qt::UserRole, QString::fromStdString(key));
    ++d.adding;
    if (parent) parent->addChild(item);
    else tree.addTopLevelItem(item);
    --d.adding;
    QtTreeNode& n = d.made(item);
    n.index = int32_t(d.order.size());
    d.link(n, parentNode);
    d.order.push_back(&n);
    d.changedIn(parentNode);
    if (!key.empty()) d.byKey.emplace(key, item);
    return QtTreeNode::ref(&n);
}

TreeNodeRef QtTreeView::nodeMember(const Variant& index) { return impl_->item(index); }

TreeNodeRef QtTreeView::node(const std::string& key) const {
    auto it = impl_->byKey.find(key);
    return it == impl_->byKey.end() ? nullptr : impl_->object(it->second);
}

TreeNodeRef QtTreeView::nodeFor(QTreeWidgetItem* item) const {
    if (!item) return nullptr;
    impl_->fresh();
    return impl_->nodes.count(item) ? impl_->object(item) : nullptr;
}

void QtTreeView::select(const std::string& key) {
    if (key.empty()) {
        impl_->widget().setCurrentItem(nullptr);
        return;
    }
    auto it = impl_->byKey.find(key);
    if (it == impl_->byKey.end())
        throwHostError(err::InvalidProcedureCall, "cannot select \"" + key + "\": no node has this key");
    impl_->widget().setCurrentItem(it->second);
}

TreeNodeRef QtTreeView::selectedItem() const { return impl_->object(impl_->widget().currentItem()); }

std::size_t QtTreeView::count() const {
    impl_->fresh();
    return impl_->order.size();
}

// Enabled and Visible are the tree's own settings, not those of the window around it.
bool QtTreeView::enabled() const { return !impl_->widget().testAttribute(Qt::WA_ForceDisabled); }
void QtTreeView::setEnabled(bool e) { impl_->widget().setEnabled(e); }
bool QtTreeView::visible() const { return !impl_->widget().isHidden(); }
void QtTreeView::setVisible(bool v) { impl_->widget().setVisible(v); }

QTreeWidget* QtTreeView::treeWidget() const { return impl_->tree; }

void QtTreeView::Resize() {
    if (!impl_->owned || !impl_->tree) return;
    if (auto* qtSite = dynamic_cast<QtControlSite*>(&site()); qtSite && qtSite->surface())
        impl_->tree->setGeometry(qtSite->surface()->rect());
}

}  // namespace tavo
