// The tree view adapter's members by name: those of the tree, its node
// collection and its nodes, and the tree view's type information.
#include "backends/qt/qt_tree_view_p.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/registry.h"
#include "tavo/qt/qt_host.h"
#include "tavo/qt/qt_tree_view.h"

namespace tavo {

Variant QtNodeCollection::get(std::string_view member, const Variant* arg) {
    if (!tree_) throwHostError(err::ObjectNotSet, "this node collection is no longer in a tree view");
    if (ascii::equalsNoCase(member, "Count")) {
        tree_->fresh();
        return Variant::longValue(int32_t(tree_->order.size()));
    }
    if (ascii::equalsNoCase(member, "Item") && arg) return Variant::object(tree_->item(*arg));
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
        t.property("Level", [](N& n, const Variant*) { return n.levelMember(); });
        t.method("EnsureVisible", [](N& n, std::span<Variant>) {
            n.bringIntoView();
            return Variant();
        });
        t.property(
            "Expanded", [](N& n, const Variant*) { return Variant::boolean(n.expanded()); },
            [](N& n, const Variant& v) { n.setExpanded(v.isTrue()); });
        t.property("Key", [](N& n, const Variant*) { return Variant::string(treeview::keyOf(n.rec().item)); });
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
                if (obj && (!node || &node->tree() != &QtTreeView::Impl::of(tree)))
                    throwHostError(err::TypeMismatch, obj->className() + " object is not a node of this tree");
                QtTreeView::Impl::of(tree).widget().setCurrentItem(node ? node->rec().item : nullptr);
            });
        t.property("Nodes", [](T& tree, const Variant* index) {
            auto& records = QtTreeView::Impl::of(tree);
            return index ? nodeValue(records.item(*index)) : Variant::object(records.collection);
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

Variant QtTreeNode::get(std::string_view member, const Variant* arg) { return nodeMembers().get(*this, member, arg); }
std::vector<std::string> QtTreeNode::propertyNames() const { return nodeMembers().propertyNames(); }
void QtTreeNode::put(std::string_view member, const Variant& value) { nodeMembers().put(*this, member, value); }
Variant QtTreeNode::call(std::string_view member, std::span<Variant> args) {
    return nodeMembers().call(*this, member, args);
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
