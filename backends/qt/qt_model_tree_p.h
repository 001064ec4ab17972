#pragma once
// The model tree adapter's private rooms, shared by its two sources: the
// records of the rows it has read, the node objects, the node collection and
// the adapter's state (qt_model_tree.cpp keeps them up to date;
// qt_model_tree_members.cpp serves the members by name).
#include <QHash>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "backends/qt/qt_model_tree.h"
#include "tavo/host/error.h"

namespace tavo {

namespace modeltree {

// Reaches a protected member of Qt's views through a member pointer named in
// a derived class, which the language allows for any object of the base.
struct ViewAccess : QTreeView {
    static void scheduleLayout(QAbstractItemView* view) { (view->*(&ViewAccess::scheduleDelayedItemsLayout))(); }
    static int listeners(const QTreeView* view, const char* signal) { return (view->*(&ViewAccess::receivers))(signal); }
};

// Others' openings and closings dated in their branches at most; past that,
// one change of shape dates every branch instead.
constexpr std::size_t kUndatedLimit = 4096;
// Steps up from a row to its top-level row when dating such a change; a row
// deeper than that dates every branch instead.
constexpr int kDatingDepth = 64;


}  // namespace modeltree

class QtModelNode;

// A row as the adapter last read it: its index and links to its relatives
// by place in the records, which are the collection in tree order.
struct ModelRecord {
    QModelIndex index;
    int32_t parent = -1, firstChild = -1, lastChild = -1, next = -1;
    int32_t children = 0, level = 1, top = 0;
    uint64_t branchChange = 0;  // of a top-level row: the tree's count at its branch's last change
    bool leafOpen = false;      // a row without children opened (see Impl::setExpanded)
    QtModelNode* node = nullptr;  // the row's node object while one lives
};

class QtModelCollection : public Object {
public:
    explicit QtModelCollection(QtModelTree::Impl* tree) : tree_(tree) {}
    void orphan() { tree_ = nullptr; }
    std::string className() const override { return "SSNodes"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override { return {"Count"}; }
    Variant call(std::string_view member, std::span<Variant> args = {}) override {
        return get(member, args.empty() ? nullptr : &args[0]);
    }

private:
    QtModelTree::Impl* tree_;
};

// A row's node object: one at a time per row, so that the base's identity
// holds. Its place in the records is kept current by every rebuild; across a
// change of the model it holds a persistent index to be found again by.
class QtModelNode : public TreeNode {
public:
    QtModelNode(QtModelTree::Impl* tree, int32_t place);
    ~QtModelNode() override;

    QtModelTree::Impl& tree() const {
        if (!tree_) throwHostError(err::ObjectNotSet, "this node is no longer in the tree view");
        return *tree_;
    }
    // The node's record, the records brought up to date first.
    const ModelRecord& rec() const;

    void setExpanded(bool expanded) override;
    bool expanded() const override;
    int32_t childCount() const override { return rec().children; }
    Variant levelMember() override { return Variant::longValue(rec().level); }
    std::shared_ptr<TreeNode> firstChild() const override;
    std::shared_ptr<TreeNode> lastSibling() const override;
    std::shared_ptr<TreeNode> nextSibling() const override;
    bool isLastSibling() const override { return rec().next < 0; }
    int32_t bringIntoView() override;
    std::optional<uint64_t> treeChangeCount() const override;
    std::optional<uint64_t> branchChangedAt() const override;
    bool branchAtOnce(bool expanding) override;

    std::string className() const override { return "SSNode"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

    QtModelTree::Impl* tree_;
    int32_t place;
    QPersistentModelIndex pinned;
    QtModelNode* prevLive = nullptr;
    QtModelNode* nextLive = nullptr;
};

struct QtModelTree::Impl {
    QtModelTree& owner;
    QPointer<QTreeView> view;
    QPointer<QAbstractItemModel> model;  // the view's model as last wired
    QPersistentModelIndex root;
    QModelIndex builtRoot;  // root, as it stood at the last rebuild
    std::vector<ModelRecord> recs;
    std::vector<int32_t> topRecs;  // the top-level rows' records, by row
    int32_t lastTop = -1;
    bool dirty = true;
    uint64_t builds = 0;
    QtModelNode* live = nullptr;  // the node objects alive, linked
    // The node objects made during this turn of the event loop, held until it
    // ends or the model changes: a walk asks for the same rows again and
    // again, and making and dropping a node at every ask cost more than the
    // walk itself.
    std::vector<TreeNodeRef> kept;
    bool releaseQueued = false;
    int32_t openLeaves = 0;       // records with leafOpen
    // The open leaves across a change of the model, to be found again by.
    std::vector<QPersistentModelIndex> pinnedLeaves;
    std::shared_ptr<QtModelCollection> collection;
    // Changes to the tree, however made, and the count at the last change of
    // its shape, which every branch counts as its own.
    uint64_t changes = 0;
    uint64_t shapeChangedAt = 0;
    // The row the adapter is opening or closing in Qt, and in which records.
    QModelIndex opening;
    int32_t openingTop = -1;
    uint64_t openingBuild = 0;
    std::vector<std::pair<QModelIndex, uint64_t>> undated;  // others' openings and closings, with the count
    // The row to scroll to when the turn ends: by its place while the records
    // hold, by a persistent index once the model is about to change.
    int32_t scrollPlace = -1;
    QPersistentModelIndex scrollPinned;
    bool scrollQueued = false;
    // The context of the adapter's connections and queued calls, which go with it.
    std::unique_ptr<QObject> context = std::make_unique<QObject>();
    std::unique_ptr<QObject> modelContext;

    Impl(QtModelTree& o, QTreeView* v) : owner(o), view(v) {}
    ~Impl() {
        modelContext.reset();
        context.reset();
        kept.clear();
        orphanAll();
        collection->orphan();
    }

    QTreeView& widget() const {
        if (!view) throwHostError(err::ObjectNotSet, "the tree view of " + owner.instanceName() + " no longer exists");
        return *view;
    }
    QAbstractItemModel* currentModel() const { return view ? view->model() : nullptr; }

    // Asked before every read. While the records hold, the model has not
    // changed its rows, so the root as read at the last rebuild still
    // compares with the view's as it stands.
    void fresh() {
        if (!dirty && currentModel() == model && (!view || view->rootIndex() == builtRoot)) return;
        if (currentModel() != model || (view && QModelIndex(root) != view->rootIndex())) rewire();
        if (dirty) rebuild();
    }

    // ---- Node objects ------------------------------------------------------

    TreeNodeRef nodeAt(int32_t place) {
        if (place < 0) return nullptr;
        ModelRecord& r = recs[std::size_t(place)];
        if (r.node)
            if (auto held = std::static_pointer_cast<TreeNode>(r.node->weak_from_this().lock())) return held;
        auto n = std::make_shared<QtModelNode>(this, place);
        r.node = n.get();
        n->nextLive = live;
        if (live) live->prevLive = n.get();
        live = n.get();
        keep(n);
        return n;
    }
    void keep(const TreeNodeRef& n) {
        kept.push_back(n);
        if (releaseQueued) return;
        releaseQueued = true;
        QTimer::singleShot(0, context.get(), [this] {
            releaseQueued = false;
            releaseKept();
        });
    }
    // The nodes nobody else holds go, and with them their records' links.
    void releaseKept() { std::vector<TreeNodeRef>().swap(kept); }
    void unlink(QtModelNode& n) {
        if (n.prevLive) n.prevLive->nextLive = n.nextLive;
        else if (live == &n) live = n.nextLive;
        if (n.nextLive) n.nextLive->prevLive = n.prevLive;
        n.prevLive = n.nextLive = nullptr;
    }
    void nodeGone(QtModelNode& n) {
        if (std::size_t(n.place) < recs.size() && recs[std::size_t(n.place)].node == &n)
            recs[std::size_t(n.place)].node = nullptr;
        unlink(n);
    }
    void orphanAll() {
        while (live) {
            QtModelNode* n = live;
            unlink(*n);
            n->tree_ = nullptr;
            n->pinned = QPersistentModelIndex();
        }
    }
    // Before the model changes: the nodes alive hold on to their rows.
    void pinLive() {
        for (QtModelNode* n = live; n; n = n->nextLive)
            if (!n->pinned.isValid() && !dirty) n->pinned = recs[std::size_t(n->place)].index;
    }

    // ---- Reading the model ---------------------------------------------------

    void rewire();
    void rebuild();
    QHash<QModelIndex, QtModelNode*> takeLiveNodes();
    int32_t addRecord(const QModelIndex& index, int32_t parent);
    void aboutToChange() {
        releaseKept();  // only the nodes others hold need finding again
        pinLive();
        if (scrollPlace >= 0 && !dirty) scrollPinned = recs[std::size_t(scrollPlace)].index;
        scrollPlace = -1;
        if (!dirty && openLeaves > 0)
            for (const ModelRecord& r : recs)
                if (r.leafOpen) pinnedLeaves.emplace_back(r.index);
        shapeChanged();
        dirty = true;
    }
    // An open leaf that gets rows is handed to Qt, open.
    void rowsAdded(const QModelIndex& parent) {
        if (!parent.isValid() || !view) return;
        const auto it = std::find(pinnedLeaves.begin(), pinnedLeaves.end(), parent);
        if (it == pinnedLeaves.end()) return;
        pinnedLeaves.erase(it);
        modeltree::ViewAccess::scheduleLayout(view);
        view->expand(parent);
    }
    void shapeChanged() {
        ++changes;
        shapeChangedAt = changes;
        undated.clear();
    }

    int32_t placeOf(const QModelIndex& any) {
        fresh();
        if (!any.isValid() || any.model() != model) return -1;
        const QModelIndex index = any.siblingAtColumn(0);
        std::vector<int> rows;
        QModelIndex up = index;
        for (; up.isValid() && up != QModelIndex(root); up = up.parent()) rows.push_back(up.row());
        if (up != QModelIndex(root) || rows.empty() || std::size_t(rows.back()) >= topRecs.size()) return -1;
        int32_t place = topRecs[std::size_t(rows.back())];
        for (auto row = rows.rbegin() + 1; row != rows.rend() && place >= 0; ++row) {
            place = recs[std::size_t(place)].firstChild;
            for (int k = 0; k < *row && place >= 0; ++k) place = recs[std::size_t(place)].next;
        }
        return place >= 0 && recs[std::size_t(place)].index == index ? place : -1;
    }

    // ---- Opening, closing, bringing into view --------------------------------

    // Opening or closing only marks the view for one layout later.
    //
    // Qt raises expanded or collapsed from within, and a handler of the
    // application may let go of the adapter there (bind the controller to
    // another view, say): nothing of it may be touched after Qt returns
    // unless its context is still there.
    //
    // Qt keeps a persistent index for every row it is told to open, leaf or
    // not, which costs as much as opening a row with children. A leaf's open
    // state is kept here instead, and handed to Qt when the leaf gets rows.
    // A row without rows that the model says has children (a lazy model's,
    // not fetched yet) goes to Qt, whose view then fetches them. Closing a
    // leaf still goes to Qt, which may hold a mark of its own (its expandAll
    // marks leaves too).
    void setExpanded(int32_t place, bool open) {
        QTreeView& v = widget();
        ModelRecord& r = recs[std::size_t(place)];
        if (r.children == 0 && !model->hasChildren(r.index)) {
            if (r.leafOpen != open) {
                ++changes;
                recs[std::size_t(r.top)].branchChange = changes;
                openLeaves += open ? 1 : -1;
            }
            r.leafOpen = open;
            if (open) return;
        }
        modeltree::ViewAccess::scheduleLayout(&v);
        const auto was = std::make_tuple(opening, openingTop, openingBuild);
        opening = r.index;
        openingTop = r.top;
        openingBuild = builds;
        const QPointer<QObject> stillHere = context.get();
        v.setExpanded(r.index, open);
        if (stillHere) std::tie(opening, openingTop, openingBuild) = was;
    }
    // Nobody but the adapter hears of the view's rows opening or closing,
    // and no hook watches rows brought into view: the steps of a command
    // are seen by nobody, and may be taken in one go. A tree widget hears
    // of them itself, to tell of its items opening and closing: then nobody
    // may listen to those.
    bool unobserved() const {
        using modeltree::ViewAccess;
        if (!view || !model || owner.onBringIntoView) return false;
        int own = 1;
        if (const auto* items = qobject_cast<const QTreeWidget*>(view.data())) {
            if (ViewAccess::listeners(items, SIGNAL(itemExpanded(QTreeWidgetItem*))) > 0 ||
                ViewAccess::listeners(items, SIGNAL(itemCollapsed(QTreeWidgetItem*))) > 0)
                return false;
            own = 2;
        }
        return ViewAccess::listeners(view, SIGNAL(expanded(QModelIndex))) == own &&
               ViewAccess::listeners(view, SIGNAL(collapsed(QModelIndex))) == own;
    }
    // Opens or closes the rows of the records from..to (not included) in
    // order; false, as soon as it is seen, when the rows or the view's model
    // changed meanwhile (a model may load rows while it is read), or the
    // adapter went.
    bool setRange(int32_t from, int32_t to, bool open) {
        const uint64_t build = builds;
        const QPointer<QObject> stillHere = context.get();
        for (int32_t place = from; place < to; ++place) {
            setExpanded(place, open);
            if (!stillHere || dirty || builds != build || currentModel() != model) return false;
        }
        return true;
    }
    // Just past the last record of the place's branch: the records are in
    // tree order, and a branch ends where the next sibling of it or of one
    // of its ancestors begins.
    int32_t branchEnd(int32_t place) const {
        for (int32_t p = place; p >= 0; p = recs[std::size_t(p)].parent)
            if (recs[std::size_t(p)].next >= 0) return recs[std::size_t(p)].next;
        return int32_t(recs.size());
    }

    bool expanded(int32_t place) const {
        const ModelRecord& r = recs[std::size_t(place)];
        return r.leafOpen || widget().isExpanded(r.index);
    }
    void bringIntoView(int32_t place) {
        std::vector<int32_t> closed;
        for (int32_t p = recs[std::size_t(place)].parent; p >= 0; p = recs[std::size_t(p)].parent)
            if (!widget().isExpanded(recs[std::size_t(p)].index)) closed.push_back(p);
        if (!closed.empty()) {
            // Outermost first, as the view would open them; a handler may
            // change the model meanwhile, and the rows left are opened where
            // they are now, and the row found again.
            const QPersistentModelIndex pinned = recs[std::size_t(place)].index;
            const uint64_t build = builds;
            const QPointer<QObject> stillHere = context.get();
            for (auto p = closed.rbegin(); p != closed.rend() && build == builds && !dirty; ++p) {
                setExpanded(*p, true);
                if (!stillHere) return;
            }
            if (build != builds || dirty) place = placeOf(pinned);
        }
        scrollLater(place);
        if (owner.onBringIntoView) owner.onBringIntoView(place >= 0 ? recs[std::size_t(place)].index : QModelIndex());
    }
    // Scrolling lays the view out at once; of the nodes a command brings into
    // view one after another only the last decides where the view stands.
    void scrollLater(int32_t place) {
        scrollPlace = place;
        scrollPinned = QPersistentModelIndex();
        if (scrollQueued) return;
        scrollQueued = true;
        QTimer::singleShot(0, context.get(), [this] {
            scrollQueued = false;
            const bool placed = view && scrollPlace >= 0 && !dirty && currentModel() == model && view->rootIndex() == root;
            const QModelIndex target = placed ? recs[std::size_t(scrollPlace)].index : QModelIndex(scrollPinned);
            scrollPlace = -1;
            scrollPinned = QPersistentModelIndex();
            if (view && target.isValid()) view->scrollTo(target);
        });
    }

    // Qt tells of every row it opens or closes, whoever asked. The adapter's
    // own are dated in their branch at once; others' only when a walk asks.
    void openStateChanged(const QModelIndex& index) {
        ++changes;
        if (dirty) return;
        if (openingBuild == builds && openingTop >= 0 && index == opening) {
            recs[std::size_t(openingTop)].branchChange = changes;
        } else if (undated.size() < modeltree::kUndatedLimit) {
            undated.emplace_back(index, changes);
        } else {
            shapeChanged();
        }
    }
    void dateBranches() {
        for (const auto& [index, at] : undated) {
            QModelIndex top = index;
            for (int step = 0; step < modeltree::kDatingDepth && top.isValid() && top.parent() != QModelIndex(root); ++step)
                top = top.parent();
            const bool found = top.isValid() && top.parent() == QModelIndex(root) &&
                               std::size_t(top.row()) < topRecs.size() &&
                               recs[std::size_t(topRecs[std::size_t(top.row())])].index == top;
            if (found) {
                uint64_t& change = recs[std::size_t(topRecs[std::size_t(top.row())])].branchChange;
                change = std::max(change, at);
            } else {
                shapeChangedAt = std::max(shapeChangedAt, at);
            }
        }
        undated.clear();
    }
};

}  // namespace tavo
