#pragma once
// What one all-nodes command knows of the top-level nodes it has walked.
//
// The command calls ExpandAll on every top-level node, in collection order,
// and each call walks on to the last top-level sibling. Walked again, a
// branch whose nodes all stand as the command leaves them changes nothing:
// the tree opens or closes no node, raises nothing, and no handler of the
// application runs. So a branch needs no second walk while it is unchanged,
// which the tree's change counts tell; what does change (a handler closes a
// node during expand all, adds a top-level node, disables the tree) is walked
// again where the plain walk would meet it.
//
// The done tail: top-level nodes that, as far as the last change the command
// has seen, reach from some node on to the last sibling with every branch
// done. A call that starts in it walks nothing; one that starts before it
// stops at it. Nodes are found by identity in a hash table, so the order in
// which the collection lists them does not matter.
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "tavo/ssaddon/ssaddon_export.h"
#include "tavo/ssaddon/tree_walk.h"

namespace tavo {

class TAVO_SSADDON_INTERNAL WalkedTopLevel final : public TopLevelWatch {
public:
    // Before each top-level call of the command. False when the tree does not
    // count its changes: that call must walk as the rules say, without a watch.
    bool beginCall(const TreeNode& topLevelNode);
    // After it; levelDone is what the walk returned.
    void endCall(bool levelDone);

    Visit before(const TreeNodeRef& node) override;
    void after(const TreeNodeRef& node, bool whole) override;
    void asked(const TreeNode& node) override;
    bool doneFrom(const TreeNode& node) override;

private:
    struct Branch {
        TreeNodeRef node;  // held, so that no other node can take its identity
        uint64_t walkedAt;  // the tree's change count when its walk ended
        uint64_t tail;     // equal to tail_ while the node is in the done tail
        bool done;         // false once a later walk of it was not whole
    };

    void somethingElseChanged();

    std::unordered_map<const void*, Branch> done_;
    // This call's top-level nodes with done branches, walked or skipped
    // (the table's entries stay where they are as it grows).
    std::vector<Branch*> visited_;
    const void* walking_ = nullptr;  // the node before() last said to walk
    std::optional<uint64_t> treeChanges_;  // as last seen
    uint64_t tail_ = 1;                    // moves on whenever the done tail is lost
    uint64_t tailAtCallStart_ = 0;
    uint64_t otherChanges_ = 0;  // times something else was seen changing the tree
    uint64_t otherChangesAtBranchStart_ = 0;
    bool callWhole_ = true;
};

}  // namespace tavo
