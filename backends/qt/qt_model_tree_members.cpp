// The model tree adapter's members by name, as forms and scripts reach them.
#include "backends/qt/qt_model_tree_p.h"

namespace tavo {

namespace {

Variant nodeValue(const TreeNodeRef& n) { return Variant::object(n); }

// The record of Nodes(index), the records brought up to date first.
int32_t collectionPlace(QtModelTree::Impl& tree, const Variant& index) {
    const int32_t i = index.toLong();
    tree.fresh();
    if (i < 1 || std::size_t(i) > tree.recs.size())
        throwHostError(err::IndexOutOfBounds,
                       "Nodes(" + std::to_string(i) + ") of a tree with " + std::to_string(tree.recs.size()) + " nodes");
    return i - 1;
}

TreeNodeRef collectionItem(QtModelTree::Impl& tree, const Variant& index) {
    return tree.nodeAt(collectionPlace(tree, index));
}

const MemberTable<QtModelNode>& nodeMembers() {
    static const MemberTable<QtModelNode> table = [] {
        using N = QtModelNode;
        MemberTable<N> t;
        t.property("Level", [](N& n, const Variant*) { return n.levelMember(); });
        t.method("EnsureVisible", [](N& n, std::span<Variant>) {
            n.bringIntoView();
            return Variant();
        });
        t.property(
            "Expanded", [](N& n, const Variant*) { return Variant::boolean(n.expanded()); },
            [](N& n, const Variant& v) { n.setExpanded(v.isTrue()); });
        t.property("Key",
                   [](N& n, const Variant*) { return Variant::string(n.rec().index.data(Qt::UserRole).toString().toStdString()); });
        t.property("Text", [](N& n, const Variant*) {
            return Variant::string(n.rec().index.data(Qt::DisplayRole).toString().toStdString());
        });
        t.property("Children", [](N& n, const Variant*) { return Variant::longValue(n.childCount()); });
        t.property("Child", [](N& n, const Variant*) { return nodeValue(n.firstChild()); });
        t.property("LastSibling", [](N& n, const Variant*) { return nodeValue(n.lastSibling()); });
        t.property("Next", [](N& n, const Variant*) { return nodeValue(n.nextSibling()); });
        t.property("Parent", [](N& n, const Variant*) { return nodeValue(n.tree().nodeAt(n.rec().parent)); });
        t.property("Index", [](N& n, const Variant*) {
            n.rec();
            return Variant::longValue(n.place + 1);
        });
        return t;
    }();
    return table;
}

const MemberTable<QtModelTree>& treeMembers() {
    static const MemberTable<QtModelTree> table = [] {
        using T = QtModelTree;
        MemberTable<T> t;
        t.property(
            "SelectedItem", [](T& tree, const Variant*) { return nodeValue(tree.selectedItem()); }, {},
            [](T& tree, const Variant& v) {
                const auto obj = v.toObject();
                auto* node = dynamic_cast<QtModelNode*>(obj.get());
                if (obj && (!node || node->tree_ != &tree.impl()))
                    throwHostError(err::TypeMismatch, obj->className() + " object is not a node of this tree");
                tree.impl().widget().setCurrentIndex(node ? node->rec().index : QModelIndex());
            });
        t.property("Nodes", [](T& tree, const Variant* index) {
            return index ? nodeValue(tree.nodeMember(*index)) : Variant::object(tree.impl().collection);
        });
        t.property(
            "Enabled", [](T& tree, const Variant*) { return tree.enabledMember(); },
            [](T& tree, const Variant& v) { tree.setEnabled(v.isTrue()); });
        t.property(
            "Visible", [](T& tree, const Variant*) { return tree.visibleMember(); },
            [](T& tree, const Variant& v) { tree.setVisible(v.isTrue()); });
        return t;
    }();
    return table;
}

}  // namespace

Variant QtModelCollection::get(std::string_view member, const Variant* arg) {
    if (!tree_) throwHostError(err::ObjectNotSet, "this node collection is no longer in a tree view");
    if (ascii::equalsNoCase(member, "Count")) {
        tree_->fresh();
        return Variant::longValue(int32_t(tree_->recs.size()));
    }
    if (ascii::equalsNoCase(member, "Item") && arg) return nodeValue(collectionItem(*tree_, *arg));
    throwNoSuchMember(*this, member);
}

Variant QtModelNode::get(std::string_view member, const Variant* arg) { return nodeMembers().get(*this, member, arg); }
std::vector<std::string> QtModelNode::propertyNames() const { return nodeMembers().propertyNames(); }
void QtModelNode::put(std::string_view member, const Variant& value) { nodeMembers().put(*this, member, value); }
Variant QtModelNode::call(std::string_view member, std::span<Variant> args) {
    return nodeMembers().call(*this, member, args);
}

TreeNodeRef QtModelTree::nodeMember(const Variant& index) { return collectionItem(*impl_, index); }
Variant QtModelTree::nodeLevelMember(const Variant& index) {
    return Variant::longValue(impl_->recs[std::size_t(collectionPlace(*impl_, index))].level);
}

// The records are the collection in tree order, and the top-level rows' places ascend.
std::optional<int32_t> QtModelTree::firstTopLevel(int32_t from, int32_t to) {
    impl_->fresh();
    const std::vector<int32_t>& tops = impl_->topRecs;
    const auto it = std::lower_bound(tops.begin(), tops.end(), from - 1);
    return it == tops.end() || *it + 1 > to ? to + 1 : *it + 1;
}

Variant QtModelTree::getMember(std::string_view member, const Variant* arg) {
    return treeMembers().get(*this, member, arg);
}
void QtModelTree::putMember(std::string_view member, const Variant& value) { treeMembers().put(*this, member, value); }
void QtModelTree::putRefMember(std::string_view member, const Variant& value) {
    treeMembers().putRef(*this, member, value);
}
Variant QtModelTree::callMember(std::string_view member, std::span<Variant> args) {
    return treeMembers().call(*this, member, args);
}

}  // namespace tavo

