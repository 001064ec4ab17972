#pragma once
// The tree view library's node interface, as the tree controller calls it
// directly. The tree view itself ("SSActiveTreeView.SSTree") is reached by
// member name: "SelectedItem", "Nodes", "Nodes"(i), "Count", "Enabled",
// "Visible", and on a node "Level" and "EnsureVisible"; a tree view may offer
// the ones read at every node without the lookup by name (TreeViewReads).
#include <cstdint>
#include <memory>
#include <optional>

#include "tavo/components/components_export.h"
#include "tavo/host/object.h"

namespace tavo {

class TAVO_COMPONENTS_EXPORT TreeNode : public Object {
public:
    virtual void setExpanded(bool expanded) = 0;
    virtual bool expanded() const = 0;
    virtual int32_t childCount() const = 0;
    // Empty references where there is no such node.
    virtual std::shared_ptr<TreeNode> firstChild() const = 0;
    virtual std::shared_ptr<TreeNode> lastSibling() const = 0;
    virtual std::shared_ptr<TreeNode> nextSibling() const = 0;
    // The tree view makes the node visible; the result is the library's and is ignored.
    virtual int32_t bringIntoView() = 0;

    // Stands for the node itself: the same for every reference to it, also
    // through wrappers (which hand on the wrapped node's), and different for
    // different nodes, so that a walk can remember nodes in a hash table.
    virtual const void* identity() const { return this; }
    // Whether both stand for the same node of the tree.
    virtual bool sameNode(const TreeNode& other) const { return identity() == other.identity(); }
    // Whether the node is its own last sibling, as lastSibling() and
    // sameNode() tell. A walk asks it after every node; a tree that knows it
    // directly spares finding the last sibling's node each time.
    virtual bool isLastSibling() const;

    // The changes made to the tree so far, however made: nodes opened or
    // closed, added, removed or moved. It never goes down, and may count more
    // than happened (walks then do more) but never less. A walk that sees it
    // move by more than its own opening or closing of one node knows that
    // something else changed the tree: an application's handler, say.
    // nullopt: the tree does not count, and walks take no shortcut over it.
    virtual std::optional<uint64_t> treeChangeCount() const { return std::nullopt; }
    // The tree's change count as it stood after the last change within the
    // top-level branch the node belongs to: its top-level node and everything
    // below it. Moving a top-level node among its siblings need not count
    // for its branch; the tree's count sees it.
    virtual std::optional<uint64_t> branchChangedAt() const { return std::nullopt; }

    // What reading "Level" by name gives; a node may answer it more directly.
    virtual Variant levelMember() { return get("Level"); }

    // Opens or closes the node and every node below it in one go, in the
    // order a walk takes them (a node before its children, children first to
    // last), where the tree can tell that nobody but the walk sees the steps:
    // no handler of the application hears of a node opening or closing. True
    // when done. False when the tree cannot tell, or when the tree changed
    // meanwhile; the walk then goes node by node, and what was done stays done.
    virtual bool branchAtOnce(bool /*expanding*/) { return false; }
};
using TreeNodeRef = std::shared_ptr<TreeNode>;

// The members of a tree view that the tree controller reads for every node,
// offered without the lookup by name. Each does what reading the member by
// name does: the same value, the same errors, the same count where the tree
// counts its calls.
class TAVO_COMPONENTS_EXPORT TreeViewReads {
public:
    virtual Variant enabledMember() = 0;                       // "Enabled"
    virtual Variant visibleMember() = 0;                       // "Visible"
    virtual TreeNodeRef nodeMember(const Variant& index) = 0;  // "Nodes"(index)
    // "Nodes"(index)."Level". The controller reads it for every row to find
    // the top-level ones; a tree that knows a row's level without a node
    // object for it spares making one for each row below the top level.
    virtual Variant nodeLevelMember(const Variant& index);
    // "Enabled" is False or "Visible" is False, both read. The controller
    // asks before every call of its walk; a tree that knows both as flags
    // spares the two values read by name.
    virtual bool disabledOrHidden();
    // The first of Nodes(from) to Nodes(to) whose Level is 1, or to + 1 when
    // none is: what reading their Levels one by one finds. The controller
    // looks for the top-level rows among all rows; a tree that knows where
    // they stand answers at once, and any other leaves it to the controller
    // to read each row's Level (nullopt).
    virtual std::optional<int32_t> firstTopLevel(int32_t /*from*/, int32_t /*to*/) { return std::nullopt; }
    // What the commands on all nodes do, in one go, on the terms of
    // TreeNode::branchAtOnce and only while the tree is enabled and visible:
    // every node opened or closed in tree order, then, when opening, each
    // top-level node brought into view in turn. True when done; false leaves
    // the command to walk node by node.
    virtual bool allAtOnce(bool /*expanding*/) { return false; }

protected:
    ~TreeViewReads() = default;
};

}  // namespace tavo
