// The four buttons and ExpandAll on a bound tree view.
#include "tests/treecontroller/tree_controller_fixture.h"

namespace tavo {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kHint =
    "Damit dieses Control weiß, welchen Tree es steuern soll, sollte man im Form_Load Ereignis die folgende Zeile "
    "einfügen:\r\nSet TavoSSTreeController1.mySSTree = SSTree1";

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

// ---- Trees that are empty, unbound or switched off ---------------------------

TEST_F(TreeControllerTest, AnEmptyBoundTreeLetsEveryButtonPassQuietly) {
    bind("");
    for (int k = 0; k < 4; ++k) click(k);  // collapse all's Nodes(1) fails, unseen
    EXPECT_THAT(host.trace(), IsEmpty());
    EXPECT_THAT(host.messageBoxes(), IsEmpty());
    buildTree(*tree, "A");
    ctl->ExpandAll(tree->node("A"), vbTrue, vbFalse);
    EXPECT_THAT(intoView(), ElementsAre("A")) << "the depth is back at 0";
}

TEST_F(TreeControllerTest, ExpandAllOnAnUnboundControllerReturnsAtOnce) {
    buildTree(*tree, "A(A1)");
    ctl->ExpandAll(tree->node("A"), vbTrue, vbTrue);
    EXPECT_FALSE(open("A"));
    EXPECT_EQ(tree->totalCalls(), 0);
    EXPECT_THAT(host.trace(), IsEmpty());
}

TEST_F(TreeControllerTest, ADisabledControllerTakesNoClicks) {
    buildTree(*tree, "A(A1) B");
    tree->select("A");
    for (bool bound : {false, true}) {
        if (bound) ctl->setMySSTree(tree);
        ctl->setEnabled(false);
        for (int k = 0; k < 4; ++k) click(k);
        EXPECT_THAT(host.messageBoxes(), IsEmpty());
        EXPECT_EQ(tree->totalCalls(), 0);
    }
}

// ---- Linear in the size of the tree, whatever the collection's order --------

// 20,000 top-level nodes with one child each, their collection order the
// sibling order, its reverse (each added before the others), or as sorted
// texts put them. Walking every later top-level branch again would make
// 4 x 10^8 visits; looking a walked node up in the walked tail, 2 x 10^8
// comparisons.
TEST_F(TreeControllerTest, AllNodesCommandsMakeAFewCallsAndComparisonsPerNodeInAnyCollectionOrder) {
    enum Order { SiblingOrder, Reversed, Sorted };
    constexpr int kTops = 20'000, kNodes = 2 * kTops;
    for (Order order : {SiblingOrder, Reversed, Sorted}) {
        tree = addTree("Big" + std::to_string(order));
        tree->reserve(kNodes);
        for (int i = 0; i < kTops; ++i) {
            // Texts that sort in an order of their own: i * 7919 mod 20,000.
            const std::string key = "t" + std::to_string(i), text = std::to_string(100'000 + i * 7919 % kTops);
            tree->addNode(key, "", text, order == Reversed ? HeadlessTreeView::Place::First : HeadlessTreeView::Place::Last);
            tree->addNode(key + "c", key, text);
        }
        if (order == Sorted) tree->sortChildren("", false);
        ctl->setMySSTree(tree);
        for (int k : {1, 2, 1}) {
            tree->resetCallCounts();
            tree->clearBroughtIntoView();
            click(k);
            EXPECT_LE(tree->totalCalls(), 14 * kNodes) << "order " << order << " button " << k;
            EXPECT_LE(tree->comparisons(), 4 * kNodes) << "order " << order << " button " << k;
        }
        EXPECT_EQ(tree->dump().find('-'), std::string::npos);
        EXPECT_EQ(intoView().size(), std::size_t(kTops));
    }
}

}  // namespace
}  // namespace tavo
