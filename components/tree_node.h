#pragma once
// The tree view library's node interface, as the tree controller calls it
// directly. The tree view itself ("SSActiveTreeView.SSTree") is reached only by
// member name: "SelectedItem", "Nodes", "Nodes"(i), "Count", "Enabled",
// "Visible", and on a node "Level" and "EnsureVisible".
#include <cstdint>
#include <memory>

#include "host/object.h"

namespace tavo {

class TreeNode : public Object {
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
    // Whether both stand for the same node of the tree (wrappers may differ).
    virtual bool sameNode(const TreeNode& other) const { return this == &other; }
};
using TreeNodeRef = std::shared_ptr<TreeNode>;

}  // namespace tavo
