// The headless tree view: structure, members by name and through the node
// interface, call counting, and trees of a million nodes.
#include <functional>

#include "backends/headless/headless_tree_view.h"
#include "tests/headless/headless_fixture.h"

namespace tavo {
namespace {

class TreeViewTest : public HeadlessTest {
protected:
    std::unique_ptr<ControlSite> site = host.createSite(*form, "Tree1", {});
    std::shared_ptr<HeadlessTreeView> tree = std::make_shared<HeadlessTreeView>(*site);

    // A        B      C
    // ├ a1     └ b1
    // │ └ a11
    // └ a2
    void buildSample() {
        tree->addNode("A", "", "Alpha");
        tree->addNode("a1", "A", "one");
        tree->addNode("B", "", "Beta");
        tree->addNode("a11", "a1", "one-one");
        tree->addNode("a2", "A", "two");
        tree->addNode("b1", "B", "b-one");
        tree->addNode("C", "", "Gamma");
    }
    static std::string keyOf(const TreeNodeRef& n) { return n ? n->get("Key").toString() : "-"; }
};

TEST_F(TreeViewTest, NodesKeepInsertionOrderLevelsAndSiblingLinks) {
    buildSample();
    EXPECT_EQ(tree->count(), 7u);
    const auto a = tree->node("A");
    EXPECT_EQ(a->childCount(), 2);
    EXPECT_EQ(keyOf(a->firstChild()), "a1");
    EXPECT_EQ(keyOf(a->lastSibling()), "C");
    EXPECT_EQ(keyOf(a->nextSibling()), "B");
    EXPECT_EQ(keyOf(tree->node("a1")->lastSibling()), "a2");
    EXPECT_TRUE(tree->node("a2")->lastSibling()->sameNode(*tree->node("a2")));
    EXPECT_EQ(keyOf(tree->node("a2")->nextSibling()), "-");
    EXPECT_EQ(keyOf(tree->node("a11")->firstChild()), "-");
    EXPECT_EQ(tree->node("a11")->get("Level").toLong(), 3);
    EXPECT_EQ(keyOf(std::dynamic_pointer_cast<TreeNode>(tree->node("a11")->get("Parent").toObject())), "a1");
    EXPECT_EQ(tree->node("a1"), tree->node("a1")) << "one node object per node";
    EXPECT_EQ(tree->node("nope"), nullptr);

    tree->node("A")->setExpanded(true);
    EXPECT_EQ(tree->dump(),
              "A Alpha +\n"
              "  a1 one -\n"
              "    a11 one-one  \n"
              "  a2 two  \n"
              "B Beta -\n"
              "  b1 b-one  \n"
              "C Gamma  \n");
}

TEST_F(TreeViewTest, ADuplicateKeyOrAnUnknownParentIsRefusedByName) {
    buildSample();
    for (const auto& [key, parent] : std::vector<std::pair<std::string, std::string>>{{"a1", "B"}, {"x", "zz"}}) {
        try {
            tree->addNode(key, parent, "t");
            ADD_FAILURE() << key;
        } catch (const HostError& e) {
            EXPECT_EQ(e.number(), err::InvalidProcedureCall);
            EXPECT_NE(std::string(e.what()).find('"' + (key == "x" ? parent : key) + '"'), std::string::npos)
                << e.what();
        }
    }
    EXPECT_EQ(tree->count(), 7u);
}

TEST_F(TreeViewTest, TheMembersTheControllerCallsByName) {
    EXPECT_TRUE(tree->get("SelectedItem").isNothing());
    buildSample();
    tree->select("a1");
    EXPECT_EQ(tree->get("SelectedItem").toObject(), tree->node("a1"));
    const auto nodes = tree->get("Nodes").toObject();
    EXPECT_EQ(nodes->get("Count").toLong(), 7);
    Variant third = Variant::integer(3);
    EXPECT_EQ(tree->get("Nodes", &third).toObject(), tree->node("B"));
    EXPECT_EQ(nodes->get("Item", &third).toObject(), tree->node("B"));
    Variant key = Variant::string("C");
    EXPECT_EQ(tree->get("Nodes", &key).toObject(), tree->node("C"));
    for (const int16_t bad : {0, 8}) {
        Variant i = Variant::integer(bad);
        EXPECT_EQ(errorNumberOf([&] { tree->get("Nodes", &i); }), err::IndexOutOfBounds);
    }

    tree->put("Enabled", Variant::boolean(false));
    EXPECT_EQ(tree->get("Enabled").toBoolean(), vbFalse);
    EXPECT_EQ(tree->get("Visible").toBoolean(), vbTrue);
    tree->node("a1")->put("Expanded", Variant::boolean(true));
    EXPECT_TRUE(tree->node("a1")->expanded()) << "a disabled tree still obeys its nodes";
    EXPECT_EQ(errorNumberOf([&] { tree->get("Columns"); }), err::NoSuchMember);
}

TEST_F(TreeViewTest, BringingANodeIntoViewOpensItsAncestorsAndIsRecorded) {
    buildSample();
    std::vector<std::string> seen;
    tree->onBringIntoView = [&](const std::string& key) { seen.push_back(key); };
    tree->node("a11")->call("EnsureVisible");
    tree->node("b1")->bringIntoView();
    EXPECT_TRUE(tree->node("A")->expanded());
    EXPECT_TRUE(tree->node("a1")->expanded());
    EXPECT_TRUE(tree->node("B")->expanded());
    EXPECT_FALSE(tree->node("a11")->expanded());
    EXPECT_EQ(tree->broughtIntoView(), (std::vector<std::string>{"a11", "b1"}));
    EXPECT_EQ(seen, tree->broughtIntoView());
    EXPECT_EQ(host.trace(), (std::vector<std::string>{"ensurevisible Tree1.a11", "ensurevisible Tree1.b1"}));
}

TEST_F(TreeViewTest, EveryCallIsCountedByItsName) {
    buildSample();
    const auto a = tree->node("A");
    a->setExpanded(true);
    a->childCount();
    a->firstChild()->lastSibling()->nextSibling();
    a->bringIntoView();
    a->expanded();
    tree->get("SelectedItem");
    Variant one = Variant::integer(1);
    tree->get("Nodes", &one).toObject()->get("Level");
    tree->get("Nodes").toObject()->get("Count");
    EXPECT_EQ(tree->callCounts(), (std::map<std::string, int64_t>{{"Expanded", 1},
                                                                  {"Children", 1},
                                                                  {"Child", 1},
                                                                  {"LastSibling", 1},
                                                                  {"Next", 1},
                                                                  {"EnsureVisible()", 1},
                                                                  {"SelectedItem", 1},
                                                                  {"Nodes", 2},
                                                                  {"Level", 1},
                                                                  {"Count", 1}}));
    EXPECT_EQ(tree->totalCalls(), 11);
    tree->resetCallCounts();
    EXPECT_TRUE(tree->callCounts().empty());
}

// An application may add a node before its siblings, sort and remove nodes;
// the collection keeps the order of adding, less the nodes taken out.
TEST_F(TreeViewTest, NodesAddedFirstSortedOrRemovedKeepTheCollectionsOrder) {
    buildSample();
    tree->addNode("Z", "", "Zeta", HeadlessTreeView::Place::First);
    auto keysInCollection = [&] {
        std::string out;
        for (std::size_t i = 1; i <= tree->count(); ++i) {
            Variant index = Variant::longValue(static_cast<int32_t>(i));
            out += tree->get("Nodes", &index).toObject()->get("Key").toString() + " ";
        }
        return out;
    };
    EXPECT_EQ(keyOf(tree->node("Z")->nextSibling()), "A");
    EXPECT_EQ(keysInCollection(), "A a1 B a11 a2 b1 C Z ");

    tree->sortChildren("", true);  // Zeta, Gamma, Beta, Alpha
    tree->sortChildren("A", true);
    EXPECT_EQ(tree->dump(), "Z Zeta  \nC Gamma  \nB Beta -\n  b1 b-one  \nA Alpha -\n  a2 two  \n  a1 one -\n    a11 one-one  \n");
    EXPECT_EQ(keyOf(tree->node("B")->lastSibling()), "A");
    EXPECT_EQ(keysInCollection(), "A a1 B a11 a2 b1 C Z ");

    const auto a1 = tree->node("a1");
    tree->select("a11");
    tree->removeNode("a1");
    EXPECT_EQ(keysInCollection(), "A B a2 b1 C Z ");
    EXPECT_EQ(tree->node("A")->childCount(), 1);
    EXPECT_EQ(tree->node("a11"), nullptr);
    EXPECT_TRUE(tree->get("SelectedItem").isNothing());
    EXPECT_EQ(errorNumberOf([&] { a1->childCount(); }), err::ObjectNotSet);
    EXPECT_EQ(errorNumberOf([&] { tree->removeNode("a1"); }), err::InvalidProcedureCall);
    tree->removeNode("Z");
    EXPECT_EQ(keyOf(tree->node("C")), "C");
    EXPECT_EQ(tree->node("C")->get("Index").toLong(), 5);
}

// Every change counts, on the tree and on the top-level branch it happens in;
// opening and closing raise a notification only when the state changes.
TEST_F(TreeViewTest, CountsEveryChangeAndRaisesOnlyRealOpeningsAndClosings) {
    buildSample();
    std::vector<std::string> raised;
    tree->onExpandedChanged = [&](const std::string& key, bool open) { raised.push_back((open ? "+" : "-") + key); };
    // The tree's count, and when the branches of A, B and C last changed.
    auto counts = [&] {
        return std::vector<uint64_t>{*tree->node("A")->treeChangeCount(), *tree->node("a11")->branchChangedAt(),
                                     *tree->node("B")->branchChangedAt(), *tree->node("C")->branchChangedAt()};
    };
    EXPECT_EQ(counts(), (std::vector<uint64_t>{7, 5, 6, 0})) << "seven nodes added, a2 the last in A";
    struct Step {
        std::function<void()> change;
        std::vector<uint64_t> counts;
        std::vector<std::string> raised;
    };
    const Step steps[] = {
        {[&] { tree->node("a1")->setExpanded(true); }, {8, 8, 6, 0}, {"+a1"}},
        {[&] { tree->node("a1")->put("Expanded", Variant::boolean(true)); }, {8, 8, 6, 0}, {}},
        {[&] { tree->node("b1")->bringIntoView(); }, {9, 8, 9, 0}, {"+B"}},
        {[&] { tree->addNode("c1", "C", "c"); }, {10, 8, 9, 10}, {}},
        {[&] { tree->addNode("D", "", "d"); }, {11, 8, 9, 10}, {}},
        {[&] { tree->sortChildren("A", true); }, {12, 12, 9, 10}, {}},
        {[&] { tree->removeNode("b1"); }, {13, 12, 13, 10}, {}},
        {[&] { tree->put("Enabled", Variant::boolean(false)); }, {13, 12, 13, 10}, {}},
    };
    for (const Step& step : steps) {
        raised.clear();
        step.change();
        EXPECT_EQ(counts(), step.counts);
        EXPECT_EQ(raised, step.raised);
    }
}

TEST_F(TreeViewTest, TellsNodesApartByIdentityAndCountsTheComparisons) {
    buildSample();
    const auto a = tree->node("A");
    EXPECT_EQ(a->identity(), tree->node("A")->identity());
    EXPECT_NE(a->identity(), tree->node("B")->identity());
    EXPECT_TRUE(a->sameNode(*tree->node("A")));
    EXPECT_EQ(tree->comparisons(), 5);
    tree->resetCallCounts();
    EXPECT_EQ(tree->comparisons(), 0);
}

TEST_F(TreeViewTest, NodesOutliveTheirTreeWithoutReachingBack) {
    buildSample();
    const auto a = tree->node("A");
    tree.reset();
    EXPECT_EQ(errorNumberOf([&] { a->childCount(); }), err::ObjectNotSet);
}

TEST_F(TreeViewTest, AMillionNodesAreBuiltAndWalkedThroughTheNodeInterface) {
    constexpr int kTop = 1000, kChildren = 999;
    tree->reserve(kTop * (kChildren + 1));
    for (int t = 0; t < kTop; ++t) {
        const std::string top = "t" + std::to_string(t);
        tree->addNode(top, "", top);
        for (int c = 0; c < kChildren; ++c) tree->addNode(top + "." + std::to_string(c), top, "");
    }
    ASSERT_EQ(tree->count(), 1000000u);

    int64_t visited = 0;
    for (auto top = tree->node("t0"); top; top = top->nextSibling()) {
        ++visited;
        top->setExpanded(true);
        ASSERT_EQ(top->childCount(), kChildren);
        for (auto child = top->firstChild();; child = child->nextSibling()) {
            ++visited;
            if (child->lastSibling()->sameNode(*child)) break;
        }
    }
    EXPECT_EQ(visited, 1000000);
    EXPECT_EQ(tree->callCounts().at("Next"), kTop * kChildren) << "one per sibling after the first";
    EXPECT_EQ(keyOf(tree->node("t999.998")), "t999.998");
}

TEST_F(TreeViewTest, AVeryDeepChainComesIntoViewWithoutRecursion) {
    constexpr int kDepth = 200000;
    tree->addNode("n0", "", "");
    for (int i = 1; i < kDepth; ++i) tree->addNode("n" + std::to_string(i), "n" + std::to_string(i - 1), "");
    tree->node("n" + std::to_string(kDepth - 1))->bringIntoView();
    EXPECT_TRUE(tree->node("n0")->expanded());
    EXPECT_EQ(tree->node("n" + std::to_string(kDepth - 1))->get("Level").toLong(), kDepth);
}

}  // namespace
}  // namespace tavo
