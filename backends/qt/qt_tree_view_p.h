#pragma once
// The tree view adapter's private rooms, shared by its two sources: the node
// objects, the node collection, and the adapter's records of the widget's
// tree (qt_tree_view.cpp keeps them up to date; qt_tree_view_members.cpp
// serves the members by name).
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tavo/host/error.h"
#include "tavo/qt/qt_tree_view.h"

namespace tavo {

namespace treeview {

// Reaches two protected members of Qt's views through member pointers named
// in a derived class, which the language allows for any object of the base.
struct ViewAccess : QTreeWidget {
    static void scheduleLayout(QAbstractItemView* view) { (view->*(&ViewAccess::scheduleDelayedItemsLayout))(); }
    static QTreeWidgetItem* itemAt(const QTreeWidget* tree, const QModelIndex& index) {
        return (tree->*(&ViewAccess::itemFromIndex))(index);
    }
};

inline std::string keyOf(const QTreeWidgetItem* item) { return item->data(0, Qt::UserRole).toString().toStdString(); }

}  // namespace treeview

class QtNodeCollection : public Object {
public:
    explicit QtNodeCollection(QtTreeView::Impl* tree) : tree_(tree) {}
    void orphan() { tree_ = nullptr; }
    std::string className() const override { return "SSNodes"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    // Item needs an index.
    std::vector<std::string> propertyNames() const override { return {"Count"}; }
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

private:
    QtTreeView::Impl* tree_;
};

// One node object per item, made with the adapter's record of the item: its
// place and links to its relatives, so that walking the tree from node to
// node touches nothing but the nodes. The links are valid whenever the
// adapter's records are fresh; every member brings them up to date first.
// The same node is always the same object, so the base's sameNode holds.
class QtTreeNode : public TreeNode {
public:
    QtTreeNode(QtTreeView::Impl* tree, QTreeWidgetItem* item) : item(item), tree_(tree) {}
    void orphan() { tree_ = nullptr; }

    QtTreeView::Impl& tree() const {
        if (!tree_) throwHostError(err::ObjectNotSet, "this node is no longer in a tree view");
        return *tree_;
    }
    // The node itself, its links brought up to date first.
    QtTreeNode& rec() const;

    void setExpanded(bool expanded) override;
    bool expanded() const override;
    int32_t childCount() const override { return rec().childNodes; }
    Variant levelMember() override { return Variant::longValue(rec().level); }
    std::shared_ptr<TreeNode> firstChild() const override { return ref(rec().firstChildNode); }
    std::shared_ptr<TreeNode> lastSibling() const override;
    std::shared_ptr<TreeNode> nextSibling() const override { return ref(rec().nextNode); }
    int32_t bringIntoView() override;
    std::optional<uint64_t> treeChangeCount() const override;
    std::optional<uint64_t> branchChangedAt() const override;

    std::string className() const override { return "SSNode"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

    static TreeNodeRef ref(QtTreeNode* n) {
        return n ? std::static_pointer_cast<TreeNode>(n->shared_from_this()) : nullptr;
    }

    QTreeWidgetItem* const item;
    QtTreeNode* parentNode = nullptr;
    QtTreeNode* firstChildNode = nullptr;
    QtTreeNode* lastChildNode = nullptr;
    QtTreeNode* nextNode = nullptr;
    QtTreeNode* top = this;  // the top-level node of its branch
    uint64_t branchChange = 0;  // of a top-level node: the adapter's count at its branch's last change
    int32_t childNodes = 0;
    int32_t index = 0;  // place in the collection, from 0
    int32_t level = 1;
    bool leafOpen = false;  // a node without children opened (see Impl::setExpanded)

private:
    QtTreeView::Impl* tree_;
};

struct QtTreeView::Impl {
    QtTreeView& view;
    QPointer<QTreeWidget> tree;
    bool owned;
    // The nodes by item; they live as long as their items, and longer only
    // where someone else holds them, orphaned.
    std::unordered_map<QTreeWidgetItem*, std::shared_ptr<QtTreeNode>> nodes;
    std::vector<QtTreeNode*> order;  // the collection; empty places until the next rebuild
    QtTreeNode* firstTop = nullptr;
    QtTreeNode* lastTop = nullptr;
    std::unordered_map<std::string, QTreeWidgetItem*> byKey;
    std::shared_ptr<QtNodeCollection> collection;
    bool dirty = true;
    bool built = false;  // the records were made once: items added later join the collection as they come
    int adding = 0;
    // Changes to the tree, however made, and the count at the last change of
    // its shape, which every branch counts as its own: the records do not
    // tell which branch a change of shape touched until they are rebuilt.
    uint64_t changes = 0;
    uint64_t shapeChangedAt = 0;
    QtTreeNode* opening = nullptr;  // the node the adapter is opening or closing in Qt
    std::vector<std::pair<QTreeWidgetItem*, uint64_t>> undated;  // items others opened or closed, with the count
    // The node to scroll to at the next turn of the loop (checked against the
    // nodes still there).
    QTreeWidgetItem* pendingScroll = nullptr;
    bool scrollQueued = false;
    // The context of the adapter's own connections and queued calls, which go
    // with it.
    std::unique_ptr<QObject> context = std::make_unique<QObject>();

    Impl(QtTreeView& v, QTreeWidget* t, bool own) : view(v), tree(t), owned(own) {}
    // The records of a view, for the backend's own code that gets the view.
    static Impl& of(const QtTreeView& v) { return *v.impl_; }

    QTreeWidget& widget() const {
        if (!tree) throwHostError(err::ObjectNotSet, "the tree widget of " + view.instanceName() + " no longer exists");
        return *tree;
    }
    void fresh() {
        if (dirty) rebuild();
    }
    QtTreeNode& node(QTreeWidgetItem* item) {
        fresh();
        auto it = nodes.find(item);
        if (it == nodes.end()) throwHostError(err::ObjectNotSet, "the item is not a node of " + view.instanceName());
        return *it->second;
    }
    TreeNodeRef object(QTreeWidgetItem* item) { return item ? QtTreeNode::ref(&node(item)) : nullptr; }
    // The node of an item, made if the item is new to the adapter.
    QtTreeNode& made(QTreeWidgetItem* item) {
        auto& slot = nodes[item];
        if (!slot) slot = std::make_shared<QtTreeNode>(this, item);
        return *slot;
    }
    // Appends a node to its parent's children (or the top level).
    void link(QtTreeNode& n, QtTreeNode* parent) {
        n.parentNode = parent;
        n.firstChildNode = n.lastChildNode = n.nextNode = nullptr;
        n.childNodes = 0;
        n.level = parent ? parent->level + 1 : 1;
        n.top = parent ? parent->top : &n;
        QtTreeNode*& first = parent ? parent->firstChildNode : firstTop;
        QtTreeNode*& last = parent ? parent->lastChildNode : lastTop;
        if (parent) ++parent->childNodes;
        if (last) last->nextNode = &n;
        else first = &n;
        last = &n;
    }
    QtTreeNode& at(int32_t oneBased) {
        fresh();
        if (oneBased < 1 || std::size_t(oneBased) > order.size())
            throwHostError(err::IndexOutOfBounds, "Nodes(" + std::to_string(oneBased) +
                                                  ") of a tree with " + std::to_string(order.size()) + " nodes");
        return *order[std::size_t(oneBased - 1)];
    }
    TreeNodeRef item(const Variant& index) {
        if (index.type() == VarType::String) {
            auto it = byKey.find(index.rawString());
            if (it == byKey.end())
                throwHostError(err::ElementNotFound, "no node has the key \"" + index.rawString() + "\"");
            return object(it->second);
        }
        return QtTreeNode::ref(&at(index.toLong()));
    }
    QtTreeNode* lastSibling(const QtTreeNode& n) const { return n.parentNode ? n.parentNode->lastChildNode : lastTop; }
    // Nodes opened or closed from now on only mark the view for one layout later.
    void deferLayout() {
        if (tree) treeview::ViewAccess::scheduleLayout(tree);
    }
    // Qt keeps a mark for every node it is told to open, leaf or not, which
    // costs as much as opening a node with children. A leaf's open state is
    // kept here instead, and handed to Qt when the leaf gets children.
    // Closing a leaf still goes to Qt, which may hold a mark of its own (its
    // expandAll marks leaves too): with the layout deferred, Qt drops a mark
    // for a lookup, where asking it first whether there is one costs more.
    void setExpanded(QtTreeNode& n, bool open) {
        if (!n.firstChildNode) {
            if (n.leafOpen != open) changedIn(&n);
            n.leafOpen = open;
            if (open) return;
        }
        deferLayout();
        opening = &n;
        n.item->setExpanded(open);
        opening = nullptr;
    }
    bool expanded(const QtTreeNode& n) const {
        if (!n.firstChildNode && n.leafOpen) return true;
        return n.item->isExpanded();
    }
    void childrenAdded(QTreeWidgetItem* parent) {
        auto it = nodes.find(parent);
        if (it == nodes.end() || !it->second->leafOpen) return;
        it->second->leafOpen = false;
        deferLayout();
        parent->setExpanded(true);
    }
    void bringIntoView(QtTreeNode& n) {
        for (QtTreeNode* p = n.parentNode; p; p = p->parentNode)
            if (!p->item->isExpanded()) setExpanded(*p, true);
        scrollLater(n.item);
        if (view.onBringIntoView) view.onBringIntoView(treeview::keyOf(n.item));
    }
    // Scrolling lays the view out at once. Of the nodes a command brings into
    // view one after another only the last decides where the view stands, so
    // the view scrolls once, at the next turn of the loop; a scroll per node
    // would lay out all the rows again for every top-level node.
    void scrollLater(QTreeWidgetItem* item) {
        pendingScroll = item;
        if (scrollQueued) return;
        scrollQueued = true;
        QTimer::singleShot(0, context.get(), [this] {
            scrollQueued = false;
            QTreeWidgetItem* target = std::exchange(pendingScroll, nullptr);
            if (tree && target && nodes.count(target)) tree->scrollToItem(target);
        });
    }

    // A change within the branch of a node (of the top level for none).
    void changedIn(QtTreeNode* n) {
        ++changes;
        if (n) n->top->branchChange = changes;
    }
    void shapeChanged() {
        ++changes;
        shapeChangedAt = changes;
    }
    // Qt tells of every node it opens or closes, whoever asked (its own
    // expandAll and collapseAll too, as long as someone listens). Others'
    // changes are dated in their branches only when a walk asks: finding an
    // item's node costs more than Qt's own opening of it. Past a limit, one
    // change of shape dates every branch instead.
    void openStateChanged(const QModelIndex& index) {
        ++changes;
        QTreeWidgetItem* item = treeview::ViewAccess::itemAt(tree, index);
        if (opening && opening->item == item) {
            opening->top->branchChange = changes;
        } else if (undated.size() < 4096) {
            undated.emplace_back(item, changes);
        } else {
            undated.clear();
            shapeChangedAt = changes;
        }
    }
    void dateBranches() {
        for (const auto& [item, at] : undated)
            if (const auto it = nodes.find(item); it != nodes.end())
                it->second->top->branchChange = std::max(it->second->top->branchChange, at);
        undated.clear();
    }

    void rebuild();
    void placeInserted(const QModelIndex& parent, int first, int last);
    void forget(QTreeWidgetItem* root);
    void watchModel();
};

}  // namespace tavo
