#include <gtest/gtest.h>

#include <QTreeWidget>
#include <functional>
#include <tuple>
#include <vector>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_image.h"
#include "qt_test_support.h"
#include "tavo/host/error.h"
#include "tavo/host/form.h"
#include "tavo/qt/control_widget.h"
#include "tavo/qt/qt_tree_view.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace tavo {
namespace {

std::string key(const Variant& node) { return node.toObject()->get("Key").toString(); }

class QtTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerQtComponents(registry);
        registerTavoSSAddOn(registry);
        form = std::make_unique<Form>(host, "Form1", registry);
        form->window().setWidth(6000);
        form->window().setHeight(6000);
        tree = std::dynamic_pointer_cast<QtTreeView>(
            form->add("SSActiveTreeView.SSTree", "SSTree1", Placement{0, 600, 4000, 4000}));
        // A and B have children, C has none; added out of tree order.
        tree->addNode("A", "", "A");
        tree->addNode("B", "", "B");
        tree->addNode("A1", "A", "A1");
        tree->addNode("A1x", "A1", "A1x");
        tree->addNode("B1", "B", "B1");
        tree->addNode("A2", "A", "A2");
        tree->addNode("C", "", "C");
        tree->onBringIntoView = [&](const std::string& k) { broughtIntoView.push_back(k); };
        form->window().show();
        pump();
    }
    Variant nodes(int i) {
        Variant index = Variant::integer(int16_t(i));
        return tree->get("Nodes", &index);
    }
    bool open(const std::string& k) { return tree->node(k)->expanded(); }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<Form> form;
    std::shared_ptr<QtTreeView> tree;
    std::vector<std::string> broughtIntoView;
};

TEST_F(QtTreeViewTest, MembersByNameFollowTheCollectionOrder) {
    EXPECT_EQ(tree->treeWidget()->objectName(), "SSTree1");
    EXPECT_EQ(tree->get("Nodes").toObject()->get("Count").toLong(), 7);
    std::vector<std::string> order;
    for (int i = 1; i <= 7; ++i) order.push_back(key(nodes(i)));
    EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "A1", "A1x", "B1", "A2", "C"}));
    EXPECT_EQ(nodes(4).toObject()->get("Level").toLong(), 3);
    EXPECT_EQ(errorNumberOf([&] { nodes(0); }), err::IndexOutOfBounds);
    EXPECT_EQ(errorNumberOf([&] { nodes(8); }), err::IndexOutOfBounds);
    tree->select("");
    EXPECT_TRUE(tree->get("SelectedItem").isNothing());
    tree->select("B1");
    EXPECT_EQ(key(tree->get("SelectedItem")), "B1");
    EXPECT_TRUE(tree->get("Enabled").isTrue());
    tree->put("Visible", Variant::boolean(false));
    EXPECT_FALSE(tree->get("Visible").isTrue());
}

TEST_F(QtTreeViewTest, NodeInterfaceWalksSiblingsWithStableNodeObjects) {
    TreeNodeRef a = tree->node("A");
    EXPECT_EQ(a, tree->node("A"));  // one object per item
    EXPECT_EQ(a->childCount(), 2);
    TreeNodeRef a1 = a->firstChild();
    EXPECT_TRUE(a1->sameNode(*tree->node("A1")));
    EXPECT_TRUE(a1->nextSibling()->sameNode(*tree->node("A2")));
    EXPECT_EQ(tree->node("A2")->nextSibling(), nullptr);
    EXPECT_TRUE(a1->lastSibling()->sameNode(*tree->node("A2")));
    EXPECT_TRUE(a->lastSibling()->sameNode(*tree->node("C")));
    EXPECT_EQ(tree->node("C")->firstChild(), nullptr);

    tree->node("A1x")->bringIntoView();
    EXPECT_TRUE(open("A") && open("A1"));  // its ancestors opened so that it can be seen
    EXPECT_EQ(broughtIntoView, std::vector<std::string>{"A1x"});
    tree->node("B1")->call("EnsureVisible");
    EXPECT_TRUE(open("B"));
}

TEST_F(QtTreeViewTest, TheTreeControllersButtonsExpandAndCollapseTheQtTree) {
    auto controller = form->add("TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", Placement{0, 0, 1080, 225});
    controller->putRef("mySSTree", Variant::object(tree));
    pump();
    QWidget* strip = static_cast<QtControlSite*>(form->siteOf(*controller))->surface();
    auto button = [&](int k) { return strip->findChild<QWidget*>(QString("img(%1)").arg(k)); };
    ASSERT_NE(button(1), nullptr);

    click(button(1), {4, 4});  // expand all
    for (const char* k : {"A", "A1", "A1x", "A2", "B", "B1"}) EXPECT_TRUE(open(k)) << k;
    EXPECT_EQ(broughtIntoView.back(), "C");
    // The deferred layout has run: the deepest node stands on a row of the view.
    pump();
    QTreeWidgetItem* deepest = tree->treeWidget()->findItems("A1x", Qt::MatchRecursive).value(0);
    ASSERT_NE(deepest, nullptr);
    EXPECT_FALSE(tree->treeWidget()->visualItemRect(deepest).isEmpty());

    click(button(2), {4, 4});  // collapse all
    for (const char* k : {"A", "A1", "A1x", "A2", "B", "B1"}) EXPECT_FALSE(open(k)) << k;

    tree->select("A");
    click(button(0), {4, 4});  // expand the current node
    EXPECT_TRUE(open("A") && open("A1"));
    EXPECT_FALSE(open("B"));
}

// The adapter keeps its own links between nodes; after any change the
// application makes to its widget they must tell the same tree as Qt does.
TEST_F(QtTreeViewTest, NodeLinksFollowEveryChangeTheApplicationMakesToItsWidget) {
    QTreeWidget appTree;
    auto add = [](QTreeWidgetItem* parent, const char* text) { return new QTreeWidgetItem(parent, QStringList{text}); };
    QTreeWidgetItem* b = new QTreeWidgetItem(&appTree, QStringList{"b"});
    QTreeWidgetItem* a = new QTreeWidgetItem(&appTree, QStringList{"a"});
    add(add(b, "b2"), "b2x");
    add(b, "b1");
    add(a, "a1");
    ControlWidget strip(host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", nullptr, {}, registry);
    auto view = strip.bindTree(&appTree);

    auto sameAs = [&](const TreeNodeRef& node, QTreeWidgetItem* item) {
        return item ? node && node->sameNode(*view->nodeFor(item)) : !node;
    };
    auto agree = [&](const char* after) {
        std::vector<std::pair<QTreeWidgetItem*, int>> stack;
        for (int i = appTree.topLevelItemCount() - 1; i >= 0; --i) stack.push_back({appTree.topLevelItem(i), 1});
        std::size_t seen = 0;
        while (!stack.empty()) {
            auto [item, level] = stack.back();
            stack.pop_back();
            ++seen;
            const std::string at = std::string(after) + ": " + item->text(0).toStdString();
            TreeNodeRef node = view->nodeFor(item);
            ASSERT_NE(node, nullptr) << at;
            QTreeWidgetItem* parent = item->parent();
            const int row = parent ? parent->indexOfChild(item) : appTree.indexOfTopLevelItem(item);
            const int siblings = parent ? parent->childCount() : appTree.topLevelItemCount();
            auto sibling = [&](int r) { return parent ? parent->child(r) : appTree.topLevelItem(r); };
            EXPECT_EQ(node->childCount(), item->childCount()) << at;
            EXPECT_TRUE(sameAs(node->firstChild(), item->child(0))) << at;
            EXPECT_TRUE(sameAs(node->nextSibling(), row + 1 < siblings ? sibling(row + 1) : nullptr)) << at;
            EXPECT_TRUE(sameAs(node->lastSibling(), sibling(siblings - 1))) << at;
            EXPECT_EQ(node->get("Level").toLong(), level) << at;
            const Variant up = node->get("Parent");
            EXPECT_TRUE(parent ? !up.isNothing() && sameAs(std::dynamic_pointer_cast<TreeNode>(up.toObject()), parent)
                               : up.isNothing())
                << at;
            for (int i = item->childCount() - 1; i >= 0; --i) stack.push_back({item->child(i), level + 1});
        }
        EXPECT_EQ(view->count(), seen) << after;
    };
    auto texts = [&] {
        std::vector<std::string> out;
        for (std::size_t i = 1; i <= view->count(); ++i) {
            Variant index = Variant::longValue(int32_t(i));
            out.push_back(view->get("Nodes", &index).toObject()->get("Text").toString());
        }
        return out;
    };

    agree("bound");
    EXPECT_EQ(texts(), (std::vector<std::string>{"b", "b2", "b2x", "b1", "a", "a1"}));
    b->insertChild(0, new QTreeWidgetItem(QStringList{"b0"}));
    appTree.insertTopLevelItem(1, new QTreeWidgetItem(QStringList{"m"}));
    agree("inserted in the middle");
    appTree.sortItems(0, Qt::AscendingOrder);
    agree("sorted");
    EXPECT_EQ(appTree.topLevelItem(0), a);
    delete appTree.takeTopLevelItem(appTree.indexOfTopLevelItem(b));
    agree("a branch taken out");
    // Nodes keep their places in the collection; new ones follow.
    add(a, "a2");
    EXPECT_EQ(texts(), (std::vector<std::string>{"a", "a1", "m", "a2"}));
    add(add(appTree.topLevelItem(1), "m1"), "m1x");
    agree("a leaf got children");
    appTree.clear();
    agree("cleared");
}

// The adapter counts every change, whoever makes it: the application through
// Qt (Qt's own expandAll and collapseAll too) or a command through the
// adapter; a change of state dates its own branch, a change of shape all.
TEST_F(QtTreeViewTest, CountsEveryChangeToTheTreeWhoeverMakesIt) {
    struct Case {
        const char* name;
        std::function<void(QTreeWidget&, QtTreeView&)> change;
        bool datesA, datesB;
    };
    auto item = [](QTreeWidget& t, const char* text) { return t.findItems(text, Qt::MatchRecursive).value(0); };
    const Case cases[] = {
        {"an item opened by the application", [&](QTreeWidget& t, QtTreeView&) { item(t, "A1")->setExpanded(true); },
         true, false},
        {"a node closed through the adapter",
         [&](QTreeWidget& t, QtTreeView& v) { v.nodeFor(item(t, "B"))->setExpanded(false); }, false, true},
        {"a leaf opened through the adapter",
         [&](QTreeWidget& t, QtTreeView& v) { v.nodeFor(item(t, "A2"))->setExpanded(true); }, true, false},
        {"Qt's own collapseAll", [](QTreeWidget& t, QtTreeView&) { t.collapseAll(); }, false, true},
        {"Qt's own expandAll", [](QTreeWidget& t, QtTreeView&) { t.expandAll(); }, true, true},
        {"an item inserted at the front",
         [](QTreeWidget& t, QtTreeView&) { t.insertTopLevelItem(0, new QTreeWidgetItem(QStringList{"Z"})); }, true,
         true},
        {"the items sorted", [](QTreeWidget& t, QtTreeView&) { t.sortItems(0, Qt::DescendingOrder); }, true, true},
        {"an item deleted", [&](QTreeWidget& t, QtTreeView&) { delete item(t, "A11"); }, true, true},
    };
    for (const Case& c : cases) {
        QTreeWidget appTree;
        auto* a = new QTreeWidgetItem(&appTree, QStringList{"A"});
        auto* a1 = new QTreeWidgetItem(a, QStringList{"A1"});
        new QTreeWidgetItem(a1, QStringList{"A11"});
        new QTreeWidgetItem(a, QStringList{"A2"});
        auto* b = new QTreeWidgetItem(&appTree, QStringList{"B"});
        new QTreeWidgetItem(b, QStringList{"B1"});
        b->setExpanded(true);
        appTree.show();
        ControlWidget strip(host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", nullptr, {}, registry);
        auto view = strip.bindTree(&appTree);
        auto dates = [&] {
            return std::tuple{*view->nodeFor(a)->treeChangeCount(), *view->nodeFor(a)->branchChangedAt(),
                              *view->nodeFor(b)->branchChangedAt()};
        };
        const auto [tree, datedA, datedB] = dates();
        c.change(appTree, *view);
        const auto [treeAfter, datedAAfter, datedBAfter] = dates();
        EXPECT_GT(treeAfter, tree) << c.name;
        EXPECT_EQ(datedAAfter > datedA, c.datesA) << c.name;
        EXPECT_EQ(datedBAfter > datedB, c.datesB) << c.name;
    }
}

TEST_F(QtTreeViewTest, ItemsAddedAfterTheAdapterLookedJoinTheCollectionAsTheyCome) {
    QTreeWidget appTree;
    new QTreeWidgetItem(&appTree, QStringList{"A"});
    new QTreeWidgetItem(&appTree, QStringList{"B"});
    ControlWidget strip(host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", nullptr, {}, registry);
    auto view = strip.bindTree(&appTree);
    EXPECT_EQ(view->count(), 2u);
    appTree.insertTopLevelItem(0, new QTreeWidgetItem(QStringList{"Y"}));
    auto* z = new QTreeWidgetItem(QStringList{"Z"});
    new QTreeWidgetItem(z, QStringList{"Z1"});
    appTree.insertTopLevelItem(0, z);
    std::string order;
    for (int i = 1; i <= int(view->count()); ++i) {
        Variant index = Variant::integer(int16_t(i));
        order += view->get("Nodes", &index).toObject()->get("Text").toString() + " ";
    }
    EXPECT_EQ(order, "A B Y Z Z1 ");
}

TEST_F(QtTreeViewTest, AnApplicationsOwnTreeWidgetCanBeBoundAndChangedUnderneath) {
    QTreeWidget appTree;
    auto* north = new QTreeWidgetItem(&appTree, QStringList{"Nord"});
    auto* office = new QTreeWidgetItem(north, QStringList{"Filiale"});
    new QTreeWidgetItem(office, QStringList{"Team"});
    new QTreeWidgetItem(&appTree, QStringList{"Süd"});
    ControlWidget strip(host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", nullptr, {}, registry);
    auto view = strip.bindTree(&appTree);
    EXPECT_EQ(strip.get("mySSTree").toObject(), view);

    EXPECT_EQ(view->count(), 4u);  // tree order for items the application added
    Variant three = Variant::integer(3);
    EXPECT_EQ(view->get("Nodes", &three).toObject()->get("Text").toString(), "Team");
    TreeNodeRef officeNode = view->nodeFor(office);
    delete office;  // the application removes a branch: its nodes are gone
    EXPECT_EQ(errorNumberOf([&] { officeNode->childCount(); }), err::ObjectNotSet);
    EXPECT_EQ(view->count(), 2u);
    new QTreeWidgetItem(north, QStringList{"Neu"});
    EXPECT_EQ(view->count(), 3u);
    EXPECT_EQ(view->nodeFor(north)->firstChild()->get("Text").toString(), "Neu");

    appTree.show();  // a hidden tree is left alone
    dynamic_cast<TavoSSTreeController&>(strip.control()).ExpandAll(view->nodeFor(north), -1, 0);
    EXPECT_TRUE(north->isExpanded());
}

}  // namespace
}  // namespace tavo
