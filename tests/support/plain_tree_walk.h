#pragma once
// The expand and collapse commands exactly as their rules read: recursive,
// every top-level call walking on to the last top-level sibling, every step
// in skip-on-error mode, whatever the tree throws. What the tree shows and
// raises under it is what it must show and raise under the tree controller.
// Where the rules would call themselves without end (a node that is Nothing,
// a sibling that cannot be read) it does what the controller does: passes
// the node over, ends the loop.
#include <memory>

#include "tavo/components/tree_node.h"
#include "tavo/host/error.h"

namespace tavo {

class PlainTreeWalk {
public:
    explicit PlainTreeWalk(Object& tree) : tree_(&tree) {}
    void rebind(Object& tree) { tree_ = &tree; }

    void ExpandAll(const TreeNodeRef& myNode, int16_t doExpanding, int16_t DoItForAllOnTheSameLevel) {
        if (!myNode) return;
        if (test([&] {
                const Variant enabled = tree_->get("Enabled");
                const Variant visible = tree_->get("Visible");
                return enabled.toBoolean() == vbFalse || visible.toBoolean() == vbFalse;
            }))
            return;
        step([&] { myNode->setExpanded(doExpanding != 0); });
        ++depth_;
        if (test([&] { return myNode->childCount() > 0; })) {
            TreeNodeRef cur;
            step([&] { cur = DoItForAllOnTheSameLevel ? myNode : myNode->firstChild(); });
            for (;;) {
                ExpandAll(cur, doExpanding, 0);
                // "Is": an empty last sibling is not the node, and no failure.
                if (test([&] {
                        const TreeNodeRef last = real(cur).lastSibling();
                        return last && last->sameNode(*cur);
                    }))
                    break;
                bool moved = false;
                step([&] {
                    cur = real(cur).nextSibling();
                    moved = true;
                });
                if (!moved) break;
            }
        }
        --depth_;
        if (doExpanding && depth_ == 0) step([&] { myNode->bringIntoView(); });
    }

    void click(int k) {
        if (k == 0 || k == 3) {
            step([&] { ExpandAll(nodeOf(tree_->get("SelectedItem")), k == 0 ? vbTrue : vbFalse, vbFalse); });
            return;
        }
        if (k == 2) step([&] { objectOf(item(1)).call("EnsureVisible"); });
        int32_t count = 0;
        step([&] { count = objectOf(tree_->get("Nodes")).get("Count").toLong(); });
        for (int32_t i = 1; i <= count; ++i) {
            if (test([&] { return Variant::compare(objectOf(item(i)).get("Level"), Variant::integer(1)) == 0; }))
                step([&] { ExpandAll(nodeOf(item(i)), k == 1 ? vbTrue : vbFalse, vbTrue); });
        }
    }

    int32_t depth() const { return depth_; }

private:
    template <class F>
    static void step(F&& f) {
        try {
            f();
        } catch (...) {
        }
    }
    template <class F>
    static bool test(F&& f) {
        try {
            return f();
        } catch (...) {
            return true;
        }
    }
    static TreeNode& real(const TreeNodeRef& n) {
        if (!n) throwHostError(err::ObjectNotSet, "the node is Nothing");
        return *n;
    }
    static Object& objectOf(const Variant& v) {
        if (!v.toObject()) throwHostError(err::ObjectNotSet, "Nothing");
        return *v.toObject();
    }
    static TreeNodeRef nodeOf(const Variant& v) {
        if (v.isNothing()) return nullptr;
        auto node = std::dynamic_pointer_cast<TreeNode>(v.toObject());
        if (!node) throwHostError(err::TypeMismatch, "not a node");
        return node;
    }
    Variant item(int32_t i) {
        const Variant index = Variant::integer(static_cast<int16_t>(i));
        return tree_->get("Nodes", &index);
    }

    Object* tree_;
    int32_t depth_ = 0;
};

}  // namespace tavo
