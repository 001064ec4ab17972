// The walk of ExpandAll and the record of walked top-level nodes, on a tiny
// tree held in memory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tavo/host/error.h"
#include "tavo/ssaddon/tree_walk.h"
#include "treecontroller/tree_skip.h"
#include "treecontroller/walked_top_level.h"

namespace tavo {
namespace {

using ::testing::ElementsAreArray;

// Nodes with their children; every opening or closing asked for and every
// bring-into-view goes to the log, and a node can be made to fail.
struct MemTree {
    struct Node : TreeNode {
        MemTree* tree;
        std::string key;
        Node* parent = nullptr;
        std::vector<std::shared_ptr<Node>> children;
        bool open = false;
        Node(MemTree* t, std::string k) : tree(t), key(std::move(k)) {}

        const std::vector<std::shared_ptr<Node>>& siblings() const { return parent ? parent->children : tree->top; }
        void check() const {
            if (tree->failing.count(key)) throwHostError(err::InvalidProcedureCall, key + " fails");
        }
        void setExpanded(bool e) override {
            tree->log.push_back(key);
            if (open != e) tree->changed(key);
            open = e;
        }
        bool expanded() const override { return open; }
        int32_t childCount() const override {
            check();
            return static_cast<int32_t>(children.size());
        }
        TreeNodeRef firstChild() const override { return children.empty() ? nullptr : children.front(); }
        TreeNodeRef lastSibling() const override { return siblings().back(); }
        TreeNodeRef nextSibling() const override {
            check();
            const auto& s = siblings();
            for (std::size_t i = 0; i + 1 < s.size(); ++i)
                if (s[i].get() == this) return s[i + 1];
            return nullptr;
        }
        int32_t bringIntoView() override {
            tree->log.push_back("view " + key);
            return 0;
        }
        std::optional<uint64_t> treeChangeCount() const override {
            if (!tree->counts) return std::nullopt;
            return tree->changes;
        }
        std::optional<uint64_t> branchChangedAt() const override { return tree->changedAt[tree->topOf(key)]; }
        std::string className() const override { return "Node"; }
    };

    // "A(a1 a2) B": A with the children a1 and a2, then B on the top level.
    explicit MemTree(std::string_view shape) {
        std::vector<Node*> parents{nullptr};
        std::shared_ptr<Node> last;
        std::string key;
        auto flush = [&] {
            if (key.empty()) return;
            last = std::make_shared<Node>(this, key);
            last->parent = parents.back();
            (last->parent ? last->parent->children : top).push_back(last);
            byKey[key] = last;
            key.clear();
        };
        for (char c : shape) {
            if (c == '(' || c == ')' || c == ' ') flush();
            if (c == '(') parents.push_back(last.get());
            if (c == ')') parents.pop_back();
            if (c != '(' && c != ')' && c != ' ') key += c;
        }
        flush();
    }
    TreeNodeRef operator[](const std::string& key) const { return byKey.at(key); }
    std::string topOf(const std::string& key) const {
        const Node* n = byKey.at(key).get();
        while (n->parent) n = n->parent;
        return n->key;
    }
    void changed(const std::string& key) { changedAt[topOf(key)] = ++changes; }
    // Someone other than the walk opens or closes a node.
    void change(const std::string& key, bool open) {
        byKey.at(key)->open = open;
        changed(key);
    }

    std::vector<std::shared_ptr<Node>> top;
    std::map<std::string, std::shared_ptr<Node>> byKey;
    std::vector<std::string> log;
    std::set<std::string> failing;
    mutable std::map<std::string, uint64_t> changedAt;
    uint64_t changes = 0;
    bool counts = true;
};

std::vector<std::string> split(std::string_view words) {
    std::vector<std::string> out;
    std::string w;
    for (char c : std::string(words) + ',') {
        if (c != ',') {
            w += c;
        } else if (!w.empty()) {
            out.push_back(w);
            w.clear();
        }
    }
    return out;
}

// ---- The walk --------------------------------------------------------------

struct WalkCase {
    const char* name;
    const char* start;
    bool expanding, sameLevel;
    int32_t depthBefore;
    const char* failing;  // a node whose child count and next sibling fail
    const char* log;      // openings or closings asked for, and bring-into-view
};

class TreeWalkTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(TreeWalkTest, VisitsNodesBeforeTheirChildrenAndBringsOnlyTheOutermostIntoView) {
    const WalkCase& c = GetParam();
    MemTree tree("A(a(a1) b) B C(c)");
    if (*c.failing) tree.failing.insert(c.failing);
    int32_t depth = c.depthBefore;
    TreeWalk walk(depth, [](TreeSkip&) { return false; });
    walk.run(tree[c.start], c.expanding, c.sameLevel);
    EXPECT_THAT(tree.log, ElementsAreArray(split(c.log)));
    EXPECT_EQ(depth, c.depthBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TreeWalkTest,
    ::testing::Values(WalkCase{"Collapse", "A", false, false, 0, "", "A,a,a1,b"},
                      WalkCase{"Expand", "A", true, false, 0, "", "A,a,a1,b,view A"},
                      WalkCase{"SameLevelTakesLaterSiblings", "A", true, true, 0, "", "A,A,a,a1,b,B,C,c,view A"},
                      WalkCase{"SameLevelOnALeafTakesItOnly", "B", true, true, 0, "", "B,view B"},
                      WalkCase{"InsideACommandNothingComesIntoView", "A", true, false, 1, "", "A,a,a1,b"},
                      // A failing child count counts as children: the first
                      // child of a leaf is Nothing, and the loop ends there.
                      WalkCase{"FailingChildCount", "a1", true, false, 0, "a1", "a1,view a1"},
                      // A sibling that cannot be read ends the loop over its level.
                      WalkCase{"FailingNextSibling", "A", true, true, 0, "a", "A,A,a,a1,B,C,c,view A"}),
    [](const ::testing::TestParamInfo<WalkCase>& p) { return std::string(p.param.name); });

TEST(TreeWalk, ACallOnASwitchedOffTreeReturnsAtOnceAndTheWalkGoesOn) {
    MemTree tree("A(a b) B");
    int32_t depth = 0, asked = 0;
    TreeWalk walk(depth, [&](TreeSkip&) { return ++asked == 3; });  // the call on a
    walk.run(tree["A"], true, true);
    EXPECT_THAT(tree.log, ElementsAreArray(split("A,A,b,B,view A")));
}

// ---- The loop over the top level, steered by a watch -----------------------

struct Steering : TopLevelWatch {
    std::map<std::string, Visit> visits;
    std::vector<std::string> afters;
    Visit before(const TreeNodeRef& node) override {
        const auto it = visits.find(static_cast<const MemTree::Node&>(*node).key);
        return it == visits.end() ? Visit::Walk : it->second;
    }
    void after(const TreeNodeRef& node, bool whole) override {
        afters.push_back(static_cast<const MemTree::Node&>(*node).key + (whole ? "" : " broken"));
    }
    void asked(const TreeNode&) override {}
    bool doneFrom(const TreeNode& node) override { return static_cast<const MemTree::Node&>(node).key == done; }
    std::string done;
};

TEST(TreeWalk, AWatchSkipsOrStopsTheTopLevelLoopAndHearsWhichBranchesWereWhole) {
    struct Case {
        std::map<std::string, TopLevelWatch::Visit> visits;
        const char* doneFrom;
        const char* failing;
        const char* log;
        const char* afters;
        bool levelDone;
    };
    using V = TopLevelWatch::Visit;
    const Case cases[] = {
        {{}, "", "", "A,A,a,B,b,C,c,D,view A", "A,B,C,D", true},
        {{{"B", V::Skip}, {"D", V::Stop}}, "", "", "A,A,a,C,c,view A", "A,C", true},
        {{{"A", V::Stop}}, "", "", "A,view A", "", true},
        {{}, "A", "", "view A", "", true},
        {{}, "B", "", "A,A,a,B,b,C,c,D,view A", "A,B,C,D", true},
        {{}, "", "B", "A,A,a,B,b,view A", "A,B broken", false},
    };
    for (const Case& c : cases) {
        MemTree tree("A(a) B(b) C(c) D");
        if (*c.failing) tree.failing.insert(c.failing);
        Steering steering;
        steering.visits = c.visits;
        steering.done = c.doneFrom;
        int32_t depth = 0;
        TreeWalk walk(depth, [](TreeSkip&) { return false; });
        EXPECT_EQ(walk.run(tree["A"], true, true, &steering), c.levelDone) << c.log;
        EXPECT_THAT(tree.log, ElementsAreArray(split(c.log)));
        EXPECT_THAT(steering.afters, ElementsAreArray(split(c.afters))) << c.log;
    }
}

// ---- What a command remembers of its top-level calls ------------------------

// The calls of expand all on top-level nodes A, B, C, D in turn, with a
// change made by someone else before the call on one of them.
TEST(WalkedTopLevel, WalksABranchAgainOnlyWhenSomethingChangedIt) {
    struct Case {
        const char* name;
        const char* changeBefore;  // the call on this node...
        const char* changedNode;   // ...comes after this node was closed
        const char* log;
    };
    const Case cases[] = {
        {"NothingChanged", "", "", "A,A,a,B,b,C,c,D,view A,view B,view C,view D"},
        // a closed in a done branch: the call on C does not reach it.
        {"BeforeTheBranch", "C", "a", "A,A,a,B,b,C,c,D,view A,view B,C,view C,view D"},
        // b closed: the call on B walks B again, and only B.
        {"InTheBranch", "B", "b", "A,A,a,B,b,C,c,D,view A,B,B,b,view B,view C,view D"},
        // D closed: the call on C skips C's own branch and opens D again.
        {"ATopLevelNode", "C", "D", "A,A,a,B,b,C,c,D,view A,view B,C,D,view C,view D"},
    };
    for (const Case& c : cases) {
        MemTree tree("A(a) B(b) C(c) D");
        WalkedTopLevel walked;
        int32_t depth = 0;
        TreeWalk walk(depth, [](TreeSkip&) { return false; });
        for (const char* key : {"A", "B", "C", "D"}) {
            if (std::string(key) == c.changeBefore) tree.change(c.changedNode, false);
            ASSERT_TRUE(walked.beginCall(*tree[key]));
            walked.endCall(walk.run(tree[key], true, true, &walked));
        }
        EXPECT_THAT(tree.log, ElementsAreArray(split(c.log))) << c.name;
    }
}

// The call on A cannot finish C's branch: the tree is switched off when the
// walk comes to C, or c fails. Nothing counts as a change, yet the call on B
// must walk C again, as the plain walk would, once the tree is back.
TEST(WalkedTopLevel, ABranchTheWalkCouldNotFinishIsWalkedAgain) {
    for (bool switchedOff : {true, false}) {
        MemTree tree("A(a) B(b) C(c)");
        WalkedTopLevel walked;
        int32_t depth = 0;
        bool firstCall = true;
        TreeWalk walk(depth, [&](TreeSkip&) { return switchedOff && firstCall && !tree.log.empty() && tree.log.back() == "b"; });
        if (!switchedOff) tree.failing.insert("c");
        for (const char* key : {"A", "B", "C"}) {
            ASSERT_TRUE(walked.beginCall(*tree[key]));
            walked.endCall(walk.run(tree[key], true, true, &walked));
            firstCall = false;
            tree.failing.clear();
        }
        EXPECT_THAT(tree.log, ElementsAreArray(split(switchedOff ? "A,A,a,B,b,view A,B,C,c,view B,view C"
                                                                 : "A,A,a,B,b,C,c,view A,B,C,c,view B,view C")))
            << switchedOff;
    }
}

TEST(WalkedTopLevel, ATreeThatDoesNotCountItsChangesIsWalkedAsTheRulesSay) {
    MemTree tree("A(a) B");
    tree.counts = false;
    WalkedTopLevel walked;
    EXPECT_FALSE(walked.beginCall(*tree["A"]));
}

// Something the walk did not ask for happens while it walks a branch: that
// branch is not taken as done, and the next call walks it again.
TEST(WalkedTopLevel, AChangeSeenDuringABranchsWalkLeavesThatBranchToBeWalkedAgain) {
    MemTree tree("A(a) B(b) C");
    WalkedTopLevel walked;
    int32_t depth = 0;
    TreeWalk walk(depth, [](TreeSkip&) { return false; });
    struct Meddling : TopLevelWatch {
        WalkedTopLevel& inner;
        MemTree& tree;
        Meddling(WalkedTopLevel& w, MemTree& t) : inner(w), tree(t) {}
        Visit before(const TreeNodeRef& n) override { return inner.before(n); }
        void after(const TreeNodeRef& n, bool whole) override { inner.after(n, whole); }
        void asked(const TreeNode& n) override {
            if (static_cast<const MemTree::Node&>(n).key == "b") tree.change("C", true);
            inner.asked(n);
        }
    } meddling(walked, tree);
    ASSERT_TRUE(walked.beginCall(*tree["A"]));
    walked.endCall(walk.run(tree["A"], true, true, &meddling));
    tree.log.clear();
    ASSERT_TRUE(walked.beginCall(*tree["B"]));
    walked.endCall(walk.run(tree["B"], true, true, &walked));
    EXPECT_THAT(tree.log, ElementsAreArray(split("B,B,b,view B")));
}

}  // namespace
}  // namespace tavo
