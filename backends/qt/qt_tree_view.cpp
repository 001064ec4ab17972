#include "backends/qt/qt_tree_view.h"

#include <QPointer>
#include <QTimer>
#include <memory>
#include <unordered_map>
#include <utility>
#include <unordered_set>
#include <vector>

#include "backends/qt/qt_control_site.h"
#include "host/ascii_text.h"
#include "host/error.h"
#include "host/registry.h"

namespace tavo {

namespace {

// Reaches two protected members of Qt's views through member pointers named
// in a derived class, which the language allows for any object of the base.
struct ViewAccess : QTreeWidget {
    static void scheduleLayout(QAbstractItemView* view) { (view->*(&ViewAccess::scheduleDelayedItemsLayout))(); }
    static QTreeWidgetItem* itemAt(const QTreeWidget* tree, const QModelIndex& index) {
        return (tree->*(&ViewAccess::itemFromIndex))(index);
    }
};

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

std::string keyOf(const QTreeWidgetItem* item) { return item->data(0, Qt::UserRole).toString().toStdString(); }

}  // namespace

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
    std::shared_ptr<TreeNode> firstChild() const override { return ref(rec().firstChildNode); }
    std::shared_ptr<TreeNode> lastSibling() const override;
    std::shared_ptr<TreeNode> nextSibling() const override { return ref(rec().nextNode); }
    int32_t bringIntoView() override;

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
    int adding = 0;
    // The node to scroll to at the next turn of the loop (checked against the
    // nodes still there), and the context that cancels that scroll when the
    // adapter goes first.
    QTreeWidgetItem* pendingScroll = nullptr;
    std::unique_ptr<QObject> scrollContext = std::make_unique<QObject>();
    bool scrollQueued = false;

    Impl(QtTreeView& v, QTreeWidget* t, bool own) : view(v), tree(t), owned(own) {}

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
    Variant item(const Variant& index) {
        if (index.type() == VarType::String) {
            auto it = byKey.find(index.rawString());
            if (it == byKey.end())
                throwHostError(err::ElementNotFound, "no node has the key \"" + index.rawString() + "\"");
            return Variant::object(object(it->second));
        }
        return Variant::object(QtTreeNode::ref(&at(index.toLong())));
    }
    QtTreeNode* lastSibling(const QtTreeNode& n) const { return n.parentNode ? n.parentNode->lastChildNode : lastTop; }
    // Nodes opened or closed from now on only mark the view for one layout later.
    void deferLayout() {
        if (tree) ViewAccess::scheduleLayout(tree);
    }
    // Qt keeps a mark for every node it is told to open, leaf or not, which
    // costs as much as opening a node with children. A leaf's open state is
    // kept here instead, and handed to Qt when the leaf gets children.
    // Closing a leaf still goes to Qt, which may hold a mark of its own (its
    // expandAll marks leaves too): with the layout deferred, Qt drops a mark
    // for a lookup, where asking it first whether there is one costs more.
    void setExpanded(QtTreeNode& n, bool open) {
        if (!n.firstChildNode) {
            n.leafOpen = open;
            if (open) return;
        }
        deferLayout();
        n.item->setExpanded(open);
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
        if (view.onBringIntoView) view.onBringIntoView(keyOf(n.item));
    }
    // Scrolling lays the view out at once. Of the nodes a command brings into
    // view one after another only the last decides where the view stands, so
    // the view scrolls once, at the next turn of the loop; a scroll per node
    // would lay out all the rows again for every top-level node.
    void scrollLater(QTreeWidgetItem* item) {
        pendingScroll = item;
        if (scrollQueued) return;
        scrollQueued = true;
        QTimer::singleShot(0, scrollContext.get(), [this] {
            scrollQueued = false;
            QTreeWidgetItem* target = std::exchange(pendingScroll, nullptr);
            if (tree && target && nodes.count(target)) tree->scrollToItem(target);
        });
    }

    void rebuild();
    void forget(QTreeWidgetItem* root);
    void watchModel();
};

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

void QtTreeView::Impl::rebuild() {
    dirty = false;
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

void QtTreeView::Impl::forget(QTreeWidgetItem* root) {
    std::vector<QTreeWidgetItem*> stack{root};
    while (!stack.empty()) {
        QTreeWidgetItem* item = stack.back();
        stack.pop_back();
        for (int i = 0; i < item->childCount(); ++i) stack.push_back(item->child(i));
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
        const std::string key = keyOf(item);
        if (auto k = byKey.find(key); !key.empty() && k != byKey.end() && k->second == item) byKey.erase(k);
    }
    dirty = true;
}

void QtTreeView::Impl::watchModel() {
    QAbstractItemModel* model = tree->model();
    QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, tree,
                     [this](const QModelIndex& parent, int first, int last) {
                         QTreeWidgetItem* p = parent.isValid() ? ViewAccess::itemAt(tree, parent) : nullptr;
                         for (int r = first; r <= last; ++r)
                             if (QTreeWidgetItem* item = p ? p->child(r) : tree->topLevelItem(r)) forget(item);
                     });
    QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, tree, [this] {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) forget(tree->topLevelItem(i));
    });
    auto changed = [this] {
        if (!adding) dirty = true;
    };
    QObject::connect(model, &QAbstractItemModel::rowsInserted, tree, [this, changed](const QModelIndex& parent) {
        changed();
        if (parent.isValid()) childrenAdded(ViewAccess::itemAt(tree, parent));
    });
    QObject::connect(model, &QAbstractItemModel::rowsMoved, tree, changed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, tree, changed);
    QObject::connect(model, &QAbstractItemModel::modelReset, tree, changed);
}

Variant QtNodeCollection::get(std::string_view member, const Variant* arg) {
    if (!tree_) throwHostError(err::ObjectNotSet, "this node collection is no longer in a tree view");
    if (ascii::equalsNoCase(member, "Count")) {
        tree_->fresh();
        return Variant::longValue(int32_t(tree_->order.size()));
    }
    if (ascii::equalsNoCase(member, "Item") && arg) return tree_->item(*arg);
    throwNoSuchMember(*this, member);
}

Variant QtNodeCollection::call(std::string_view member, std::span<Variant> args) {
    return get(member, args.empty() ? nullptr : &args[0]);
}

namespace {

Variant nodeValue(const TreeNodeRef& n) { return Variant::object(n); }

const MemberTable<QtTreeNode>& nodeMembers() {
    static const MemberTable<QtTreeNode> table = [] {
        using N = QtTreeNode;
        MemberTable<N> t;
        t.property("Level", [](N& n, const Variant*) { return Variant::longValue(n.rec().level); });
        t.method("EnsureVisible", [](N& n, std::span<Variant>) {
            n.bringIntoView();
            return Variant();
        });
        t.property(
            "Expanded", [](N& n, const Variant*) { return Variant::boolean(n.expanded()); },
            [](N& n, const Variant& v) { n.setExpanded(v.isTrue()); });
        t.property("Key", [](N& n, const Variant*) { return Variant::string(keyOf(n.rec().item)); });
        t.property(
            "Text", [](N& n, const Variant*) { return Variant::string(n.rec().item->text(0).toStdString()); },
            [](N& n, const Variant& v) { n.rec().item->setText(0, QString::fromStdString(v.toString())); });
        t.property("Children", [](N& n, const Variant*) { return Variant::longValue(n.childCount()); });
        t.property("Child", [](N& n, const Variant*) { return nodeValue(n.firstChild()); });
        t.property("LastSibling", [](N& n, const Variant*) { return nodeValue(n.lastSibling()); });
        t.property("Next", [](N& n, const Variant*) { return nodeValue(n.nextSibling()); });
        t.property("Parent", [](N& n, const Variant*) { return nodeValue(QtTreeNode::ref(n.rec().parentNode)); });
        t.property("Index", [](N& n, const Variant*) { return Variant::longValue(n.rec().index + 1); });
        return t;
    }();
    return table;
}

const MemberTable<QtTreeView>& treeMembers() {
    static const MemberTable<QtTreeView> table = [] {
        using T = QtTreeView;
        MemberTable<T> t;
        t.property(
            "SelectedItem", [](T& tree, const Variant*) { return nodeValue(tree.selectedItem()); }, {},
            [](T& tree, const Variant& v) {
                const auto obj = v.toObject();
                auto* node = dynamic_cast<QtTreeNode*>(obj.get());
                if (obj && (!node || &node->tree() != &tree.impl()))
                    throwHostError(err::TypeMismatch, obj->className() + " object is not a node of this tree");
                tree.impl().widget().setCurrentItem(node ? node->rec().item : nullptr);
            });
        t.property("Nodes", [](T& tree, const Variant* index) {
            return index ? tree.impl().item(*index) : Variant::object(tree.impl().collection);
        });
        t.property(
            "Enabled", [](T& tree, const Variant*) { return Variant::boolean(tree.enabled()); },
            [](T& tree, const Variant& v) { tree.setEnabled(v.isTrue()); });
        t.property(
            "Visible", [](T& tree, const Variant*) { return Variant::boolean(tree.visible()); },
            [](T& tree, const Variant& v) { tree.setVisible(v.isTrue()); });
        return t;
    }();
    return table;
}

}  // namespace

Variant QtTreeNode::get(std::string_view member, const Variant* arg) { return nodeMembers().get(*this, member, arg); }
std::vector<std::string> QtTreeNode::propertyNames() const { return nodeMembers().propertyNames(); }
void QtTreeNode::put(std::string_view member, const Variant& value) { nodeMembers().put(*this, member, value); }
Variant QtTreeNode::call(std::string_view member, std::span<Variant> args) {
    return nodeMembers().call(*this, member, args);
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
    if (!key.empty()) d.byKey.emplace(key, item);
    return QtTreeNode::ref(&n);
}

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

Variant QtTreeView::getMember(std::string_view member, const Variant* arg) {
    return treeMembers().get(*this, member, arg);
}
void QtTreeView::putMember(std::string_view member, const Variant& value) { treeMembers().put(*this, member, value); }
void QtTreeView::putRefMember(std::string_view member, const Variant& value) {
    treeMembers().putRef(*this, member, value);
}
Variant QtTreeView::callMember(std::string_view member, std::span<Variant> args) {
    return treeMembers().call(*this, member, args);
}

void registerQtComponents(ComponentRegistry& registry) {
    TypeInfo info;
    info.progId = "SSActiveTreeView.SSTree";
    auto member = [](std::string name, std::string type, bool canPut) {
        MemberInfo m;
        m.name = std::move(name);
        m.type = std::move(type);
        m.canPut = canPut;
        return m;
    };
    info.members = {member("SelectedItem", "Object", false), member("Nodes", "Object", false),
                    member("Enabled", "Boolean", true), member("Visible", "Boolean", true)};
    info.members[1].params = {ParamInfo{"Index", "Variant", false}};
    registry.add(std::move(info), [](ControlSite& site) { return std::make_shared<QtTreeView>(site); });
}

}  // namespace tavo
