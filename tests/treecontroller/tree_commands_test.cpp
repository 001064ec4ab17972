// The four buttons and ExpandAll on a bound tree view.
#include <algorithm>
#include <functional>
#include <random>

#include "host/ascii_text.h"
#include "tests/treecontroller/tree_controller_fixture.h"

namespace tavo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kHint =
    "Damit dieses Control weiß, welchen Tree es steuern soll, sollte man im Form_Load Ereignis die folgende Zeile "
    "einfügen:\r\nSet TavoSSTreeController1.mySSTree = SSTree1";

TreeNodeRef nodeOf(const Variant& v) { return std::dynamic_pointer_cast<TreeNode>(v.toObject()); }

// The commands as first designed: recursive, and walking every later
// top-level subtree again for each top-level node. What the tree shows at
// each bring-into-view under it is what the controller must show too.
class Original {
public:
    explicit Original(Object& tree) : tree_(tree) {}

    void ExpandAll(const TreeNodeRef& n, int16_t e, int16_t s) {
        if (!tree_.get("Enabled").isTrue() || !tree_.get("Visible").isTrue()) return;
        n->setExpanded(e != 0);
        ++depth_;
        if (n->childCount() > 0) {
            TreeNodeRef cur = s ? n : n->firstChild();
            for (;;) {
                ExpandAll(cur, e, 0);
                if (cur->lastSibling()->sameNode(*cur)) break;
                cur = cur->nextSibling();
            }
        }
        --depth_;
        if (e && depth_ == 0) n->bringIntoView();
    }

    void click(int k) {
        if (k == 0 || k == 3) {
            // An empty selection would make this walk call itself without end.
            if (TreeNodeRef n = nodeOf(tree_.get("SelectedItem"))) ExpandAll(n, k == 0 ? -1 : 0, 0);
            return;
        }
        const int32_t count = tree_.get("Nodes").toObject()->get("Count").toLong();
        if (k == 2 && count > 0) node(1)->call("EnsureVisible");
        for (int32_t i = 1; i <= count; ++i)
            if (node(i)->get("Level").toLong() == 1) ExpandAll(node(i), k == 1 ? -1 : 0, -1);
    }

private:
    TreeNodeRef node(int32_t i) {
        const Variant index = Variant::longValue(i);
        return nodeOf(tree_.get("Nodes", &index));
    }
    Object& tree_;
    int depth_ = 0;
};

// A tree view whose nodes come as fresh wrappers on every call and whose
// collection lists the nodes of another tree view in an order of its own, as a
// tree view may that lets nodes be inserted before their siblings.
class WrappedNode : public TreeNode {
public:
    using Hook = std::function<void(TreeNode&, bool expanded)>;
    WrappedNode(TreeNodeRef inner, const Hook* onExpanded) : inner_(std::move(inner)), onExpanded_(onExpanded) {}
    static TreeNodeRef wrap(const TreeNodeRef& n, const Hook* hook) {
        return n ? std::make_shared<WrappedNode>(n, hook) : nullptr;
    }

    void setExpanded(bool e) override {
        inner_->setExpanded(e);
        if (*onExpanded_) (*onExpanded_)(*this, e);
    }
    bool expanded() const override { return inner_->expanded(); }
    int32_t childCount() const override { return inner_->childCount(); }
    TreeNodeRef firstChild() const override { return wrap(inner_->firstChild(), onExpanded_); }
    TreeNodeRef lastSibling() const override { return wrap(inner_->lastSibling(), onExpanded_); }
    TreeNodeRef nextSibling() const override { return wrap(inner_->nextSibling(), onExpanded_); }
    int32_t bringIntoView() override { return inner_->bringIntoView(); }
    bool sameNode(const TreeNode& other) const override {
        auto* w = dynamic_cast<const WrappedNode*>(&other);
        return w && inner_->sameNode(*w->inner_);
    }
    std::string className() const override { return "Node"; }
    Variant get(std::string_view member, const Variant* arg) override { return inner_->get(member, arg); }
    Variant call(std::string_view member, std::span<Variant> args) override { return inner_->call(member, args); }

private:
    TreeNodeRef inner_;
    const Hook* onExpanded_;
};

class ReorderedTree : public Control {
public:
    using Control::Control;
    std::shared_ptr<HeadlessTreeView> inner;
    std::vector<int32_t> order;  // collection position - 1 -> the inner tree's position
    WrappedNode::Hook onExpanded;

    std::string className() const override { return "Test.ReorderedTree"; }

protected:
    Variant getMember(std::string_view member, const Variant* arg) override {
        if (ascii::equalsNoCase(member, "Nodes") && arg) {
            const Variant index = Variant::longValue(order.at(arg->toLong() - 1));
            return wrapped(inner->get("Nodes", &index));
        }
        if (ascii::equalsNoCase(member, "SelectedItem")) return wrapped(inner->get(member));
        return inner->get(member, arg);
    }

private:
    Variant wrapped(const Variant& v) { return Variant::object(WrappedNode::wrap(nodeOf(v), &onExpanded)); }
};

// ---- The hint on an unbound controller --------------------------------------

TEST_F(TreeControllerTest, UnboundButtonsShowOnlyTheBindingHintOncePerClick) {
    buildTree(*tree, "A(A1) B");
    const std::string before = tree->dump();
    for (int k = 0; k < 4; ++k) click(k);
    ASSERT_EQ(host.messageBoxes().size(), 4u);
    for (const auto& box : host.messageBoxes()) {
        EXPECT_EQ(box.text, kHint);
        EXPECT_EQ(box.style, 0);
    }
    for (const auto& line : host.trace()) EXPECT_EQ(line.rfind("msgbox", 0), 0u) << line;
    EXPECT_EQ(tree->dump(), before);
    EXPECT_EQ(tree->totalCalls(), 0);
    EXPECT_THAT(changes, IsEmpty());
}

// ---- Each command on small trees -------------------------------------------

TEST_F(TreeControllerTest, ExpandCurrentOpensTheSubtreeOnlyAndBringsItsNodeIntoView) {
    bind("A(A1(A11 A12) A2(A21)) B(B1) C");
    tree->select("C");
    click(0);
    EXPECT_TRUE(open("C"));
    EXPECT_FALSE(open("A"));
    EXPECT_THAT(intoView(), ElementsAre("C"));

    tree->clearBroughtIntoView();
    tree->select("A");
    click(0);
    for (const char* key : {"A", "A1", "A11", "A12", "A2", "A21"}) EXPECT_TRUE(open(key)) << key;
    EXPECT_FALSE(open("B"));
    EXPECT_THAT(intoView(), ElementsAre("A"));
}

TEST_F(TreeControllerTest, CollapseCurrentClosesEveryDescendantWithoutBringingIntoView) {
    bind("A(A1(A11) A2(A21)) B(B1)");
    tree->select("A");
    click(0);
    tree->node("B")->setExpanded(true);
    tree->clearBroughtIntoView();
    click(3);
    for (const char* key : {"A", "A1", "A11", "A2", "A21"}) EXPECT_FALSE(open(key)) << key;
    EXPECT_TRUE(open("B"));
    EXPECT_THAT(intoView(), IsEmpty());
}

TEST_F(TreeControllerTest, ExpandAllOpensEveryNodeAndEndsWithTheLastTopLevelNodeInView) {
    bind("A(A1(A11)) B(B1) C(C1 C2)");
    click(1);
    EXPECT_EQ(tree->dump().find('-'), std::string::npos) << tree->dump();
    EXPECT_THAT(intoView(), ElementsAre("A", "B", "C"));
}

TEST_F(TreeControllerTest, CollapseAllFirstBringsTheFirstNodeIntoViewThenClosesEverything) {
    bind("A(A1(A11)) B(B1) C(C1)");
    click(1);
    tree->clearBroughtIntoView();
    std::string whenInView;
    tree->onBringIntoView = [&](const std::string&) { whenInView = tree->dump(); };
    const std::string allOpen = tree->dump();
    click(2);
    EXPECT_THAT(intoView(), ElementsAre("A"));
    EXPECT_EQ(whenInView, allOpen);
    EXPECT_EQ(tree->dump().find('+'), std::string::npos) << tree->dump();
}

TEST_F(TreeControllerTest, SameLevelWalkTakesTheLaterSiblingsOnlyAndOnlyWhenTheNodeHasChildren) {
    bind("A(A1) B(B1(B11)) C(C1) D(D1) E F(F1)");
    ctl->ExpandAll(tree->node("E"), vbTrue, vbTrue);
    EXPECT_TRUE(open("E"));
    EXPECT_FALSE(open("F"));

    ctl->ExpandAll(tree->node("B"), vbTrue, vbTrue);
    for (const char* key : {"B", "B1", "B11", "C", "C1", "D", "D1", "F", "F1"}) EXPECT_TRUE(open(key)) << key;
    EXPECT_FALSE(open("A"));
    EXPECT_THAT(intoView(), ElementsAre("E", "B"));
}

TEST_F(TreeControllerTest, AnyNonZeroDoExpandingOpensAndBringsIntoView) {
    bind("A(A1(A11))");
    ctl->ExpandAll(tree->node("A"), 1, 0);
    EXPECT_TRUE(open("A11"));
    EXPECT_THAT(intoView(), ElementsAre("A"));
}

TEST_F(TreeControllerTest, ChildrenWithEqualTextsAreAllVisited) {
    bind("A");
    for (const char* key : {"x1", "x2", "x3"}) {
        tree->addNode(key, "A", "Gleich");
        tree->addNode(std::string(key) + "c", key, "Gleich");
    }
    tree->select("A");
    click(0);
    for (const char* key : {"x1", "x2", "x3"}) EXPECT_TRUE(open(key)) << key;
}

TEST_F(TreeControllerTest, DisabledOrHiddenTreeIsLeftAloneButCollapseAllStillScrollsToTheTop) {
    bind("A(A1) B(B1)");
    tree->select("A");
    for (bool hidden : {false, true}) {
        tree->setEnabled(hidden);
        tree->setVisible(!hidden);
        const std::string before = tree->dump();
        tree->clearBroughtIntoView();
        for (int k = 0; k < 4; ++k) click(k);
        EXPECT_EQ(tree->dump(), before);
        EXPECT_THAT(intoView(), ElementsAre("A"));
    }
}

TEST_F(TreeControllerTest, EmptyNodeDoesNothingAndLeavesTheDepthAtZero) {
    bind("A(A1) B");
    const std::string before = tree->dump();
    click(0);
    click(3);
    ctl->ExpandAll(nullptr, vbTrue, vbTrue);
    ctl->ExpandAll(nullptr, vbFalse, vbFalse);
    EXPECT_EQ(tree->dump(), before);
    EXPECT_THAT(intoView(), IsEmpty());

    tree->select("B");
    click(0);  // would not bring B into view if the depth had stayed above 0
    EXPECT_THAT(intoView(), ElementsAre("B"));
}

TEST_F(TreeControllerTest, WalksAChainOfAHundredThousandLevelsWithoutRecursion) {
    tree->reserve(100'000);
    tree->addNode("c0", "", "c0");
    for (int i = 1; i < 100'000; ++i) tree->addNode("c" + std::to_string(i), "c" + std::to_string(i - 1), "c");
    ctl->setMySSTree(tree);
    tree->select("c0");
    click(0);
    EXPECT_TRUE(open("c99998"));
    EXPECT_THAT(intoView(), ElementsAre("c0"));
    click(3);
    EXPECT_FALSE(open("c99998"));
}

// ---- Equal to the first design, call for call, in linear time ---------------

struct Twin {
    std::shared_ptr<HeadlessTreeView> view;
    std::vector<std::string> seen;  // the node and the whole tree at each bring-into-view
    void watch() {
        view->onBringIntoView = [this](const std::string& key) { seen.push_back(key + "\n" + view->dump()); };
    }
};

class TreeControllerEquivalence : public TreeControllerTest {
protected:
    TreeControllerEquivalence() {
        twin.view = addTree("SSTree2");
        mine.view = tree;
        mine.watch();
        twin.watch();
    }

    // Random trees, up to 40 nodes, with random open nodes and selection.
    void buildRandom(std::mt19937& rng) {
        const int n = std::uniform_int_distribution<int>(1, 40)(rng);
        for (int i = 0; i < n; ++i) {
            const int parent = std::uniform_int_distribution<int>(-3, i - 1)(rng);
            const std::string key = "k" + std::to_string(i);
            const std::string parentKey = parent < 0 ? "" : "k" + std::to_string(parent);
            const bool expanded = rng() % 2;
            for (auto* t : {&mine, &twin}) {
                t->view->addNode(key, parentKey, key);
                t->view->node(key)->setExpanded(expanded);
            }
        }
        const std::string selected = "k" + std::to_string(rng() % n);
        mine.view->select(selected);
        twin.view->select(selected);
    }

    Twin mine, twin;
};

TEST_F(TreeControllerEquivalence, RandomTreesShowTheSameAtEveryBringIntoView) {
    for (unsigned seed = 0; seed < 150; ++seed) {
        std::mt19937 rng(seed);
        for (auto* t : {&mine, &twin}) {
            t->view = addTree("T" + std::to_string(seed) + (t == &mine ? "a" : "b"));
            t->watch();
        }
        buildRandom(rng);
        ctl->setMySSTree(mine.view);
        Original original(*twin.view);
        for (int step = 0; step < 6; ++step) {
            if (rng() % 3) {
                const int k = static_cast<int>(rng() % 4);
                host.postClick(ctl->img(k));
                host.runUntilIdle();
                original.click(k);
            } else {
                const std::string key = "k" + std::to_string(rng() % mine.view->count());
                const int16_t e = static_cast<int16_t>(static_cast<int>(rng() % 3) - 1);
                const int16_t s = rng() % 2 ? vbTrue : vbFalse;
                ctl->ExpandAll(mine.view->node(key), e, s);
                original.ExpandAll(twin.view->node(key), e, s);
            }
            ASSERT_EQ(mine.seen, twin.seen) << "seed " << seed << " step " << step;
            ASSERT_EQ(mine.view->dump(), twin.view->dump()) << "seed " << seed << " step " << step;
        }
    }
}

TEST_F(TreeControllerEquivalence, WrapperNodesACollectionOutOfSiblingOrderAndNestedCalls) {
    registry.add(TypeInfo{"Test.ReorderedTree", {}, {}},
                 [](ControlSite& site) { return std::make_shared<ReorderedTree>(site); });
    auto reordered = [&](const std::shared_ptr<HeadlessTreeView>& inner, const std::string& name) {
        auto r = std::dynamic_pointer_cast<ReorderedTree>(form->add("Test.ReorderedTree", name, {}));
        r->inner = inner;
        return r;
    };
    auto mineR = reordered(mine.view, "R1"), twinR = reordered(twin.view, "R2");
    ctl->setMySSTree(mineR);
    Original original(*twinR);

    for (unsigned seed = 0; seed < 100; ++seed) {
        std::mt19937 rng(seed);
        for (auto* t : {&mine, &twin}) {
            t->view = addTree("T" + std::to_string(seed) + (t == &mine ? "a" : "b"));
            t->watch();
        }
        mineR->inner = mine.view;
        twinR->inner = twin.view;
        buildRandom(rng);
        std::vector<int32_t> order(mine.view->count());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i + 1);
        std::shuffle(order.begin(), order.end(), rng);
        mineR->order = twinR->order = order;

        // From inside the walk the application opens or closes another node
        // the way the command does: a call that shares the depth of the walk,
        // so it brings nothing into view.
        const std::string trigger = "k" + std::to_string(rng() % order.size());
        const std::string target = "k" + std::to_string(rng() % order.size());
        bool inHook = false;
        auto hook = [&](auto& controller, Twin& t, ReorderedTree& r) -> WrappedNode::Hook {
            return [&inHook, &trigger, &target, c = &controller, tw = &t, rr = &r](TreeNode& n, bool expanded) {
                if (inHook || n.get("Key").toString() != trigger) return;
                inHook = true;
                c->ExpandAll(WrappedNode::wrap(tw->view->node(target), &rr->onExpanded), toTruth(expanded), vbFalse);
                inHook = false;
            };
        };
        mineR->onExpanded = hook(*ctl, mine, *mineR);
        twinR->onExpanded = hook(original, twin, *twinR);

        for (int k : {1, 2, 1, 0, 3}) {
            host.postClick(ctl->img(k));
            host.runUntilIdle();
            original.click(k);
            ASSERT_EQ(mine.seen, twin.seen) << "seed " << seed << " button " << k;
            ASSERT_EQ(mine.view->dump(), twin.view->dump()) << "seed " << seed << " button " << k;
        }
        mineR->onExpanded = twinR->onExpanded = nullptr;
    }
}

TEST_F(TreeControllerTest, AllNodesCommandsStayLinearOnTwentyThousandTopLevelNodes) {
    // 20,000 top-level nodes with one child each: walking the later top-level
    // subtrees again for each top-level node would make 4 x 10^8 visits.
    tree->reserve(40'000);
    for (int i = 0; i < 20'000; ++i) {
        const std::string key = "t" + std::to_string(i);
        tree->addNode(key, "", key);
        tree->addNode(key + "c", key, key);
    }
    ctl->setMySSTree(tree);
    for (int k : {1, 2}) {
        tree->resetCallCounts();
        click(k);
        EXPECT_LE(tree->totalCalls(), 12 * 40'000) << "button " << k;
    }
    EXPECT_FALSE(open("t19999"));
    click(1);
    EXPECT_TRUE(open("t19999"));
    EXPECT_TRUE(open("t0c"));
    EXPECT_EQ(intoView().size(), 2 * 20'000 + 1u);
    EXPECT_EQ(intoView().back(), "t19999");
}

}  // namespace
}  // namespace tavoing
