#include "backends/headless/headless_tree_view.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

#include "backends/headless/headless_child.h"
#include "backends/headless/headless_host.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"
#include "tavo/host/registry.h"

namespace tavo {

namespace {

// Everything the tree counts, under the names callCounts() reports.
enum Call : std::size_t {
    CallSelectedItem, CallNodes, CallCount, CallItem, CallLevel, CallEnsureVisible, CallEnabled, CallVisible,
    CallKey, CallText, CallExpanded, CallChildren, CallChild, CallLastSibling, CallNext, CallParent, CallIndex,
    CallBringIntoView, CallChangeCount, kCallKinds
};
constexpr std::array<const char*, kCallKinds> kCallNames{
    "SelectedItem", "Nodes",       "Count", "Item",   "Level",    "EnsureVisible",   "Enabled",
    "Visible",      "Key",         "Text",  "Expanded", "Children", "Child",         "LastSibling",
    "Next",         "Parent",      "Index", "EnsureVisible()", "ChangeCount"};

constexpr int32_t kNone = -1;
const std::string kNoKey;

[[noreturn]] void treeGone() {
    throwHostError(err::ObjectNotSet, "the tree view that held this node no longer exists");
}

[[noreturn]] void nodeRemoved() { throwHostError(err::ObjectNotSet, "the node has been removed from the tree"); }

}  // namespace

class HeadlessTreeNode;
class HeadlessNodeCollection;

struct HeadlessTreeView::Impl {
    // What a walk reads first, first: a walk over a big tree reads one cache line a node.
    struct NodeData {
        int32_t parent, firstChild = kNone, lastChild = kNone, next = kNone;
        int32_t childCount = 0, level;
        int32_t top;    // the top-level node of its branch
        int32_t place;  // in the collection, from 0; kNone once removed
        bool expanded = false;
        const std::string* key;        // the key map's own copy, which never moves
        std::string text;
    };

    explicit Impl(HeadlessTreeView& v) : view(v) {}

    HeadlessTreeView& view;
    std::vector<NodeData> nodes;      // every node ever added, in that order; removed ones stay
    std::vector<int32_t> collection;  // the nodes in the tree, in collection order
    // Of each top-level node, by index: the tree's count at its branch's last change.
    std::vector<uint64_t> branchChangedAt;
    // Made on first use and kept, so that a node is always the same object.
    std::vector<std::shared_ptr<HeadlessTreeNode>> objects;
    std::unordered_map<std::string, int32_t> byKey;
    int32_t firstTop = kNone, lastTop = kNone, selected = kNone;
    bool enabled = true, visible = true;
    std::array<int64_t, kCallKinds> calls{};
    int64_t comparisons = 0;
    uint64_t changes = 0;
    std::vector<std::string> broughtIntoView;
    std::shared_ptr<HeadlessNodeCollection> collectionObject;

    void count(Call c) { ++calls[c]; }
    TreeNodeRef object(int32_t index);
    int32_t& firstOf(int32_t parent) { return parent == kNone ? firstTop : nodes[parent].firstChild; }
    int32_t& lastOf(int32_t parent) { return parent == kNone ? lastTop : nodes[parent].lastChild; }
    int32_t lastSiblingOf(int32_t index) { return lastOf(nodes[index].parent); }
    std::vector<int32_t> childrenOf(int32_t parent) {
        std::vector<int32_t> out;
        for (int32_t c = firstOf(parent); c != kNone; c = nodes[c].next) out.push_back(c);
        return out;
    }
    void relink(int32_t parent, const std::vector<int32_t>& children) {
        firstOf(parent) = children.empty() ? kNone : children.front();
        lastOf(parent) = children.empty() ? kNone : children.back();
        for (std::size_t i = 0; i < children.size(); ++i)
            nodes[children[i]].next = i + 1 < children.size() ? children[i + 1] : kNone;
    }
    // A change within the branch of a node (the tree's own list for kNone).
    void changed(int32_t index) {
        ++changes;
        if (index != kNone) branchChangedAt[static_cast<std::size_t>(nodes[index].top)] = changes;
    }
    void setExpanded(int32_t index, bool open) {
        if (nodes[index].expanded == open) return;
        nodes[index].expanded = open;
        changed(index);
        if (!view.onExpandedChanged) return;
        const std::string key = *nodes[index].key;  // the handler may change the tree
        fireHandler(view.onExpandedChanged, key, open);
    }
    TreeNodeRef item(const Variant& index);
    void bringIntoView(int32_t index);
};

class HeadlessTreeNode final : public TreeNode {
public:
    HeadlessTreeNode(HeadlessTreeView::Impl* tree, int32_t index) : tree_(tree), index_(index) {}
    void orphan() { tree_ = nullptr; }

    HeadlessTreeView::Impl& tree() const {
        if (!tree_) treeGone();
        return *tree_;
    }
    // Its tree, checked to hold it still.
    HeadlessTreeView::Impl& holder() const {
        HeadlessTreeView::Impl& t = tree();
        if (t.nodes[index_].place == kNone) nodeRemoved();
        return t;
    }
    HeadlessTreeView::Impl::NodeData& data() const { return holder().nodes[index_]; }
    int32_t index() const { return index_; }

    void setExpanded(bool expanded) override {
        holder().count(CallExpanded);
        tree().setExpanded(index_, expanded);
    }
    // Not counted: the controller never reads it, tests do.
    bool expanded() const override { return data().expanded; }
    int32_t childCount() const override {
        holder().count(CallChildren);
        return data().childCount;
    }
    Variant levelMember() override {
        holder().count(CallLevel);
        return Variant::longValue(data().level);
    }
    TreeNodeRef firstChild() const override {
        holder().count(CallChild);
        return tree().object(data().firstChild);
    }
    TreeNodeRef lastSibling() const override {
        holder().count(CallLastSibling);
        return tree().object(tree().lastSiblingOf(index_));
    }
    TreeNodeRef nextSibling() const override {
        holder().count(CallNext);
        return tree().object(data().next);
    }
    int32_t bringIntoView() override {
        holder().count(CallBringIntoView);
        tree().bringIntoView(index_);
        return 0;
    }
    const void* identity() const override {
        if (tree_) ++tree_->comparisons;
        return this;
    }
    bool sameNode(const TreeNode& other) const override {
        if (tree_) ++tree_->comparisons;
        return this == &other;
    }
    std::optional<uint64_t> treeChangeCount() const override {
        tree().count(CallChangeCount);
        return tree().changes;
    }
    std::optional<uint64_t> branchChangedAt() const override {
        holder().count(CallChangeCount);
        return tree().branchChangedAt[static_cast<std::size_t>(data().top)];
    }

    std::string className() const override { return "SSNode"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override;
    std::vector<std::string> propertyNames() const override;
    void put(std::string_view member, const Variant& value) override;
    Variant call(std::string_view member, std::span<Variant> args = {}) override;

private:
    HeadlessTreeView::Impl* tree_;
    int32_t index_;
};

class HeadlessNodeCollection final : public Object {
public:
    explicit HeadlessNodeCollection(HeadlessTreeView::Impl* tree) : tree_(tree) {}
    void orphan() { tree_ = nullptr; }

    std::string className() const override { return "SSNodes"; }
    Variant get(std::string_view member, const Variant* arg = nullptr) override {
        if (!tree_) treeGone();
        if (ascii::equalsNoCase(member, "Count")) {
            tree_->count(CallCount);
            return Variant::longValue(static_cast<int32_t>(tree_->collection.size()));
        }
        if (ascii::equalsNoCase(member, "Item") && arg) {
            tree_->count(CallItem);
            return Variant::object(tree_->item(*arg));
        }
        throwNoSuchMember(*this, member);
    }
    // Item needs an index.
    std::vector<std::string> propertyNames() const override { return {"Count"}; }
    Variant call(std::string_view member, std::span<Variant> args = {}) override {
        if (args.size() > 1) throwNoSuchMember(*this, member);
        return get(member, args.empty() ? nullptr : &args[0]);
    }

private:
    HeadlessTreeView::Impl* tree_;
};

TreeNodeRef HeadlessTreeView::Impl::object(int32_t index) {
    if (index == kNone) return nullptr;
    auto& slot = objects[index];
    if (!slot) slot = std::make_shared<HeadlessTreeNode>(this, index);
    return slot;
}

TreeNodeRef HeadlessTreeView::Impl::item(const Variant& index) {
    if (index.type() == VarType::String) {
        const auto it = byKey.find(index.rawString());
        if (it == byKey.end())
            throwHostError(err::ElementNotFound, "no node has the key \"" + index.rawString() + "\"");
        return object(it->second);
    }
    const int32_t i = index.toLong();
    if (i < 1 || static_cast<std::size_t>(i) > collection.size())
        throwHostError(err::IndexOutOfBounds, "Nodes(" + std::to_string(i) + ") of a tree with " +
                                              std::to_string(collection.size()) + " nodes");
    return object(collection[static_cast<std::size_t>(i - 1)]);
}

void HeadlessTreeView::Impl::bringIntoView(int32_t index) {
    // A node can be seen only when every node above it is open.
    for (int32_t p = nodes[index].parent; p != kNone; p = nodes[p].parent) setExpanded(p, true);
    const std::string key = *nodes[index].key;
    broughtIntoView.push_back(key);
    if (auto* host = dynamic_cast<HeadlessHost*>(&view.host()))
        host->record("ensurevisible " + view.instanceName() + "." + key);
    fireHandler(view.onBringIntoView, key);
}

namespace {

Variant nodeValue(const TreeNodeRef& n) { return Variant::object(n); }

const MemberTable<HeadlessTreeNode>& nodeMembers() {
    static const MemberTable<HeadlessTreeNode> table = [] {
        using N = HeadlessTreeNode;
        MemberTable<N> t;
        t.property("Level", [](N& n, const Variant*) { return n.levelMember(); });
        t.method("EnsureVisible", [](N& n, std::span<Variant>) {
            n.holder().count(CallEnsureVisible);
            n.tree().bringIntoView(n.index());
            return Variant();
        });
        t.property(
            "Expanded",
            [](N& n, const Variant*) {
                n.holder().count(CallExpanded);
                return Variant::boolean(n.data().expanded);
            },
            [](N& n, const Variant& v) {
                const bool open = v.isTrue();
                n.holder().count(CallExpanded);
                n.tree().setExpanded(n.index(), open);
            });
        t.property("Key", [](N& n, const Variant*) {
            n.holder().count(CallKey);
            return Variant::string(*n.data().key);
        });
        t.property(
            "Text",
            [](N& n, const Variant*) {
                n.holder().count(CallText);
                return Variant::string(n.data().text);
            },
            [](N& n, const Variant& v) {
                std::string text = v.toString();
                n.holder().count(CallText);
                n.data().text = std::move(text);
            });
        t.property("Children", [](N& n, const Variant*) {
            n.holder().count(CallChildren);
            return Variant::longValue(n.data().childCount);
        });
        t.property("Child", [](N& n, const Variant*) {
            n.holder().count(CallChild);
            return nodeValue(n.tree().object(n.data().firstChild));
        });
        t.property("LastSibling", [](N& n, const Variant*) {
            n.holder().count(CallLastSibling);
            return nodeValue(n.tree().object(n.tree().lastSiblingOf(n.index())));
        });
        t.property("Next", [](N& n, const Variant*) {
            n.holder().count(CallNext);
            return nodeValue(n.tree().object(n.data().next));
        });
        t.property("Parent", [](N& n, const Variant*) {
            n.holder().count(CallParent);
            return nodeValue(n.tree().object(n.data().parent));
        });
        t.property("Index", [](N& n, const Variant*) {
            n.holder().count(CallIndex);
            return Variant::longValue(n.data().place + 1);
        });
        return t;
    }();
    return table;
}

}  // namespace

Variant HeadlessTreeNode::get(std::string_view member, const Variant* arg) {
    return nodeMembers().get(*this, member, arg);
}

std::vector<std::string> HeadlessTreeNode::propertyNames() const { return nodeMembers().propertyNames(); }

void HeadlessTreeNode::put(std::string_view member, const Variant& value) { nodeMembers().put(*this, member, value); }

Variant HeadlessTreeNode::call(std::string_view member, std::span<Variant> args) {
    return nodeMembers().call(*this, member, args);
}

HeadlessTreeView::HeadlessTreeView(ControlSite& site) : Control(site), impl_(std::make_unique<Impl>(*this)) {
    impl_->collectionObject = std::make_shared<HeadlessNodeCollection>(impl_.get());
}

HeadlessTreeView::~HeadlessTreeView() {
    // Nodes and the collection may be held elsewhere; they must not reach back.
    for (auto& o : impl_->objects)
        if (o) o->orphan();
    impl_->collectionObject->orphan();
}

TreeNodeRef HeadlessTreeView::addNode(const std::string& key, const std::string& parentKey, const std::string& text,
                                     Place among) {
    auto& d = *impl_;
    if (!key.empty() && d.byKey.count(key))
        throwHostError(err::InvalidProcedureCall, "the key \"" + key + "\" is already in the tree");
    int32_t parent = kNone;
    if (!parentKey.empty()) {
        const auto it = d.byKey.find(parentKey);
        if (it == d.byKey.end())
            throwHostError(err::InvalidProcedureCall,
                           "node \"" + key + "\": its parent key \"" + parentKey + "\" is not in the tree");
        parent = it->second;
    }
    if (d.nodes.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        throwHostError(err::InvalidProcedureCall, "node \"" + key + "\": the tree is full");

    const auto index = static_cast<int32_t>(d.nodes.size());
    const std::string* keyRef = key.empty() ? &kNoKey : &d.byKey.emplace(key, index).first->first;
    const int32_t level = parent == kNone ? 1 : d.nodes[parent].level + 1;
    const int32_t top = parent == kNone ? index : d.nodes[parent].top;
    const auto place = static_cast<int32_t>(d.collection.size());
    d.nodes.push_back({parent, kNone, kNone, kNone, 0, level, top, place, false, keyRef, text});
    d.collection.push_back(index);
    d.branchChangedAt.push_back(0);
    d.objects.emplace_back();

    int32_t& first = d.firstOf(parent);
    int32_t& last = d.lastOf(parent);
    if (last == kNone) {
        first = last = index;
    } else if (among == Place::First) {
        d.nodes[index].next = first;
        first = index;
    } else {
        d.nodes[last].next = index;
        last = index;
    }
    if (parent != kNone) ++d.nodes[parent].childCount;
    d.changed(parent);
    return d.object(index);
}

void HeadlessTreeView::sortChildren(const std::string& parentKey, bool descending) {
    auto& d = *impl_;
    const auto it = d.byKey.find(parentKey);
    if (!parentKey.empty() && it == d.byKey.end())
        throwHostError(err::InvalidProcedureCall, "cannot sort below \"" + parentKey + "\": no node has this key");
    const int32_t parent = parentKey.empty() ? kNone : it->second;
    std::vector<int32_t> children = d.childrenOf(parent);
    std::stable_sort(children.begin(), children.end(), [&](int32_t a, int32_t b) {
        return descending ? d.nodes[b].text < d.nodes[a].text : d.nodes[a].text < d.nodes[b].text;
    });
    d.relink(parent, children);
    d.changed(parent);
}

void HeadlessTreeView::removeNode(const std::string& key) {
    auto& d = *impl_;
    const auto it = d.byKey.find(key);
    if (it == d.byKey.end()) throwHostError(err::InvalidProcedureCall, "cannot remove \"" + key + "\": no node has this key");
    const int32_t index = it->second, parent = d.nodes[index].parent;
    std::vector<int32_t> siblings = d.childrenOf(parent);
    siblings.erase(std::find(siblings.begin(), siblings.end(), index));
    d.relink(parent, siblings);
    if (parent != kNone) --d.nodes[parent].childCount;

    // The branch keeps its own links, so that a node taken out still tells
    // nothing but that it is gone.
    std::vector<int32_t> branch{index};
    while (!branch.empty()) {
        const int32_t n = branch.back();
        branch.pop_back();
        for (int32_t c = d.nodes[n].firstChild; c != kNone; c = d.nodes[c].next) branch.push_back(c);
        if (d.nodes[n].key != &kNoKey) d.byKey.erase(*d.nodes[n].key);
        d.nodes[n].key = &kNoKey;
        d.nodes[n].place = kNone;
        if (d.selected == n) d.selected = kNone;
    }
    std::erase_if(d.collection, [&](int32_t n) { return d.nodes[n].place == kNone; });
    for (std::size_t i = 0; i < d.collection.size(); ++i) d.nodes[d.collection[i]].place = static_cast<int32_t>(i);
    d.changed(parent);
}

void HeadlessTreeView::reserve(std::size_t nodes) {
    impl_->nodes.reserve(nodes);
    impl_->collection.reserve(nodes);
    impl_->branchChangedAt.reserve(nodes);
    impl_->objects.reserve(nodes);
    impl_->byKey.reserve(nodes);
}

TreeNodeRef HeadlessTreeView::node(const std::string& key) const {
    const auto it = impl_->byKey.find(key);
    return it == impl_->byKey.end() ? nullptr : impl_->object(it->second);
}

void HeadlessTreeView::select(const std::string& key) {
    if (key.empty()) {
        impl_->selected = kNone;
        return;
    }
    const auto it = impl_->byKey.find(key);
    if (it == impl_->byKey.end())
        throwHostError(err::InvalidProcedureCall, "cannot select \"" + key + "\": no node has this key");
    impl_->selected = it->second;
}

TreeNodeRef HeadlessTreeView::selectedItem() const { return impl_->object(impl_->selected); }

std::size_t HeadlessTreeView::count() const { return impl_->collection.size(); }

bool HeadlessTreeView::enabled() const { return impl_->enabled; }

void HeadlessTreeView::setEnabled(bool e) { impl_->enabled = e; }

bool HeadlessTreeView::visible() const { return impl_->visible; }

void HeadlessTreeView::setVisible(bool v) { impl_->visible = v; }

std::map<std::string, int64_t> HeadlessTreeView::callCounts() const {
    std::map<std::string, int64_t> out;
    for (std::size_t i = 0; i < kCallKinds; ++i)
        if (impl_->calls[i]) out[kCallNames[i]] = impl_->calls[i];
    return out;
}

int64_t HeadlessTreeView::totalCalls() const {
    int64_t total = 0;
    for (const int64_t c : impl_->calls) total += c;
    return total;
}

void HeadlessTreeView::resetCallCounts() {
    impl_->calls.fill(0);
    impl_->comparisons = 0;
}

int64_t HeadlessTreeView::comparisons() const { return impl_->comparisons; }

const std::vector<std::string>& HeadlessTreeView::broughtIntoView() const { return impl_->broughtIntoView; }

void HeadlessTreeView::clearBroughtIntoView() { impl_->broughtIntoView.clear(); }

std::string HeadlessTreeView::dump() const {
    const auto& nodes = impl_->nodes;
    std::string out;
    // Pre-order without recursion, so that deep chains cannot exhaust the stack.
    int32_t i = impl_->firstTop;
    while (i != kNone) {
        const auto& n = nodes[i];
        out.append(static_cast<std::size_t>(n.level - 1) * 2, ' ');
        out += *n.key + " " + n.text + " " + (n.childCount == 0 ? ' ' : n.expanded ? '+' : '-') + "\n";
        if (n.firstChild != kNone) {
            i = n.firstChild;
            continue;
        }
        while (i != kNone && nodes[i].next == kNone) i = nodes[i].parent;
        if (i != kNone) i = nodes[i].next;
    }
    return out;
}

const MemberTable<HeadlessTreeView>& HeadlessTreeView::members() {
    static const MemberTable<HeadlessTreeView> table = [] {
        using T = HeadlessTreeView;
        MemberTable<T> t;
        t.property(
            "SelectedItem",
            [](T& tree, const Variant*) {
                auto& impl = *tree.impl_;
                impl.count(CallSelectedItem);
                return nodeValue(impl.object(impl.selected));
            },
            {},
            [](T& tree, const Variant& v) {
                auto& impl = *tree.impl_;
                impl.count(CallSelectedItem);
                const auto obj = v.toObject();
                if (!obj) {
                    impl.selected = kNone;
                    return;
                }
                const auto* node = dynamic_cast<const HeadlessTreeNode*>(obj.get());
                if (!node || &node->tree() != &impl)
                    throwHostError(err::TypeMismatch, obj->className() + " object is not a node of this tree");
                node->holder();
                impl.selected = node->index();
            });
        t.property("Nodes", [](T& tree, const Variant* index) {
            if (index) return Variant::object(tree.nodeMember(*index));
            tree.impl_->count(CallNodes);
            return Variant::object(tree.impl_->collectionObject);
        });
        t.property(
            "Enabled", [](T& tree, const Variant*) { return tree.enabledMember(); },
            [](T& tree, const Variant& v) {
                const bool on = v.isTrue();
                tree.impl_->count(CallEnabled);
                tree.setEnabled(on);
            });
        t.property(
            "Visible", [](T& tree, const Variant*) { return tree.visibleMember(); },
            [](T& tree, const Variant& v) {
                const bool on = v.isTrue();
                tree.impl_->count(CallVisible);
                tree.setVisible(on);
            });
        return t;
    }();
    return table;
}

Variant HeadlessTreeView::enabledMember() {
    impl_->count(CallEnabled);
    return Variant::boolean(enabled());
}
Variant HeadlessTreeView::visibleMember() {
    impl_->count(CallVisible);
    return Variant::boolean(visible());
}
TreeNodeRef HeadlessTreeView::nodeMember(const Variant& index) {
    impl_->count(CallNodes);
    return impl_->item(index);
}

Variant HeadlessTreeView::getMember(std::string_view member, const Variant* arg) {
    return members().get(*this, member, arg);
}

void HeadlessTreeView::putMember(std::string_view member, const Variant& value) { members().put(*this, member, value); }

Variant HeadlessTreeView::callMember(std::string_view member, std::span<Variant> args) {
    return members().call(*this, member, args);
}

void registerHeadlessComponents(ComponentRegistry& registry) {
    const auto property = [](std::string name, std::string type, bool canPut) {
        return MemberInfo{MemberKind::Property, std::move(name), std::move(type), true, canPut, false, {}, {}};
    };
    TypeInfo info;
    info.progId = "SSActiveTreeView.SSTree";
    info.members = {property("SelectedItem", "Object", false), property("Nodes", "Object", false),
                    property("Enabled", "Boolean", true), property("Visible", "Boolean", true)};
    info.members[1].params = {{"Index", "Variant", false}};
    registry.add(std::move(info), [](ControlSite& site) { return std::make_shared<HeadlessTreeView>(site); });
}

}  // namespace tavo
