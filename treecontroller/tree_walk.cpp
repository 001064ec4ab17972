#include "tavo/ssaddon/tree_walk.h"

#include <vector>

#include "tavo/host/error.h"
#include "treecontroller/tree_skip.h"

namespace tavo {

namespace {

TreeNode& deref(const TreeNodeRef& node) {
    if (!node) throwHostError(err::ObjectNotSet, "the node is Nothing");
    return *node;
}

bool ownLastSibling(const TreeNodeRef& node) { return deref(node).isLastSibling(); }

}  // namespace

// One call of ExpandAll with the calls it makes. A node is opened or closed
// before its children, children from the first child to the last sibling,
// the depth counted as a recursive walk would count it. The calls in progress
// live on a heap stack, so that a chain of any depth costs no stack.
class TreeWalk::Run {
public:
    Run(TreeWalk& walk, bool expanding, TopLevelWatch* watch) : walk_(walk), expanding_(expanding), watch_(watch) {}

    // Steps 1 to 4.1 of a call; false when it returned at once. atOnce: the
    // tree may take the call's whole branch in one go, when nobody else would
    // see its steps.
    bool begin(const TreeNodeRef& node, bool sameLevel, bool atOnce = false) {
        if (!node || walk_.switchedOff_(skip_)) {
            ++cutShort_;
            return false;
        }
        if (sameLevel && watch_ && watch_->doneFrom(*node)) {
            levelDone_ = true;
            return true;
        }
        // Not taking the branch in one go is no failure: it is walked node by node.
        if (atOnce && answerOr(false, [&] { return node->branchAtOnce(expanding_); })) return true;
        skip_.step([&] { node->setExpanded(expanding_); });
        if (watch_) watch_->asked(*node);
        ++walk_.depth_;
        if (skip_.test([&] { return node->childCount() > 0; })) {
            TreeNodeRef first;
            skip_.step([&] { first = sameLevel ? node : node->firstChild(); });
            loops_.push_back({std::move(first)});
        } else {
            --walk_.depth_;
        }
        return true;
    }

    // Runs the loops that begin started, innermost first.
    void walkLoops() {
        while (!loops_.empty()) {
            Loop& loop = loops_.back();
            const bool watched = watch_ && loops_.size() == 1;
            if (loop.called) {
                if (watched && levelWalked_)
                    watch_->after(loop.cur, skip_.failures() == levelFailures_ && cutShort_ == levelCutShort_);
                toNextSibling(loop, watched);
                continue;
            }
            loop.called = true;
            if (watched) {
                const TopLevelWatch::Visit visit = watch_->before(loop.cur);
                if (visit == TopLevelWatch::Visit::Stop) {
                    levelDone_ = true;
                    endLoop();
                }
                levelWalked_ = visit == TopLevelWatch::Visit::Walk;
                if (!levelWalked_) continue;
                levelFailures_ = skip_.failures();
                levelCutShort_ = cutShort_;
            }
            const TreeNodeRef cur = loop.cur;  // begin may move the loops
            begin(cur, false);
        }
    }

    void bringIntoView(const TreeNodeRef& node) {
        skip_.step([&] { node->bringIntoView(); });
    }

    bool levelDone() const { return levelDone_; }

private:
    // A chain as deep as the tree has one of these a level: kept small.
    struct Loop {
        TreeNodeRef cur;
        bool called = false;  // the call on cur has been made (or skipped)
    };

    // Steps 4.2.2 and 4.2.3. A sibling that cannot be reached ends the loop:
    // staying on the same node would walk it again and again.
    void toNextSibling(Loop& loop, bool watched) {
        const uint64_t failuresBefore = skip_.failures();
        const bool last = skip_.test([&] { return ownLastSibling(loop.cur); });
        if (!last) {
            bool advanced = false;
            skip_.step([&] {
                loop.cur = deref(loop.cur).nextSibling();
                advanced = true;
            });
            loop.called = false;
            if (advanced) return;
        }
        if (watched) levelDone_ = last && skip_.failures() == failuresBefore;
        endLoop();
    }

    void endLoop() {
        loops_.pop_back();
        --walk_.depth_;
    }

    TreeWalk& walk_;
    const bool expanding_;
    TopLevelWatch* const watch_;
    TreeSkip skip_;
    std::vector<Loop> loops_;
    uint64_t cutShort_ = 0;  // calls that returned at once
    bool levelDone_ = false;
    // Of the call on the watched level's current node: made (not skipped),
    // and the failures and short calls as they stood when it began.
    bool levelWalked_ = false;
    uint64_t levelFailures_ = 0, levelCutShort_ = 0;
};

bool TreeWalk::run(const TreeNodeRef& myNode, bool expanding, bool sameLevel, TopLevelWatch* watch) {
    if (!myNode) return false;
    // A failure of our own (out of memory) ends the walk early; the depth
    // must still be back where the walk found it.
    struct DepthRestore {
        int32_t& depth;
        int32_t outer;
        ~DepthRestore() { depth = outer; }
    } restore{depth_, depth_};

    Run call(*this, expanding, sameLevel ? watch : nullptr);
    if (!call.begin(myNode, sameLevel, !sameLevel)) return false;
    call.walkLoops();
    if (expanding && depth_ == 0) call.bringIntoView(myNode);
    return call.levelDone();
}

}  // namespace tavo
