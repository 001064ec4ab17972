#pragma once
// The walk of ExpandAll: opens or closes a node and every node below it, and
// with DoItForAllOnTheSameLevel the siblings after it with theirs, asking the
// tree afresh at every step, in skip-on-error mode.
#include <cstdint>
#include <functional>
#include <utility>

#include "tavo/components/tree_node.h"
#include "tavo/ssaddon/ssaddon_export.h"

namespace tavo {

class TreeSkip;

// Steers the loop over the starting node's own level, for a command that
// walks every top-level node and knows which of them need no walk again.
class TAVO_SSADDON_EXPORT TopLevelWatch {
public:
    // Walk the node; skip it (its branch is done and unchanged); or stop the
    // loop (the node and every sibling after it are).
    enum class Visit { Walk, Skip, Stop };
    virtual Visit before(const TreeNodeRef& node) = 0;
    // After the call on a node it said to walk; whole when that call went
    // through the branch to its end without a failing step.
    virtual void after(const TreeNodeRef& node, bool whole) = 0;
    // After every opening or closing the walk asks of the tree, on any node.
    virtual void asked(const TreeNode& node) = 0;
    // Before the call on the starting node opens or closes it: true when the
    // node and every sibling after it are done and unchanged, so that the
    // whole call would open or close nothing. It then only brings the node
    // into view.
    virtual bool doneFrom(const TreeNode&) { return false; }

protected:
    ~TopLevelWatch() = default;
};

class TAVO_SSADDON_EXPORT TreeWalk {
public:
    // True when the tree view is disabled or hidden (or reading that fails):
    // the call must then return at once.
    using SwitchedOff = std::function<bool(TreeSkip&)>;

    // depth: the controller's nesting depth, shared by all its walks and by
    // the calls an application makes while one runs.
    TreeWalk(int32_t& depth, SwitchedOff switchedOff) : depth_(depth), switchedOff_(std::move(switchedOff)) {}

    // ExpandAll(myNode, expanding, sameLevel). A node that is Nothing is
    // passed over. The watch, given with sameLevel, steers the loop over
    // myNode's level. Returns true when that loop ran to the last sibling or
    // to a stop of the watch.
    bool run(const TreeNodeRef& myNode, bool expanding, bool sameLevel, TopLevelWatch* watch = nullptr);

private:
    class Run;

    int32_t& depth_;
    SwitchedOff switchedOff_;
};

}  // namespace tavo
