#include "treecontroller/walked_top_level.h"

#include "treecontroller/tree_skip.h"

namespace tavo {

namespace {

// What the node answers, or nothing when asking fails: a tree adapter may
// fail anywhere, and not knowing only costs a walk that could have been saved.
std::optional<uint64_t> treeChangesOf(const TreeNode& node) {
    return answerOr<std::optional<uint64_t>>(std::nullopt, [&] { return node.treeChangeCount(); });
}

std::optional<uint64_t> branchChangedAt(const TreeNode& node) {
    return answerOr<std::optional<uint64_t>>(std::nullopt, [&] { return node.branchChangedAt(); });
}

const void* identityOf(const TreeNode* node) {
    return answerOr<const void*>(nullptr, [&] { return node ? node->identity() : nullptr; });
}

}  // namespace

bool WalkedTopLevel::beginCall(const TreeNode& topLevelNode) {
    const std::optional<uint64_t> now = treeChangesOf(topLevelNode);
    if (!now) return false;
    // Whatever changed since the walk's last opening or closing, at the
    // previous call's bring-into-view say, was not the walk.
    if (now != treeChanges_) somethingElseChanged();
    treeChanges_ = now;
    tailAtCallStart_ = tail_;
    visited_.clear();
    callWhole_ = true;
    return true;
}

void WalkedTopLevel::endCall(bool levelDone) {
    // Every node from the call's first one on is done, up to the last sibling
    // or up to the tail, and nothing else touched the tree meanwhile: they
    // join the tail.
    if (levelDone && callWhole_ && tail_ == tailAtCallStart_)
        for (Branch* branch : visited_) branch->tail = tail_;
    visited_.clear();
}

TopLevelWatch::Visit WalkedTopLevel::before(const TreeNodeRef& node) {
    otherChangesAtBranchStart_ = otherChanges_;
    walking_ = identityOf(node.get());
    if (!walking_) return Visit::Walk;
    const auto it = done_.find(walking_);
    if (it == done_.end() || !it->second.done) return Visit::Walk;
    if (it->second.tail == tail_) return Visit::Stop;
    const std::optional<uint64_t> changedAt = branchChangedAt(*node);
    if (!changedAt || *changedAt > it->second.walkedAt) return Visit::Walk;
    visited_.push_back(&it->second);
    return Visit::Skip;
}

// walking_ is the node's identity: before() said to walk it, and nothing
// else asks the watch in between. What the walk itself changed in the branch
// happened by treeChanges_.
void WalkedTopLevel::after(const TreeNodeRef& node, bool whole) {
    const bool done = whole && otherChanges_ == otherChangesAtBranchStart_ && walking_ && treeChanges_;
    if (done) {
        visited_.push_back(&done_.insert_or_assign(walking_, Branch{node, *treeChanges_, 0, true}).first->second);
        return;
    }
    callWhole_ = false;
    if (const auto it = done_.find(walking_); it != done_.end()) it->second.done = false;
}

// Nothing has changed since the node joined the done tail: the call on it
// would walk its own branch and stop at once.
bool WalkedTopLevel::doneFrom(const TreeNode& node) {
    const auto it = done_.find(identityOf(&node));
    return it != done_.end() && it->second.done && it->second.tail == tail_;
}

// Opening or closing one node changes the tree by one at most; more is what
// a handler of the application did in response.
void WalkedTopLevel::asked(const TreeNode& node) {
    const std::optional<uint64_t> now = treeChangesOf(node);
    // Unsigned: a count that went down (another tree's) also looks too far.
    if (!now || !treeChanges_ || *now - *treeChanges_ > 1) somethingElseChanged();
    treeChanges_ = now;
}

// Anything in the done tail may have changed, and its branches are checked
// again one by one; the branches walked while it happened are not taken as
// done.
void WalkedTopLevel::somethingElseChanged() {
    ++otherChanges_;
    ++tail_;
}

}  // namespace tavo
