#include "backends/qt/qt_model_tree_p.h"

namespace tavo {

// ---- Reading the model ---------------------------------------------------------

// A new model or root: nothing of the old one can be found again.
void QtModelTree::Impl::rewire() {
    modelContext = std::make_unique<QObject>();
    releaseKept();
    orphanAll();
    shapeChanged();
    dirty = true;
    model = currentModel();
    root = view ? view->rootIndex() : QModelIndex();
    if (!model) return;
    QObject* ctx = modelContext.get();
    auto before = [this] { aboutToChange(); };
    auto after = [this] {
        shapeChanged();
        dirty = true;
    };
    using M = QAbstractItemModel;
    QObject::connect(model, &M::rowsAboutToBeInserted, ctx, before);
    QObject::connect(model, &M::rowsAboutToBeRemoved, ctx, before);
    QObject::connect(model, &M::rowsAboutToBeMoved, ctx, before);
    QObject::connect(model, &M::layoutAboutToBeChanged, ctx, before);
    QObject::connect(model, &M::modelAboutToBeReset, ctx, before);
    // The rows are read by column 0: columns coming or going change which
    // index stands for a row, and whether a row has one.
    QObject::connect(model, &M::columnsAboutToBeInserted, ctx, before);
    QObject::connect(model, &M::columnsAboutToBeRemoved, ctx, before);
    QObject::connect(model, &M::columnsAboutToBeMoved, ctx, before);
    QObject::connect(model, &M::rowsInserted, ctx, [this, after](const QModelIndex& parent) {
        after();
        rowsAdded(parent);
    });
    QObject::connect(model, &M::rowsRemoved, ctx, after);
    QObject::connect(model, &M::rowsMoved, ctx, after);
    QObject::connect(model, &M::layoutChanged, ctx, after);
    QObject::connect(model, &M::modelReset, ctx, after);
    QObject::connect(model, &M::columnsInserted, ctx, after);
    QObject::connect(model, &M::columnsRemoved, ctx, after);
    QObject::connect(model, &M::columnsMoved, ctx, after);
}

// One pass over the rows loaded, with a stack of its own: trees may be far
// deeper than the call stack allows. Siblings come off the stack in order,
// so each is linked after the one before it. The nodes alive find their rows
// again by the persistent indexes they took before the change.
void QtModelTree::Impl::rebuild() {
    dirty = false;
    ++builds;
    builtRoot = root;
    scrollPlace = -1;  // a place in the records about to go; pinned before the change, if it could be
    QHash<QModelIndex, QtModelNode*> waiting = takeLiveNodes();
    QHash<QModelIndex, bool> leaves;
    for (const QPersistentModelIndex& leaf : pinnedLeaves)
        if (leaf.isValid()) leaves.insert(QModelIndex(leaf).siblingAtColumn(0), true);
    pinnedLeaves.clear();
    openLeaves = 0;
    recs.clear();
    topRecs.clear();
    lastTop = -1;
    undated.clear();
    if (model && view) {
        struct Step {
            QModelIndex index;
            int32_t parent;
        };
        std::vector<Step> stack;
        // A row the model gives no index for (a model without columns has
        // rows but no column 0) is none: the view shows none, and reading
        // below an invalid index would read the top level again, without end.
        auto pushChildren = [&](const QModelIndex& parent, int32_t parentPlace) {
            const std::size_t before = stack.size();
            for (int r = model->rowCount(parent) - 1; r >= 0; --r)
                if (const QModelIndex child = model->index(r, 0, parent); child.isValid())
                    stack.push_back({child, parentPlace});
            return stack.size() - before;
        };
        pushChildren(root, -1);
        while (!stack.empty()) {
            const Step s = stack.back();
            stack.pop_back();
            const int32_t place = addRecord(s.index, s.parent);
            if (!waiting.isEmpty()) {
                if (const auto it = waiting.find(s.index); it != waiting.end()) {
                    recs[std::size_t(place)].node = *it;
                    (*it)->place = place;
                    waiting.erase(it);
                }
            }
            const std::size_t rows = pushChildren(s.index, place);
            if (!leaves.isEmpty() && rows == 0 && leaves.remove(s.index)) {
                recs[std::size_t(place)].leafOpen = true;
                ++openLeaves;
            }
        }
    }
    for (QtModelNode* gone : std::as_const(waiting)) {
        unlink(*gone);
        gone->tree_ = nullptr;
    }
}

// The nodes alive by the rows their persistent indexes lead to now; a node
// whose row is gone, or that another node's row took, leaves the tree.
QHash<QModelIndex, QtModelNode*> QtModelTree::Impl::takeLiveNodes() {
    QHash<QModelIndex, QtModelNode*> waiting;
    for (QtModelNode* n = live; n;) {
        QtModelNode* nextNode = n->nextLive;
        // A column put before the first one takes the pinned index along.
        const QModelIndex now = QModelIndex(n->pinned).siblingAtColumn(0);
        if (now.isValid() && !waiting.contains(now)) {
            waiting.insert(now, n);
        } else {
            unlink(*n);
            n->tree_ = nullptr;
        }
        n->pinned = QPersistentModelIndex();
        n = nextNode;
    }
    return waiting;
}

// A row's record, linked after its last sibling read so far.
int32_t QtModelTree::Impl::addRecord(const QModelIndex& index, int32_t parent) {
    const auto place = int32_t(recs.size());
    ModelRecord& r = recs.emplace_back();
    r.index = index;
    r.parent = parent;
    if (parent >= 0) {
        ModelRecord& p = recs[std::size_t(parent)];
        r.level = p.level + 1;
        r.top = p.top;
        if (p.lastChild >= 0) recs[std::size_t(p.lastChild)].next = place;
        else p.firstChild = place;
        p.lastChild = place;
        ++p.children;
    } else {
        r.top = place;
        if (lastTop >= 0) recs[std::size_t(lastTop)].next = place;
        lastTop = place;
        topRecs.push_back(place);
    }
    return place;
}

// ---- Nodes ---------------------------------------------------------------------

QtModelNode::QtModelNode(QtModelTree::Impl* tree, int32_t where) : tree_(tree), place(where) {}

QtModelNode::~QtModelNode() {
    if (tree_) tree_->nodeGone(*this);
}

const ModelRecord& QtModelNode::rec() const {
    tree().fresh();
    return tree().recs[std::size_t(place)];
}

void QtModelNode::setExpanded(bool expanded) {
    rec();
    tree().setExpanded(place, expanded);
}
bool QtModelNode::expanded() const {
    rec();
    return tree().expanded(place);
}
std::shared_ptr<TreeNode> QtModelNode::firstChild() const { return tree().nodeAt(rec().firstChild); }
std::shared_ptr<TreeNode> QtModelNode::lastSibling() const {
    const ModelRecord& r = rec();
    return tree().nodeAt(r.parent >= 0 ? tree().recs[std::size_t(r.parent)].lastChild : tree().lastTop);
}
std::shared_ptr<TreeNode> QtModelNode::nextSibling() const { return tree().nodeAt(rec().next); }
int32_t QtModelNode::bringIntoView() {
    rec();
    tree().bringIntoView(place);
    return 1;
}
std::optional<uint64_t> QtModelNode::treeChangeCount() const { return tree().changes; }
std::optional<uint64_t> QtModelNode::branchChangedAt() const {
    const ModelRecord& r = rec();
    QtModelTree::Impl& t = tree();
    t.dateBranches();
    return std::max(t.recs[std::size_t(r.top)].branchChange, t.shapeChangedAt);
}

bool QtModelNode::branchAtOnce(bool expanding) {
    rec();
    QtModelTree::Impl& t = tree();
    return t.unobserved() && t.setRange(place, t.branchEnd(place), expanding);
}

// ---- The tree ------------------------------------------------------------------

QtModelTree::QtModelTree(ControlSite& site, QTreeView* view)
    : Control(site), impl_(std::make_unique<Impl>(*this, view)) {
    impl_->collection = std::make_shared<QtModelCollection>(impl_.get());
    if (!view) return;
    QObject::connect(view, &QTreeView::expanded, impl_->context.get(),
                     [d = impl_.get()](const QModelIndex& i) { d->openStateChanged(i); });
    QObject::connect(view, &QTreeView::collapsed, impl_->context.get(),
                     [d = impl_.get()](const QModelIndex& i) { d->openStateChanged(i); });
}

QtModelTree::~QtModelTree() = default;

QTreeView* QtModelTree::treeView() const { return impl_->view; }

TreeNodeRef QtModelTree::nodeFor(const QModelIndex& index) const { return impl_->nodeAt(impl_->placeOf(index)); }

TreeNodeRef QtModelTree::selectedItem() const { return nodeFor(impl_->widget().currentIndex()); }

bool QtModelTree::allAtOnce(bool expanding) {
    Impl& d = *impl_;
    d.fresh();
    if (!d.unobserved() || disabledOrHidden() || !d.setRange(0, int32_t(d.recs.size()), expanding)) return false;
    if (expanding)
        for (const int32_t top : d.topRecs) d.bringIntoView(top);
    return true;
}

std::size_t QtModelTree::count() const {
    impl_->fresh();
    return impl_->recs.size();
}

// Enabled and Visible are the view's own settings, not those of the window around it.
bool QtModelTree::enabled() const { return !impl_->widget().testAttribute(Qt::WA_ForceDisabled); }
void QtModelTree::setEnabled(bool e) { impl_->widget().setEnabled(e); }
bool QtModelTree::visible() const { return !impl_->widget().isHidden(); }
void QtModelTree::setVisible(bool v) { impl_->widget().setVisible(v); }

}  // namespace tavo
