// The Qt tree view's open state where Qt keeps none of its own: leaves, and
// the scroll that a command's bring-into-view leaves for the next turn.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTreeWidget>

#include "qt_test_support.h"
#include "tavo/host/form.h"
#include "tavo/qt/qt_host.h"
#include "tavo/qt/qt_tree_view.h"

namespace tavo {
namespace {

class QtTreeOpenStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerQtComponents(registry);
        form = std::make_unique<Form>(host, "Form1", registry);
        form->window().setWidth(6000);
        form->window().setHeight(3000);
        tree = std::dynamic_pointer_cast<QtTreeView>(
            form->add("SSActiveTreeView.SSTree", "SSTree1", Placement{0, 0, 4000, 1500}));
        form->window().show();
        pump();
    }
    QTreeWidgetItem* item(const std::string& k) {
        return tree->treeWidget()->findItems(QString::fromStdString(k), Qt::MatchRecursive).value(0);
    }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<Form> form;
    std::shared_ptr<QtTreeView> tree;
};

TEST_F(QtTreeOpenStateTest, AnOpenedLeafReadsOpenAndShowsItsChildrenWhenItGetsSome) {
    tree->addNode("leaf", "", "leaf");
    tree->node("leaf")->setExpanded(true);
    EXPECT_TRUE(tree->node("leaf")->expanded());
    EXPECT_TRUE(tree->node("leaf")->get("Expanded").isTrue());

    tree->addNode("child", "leaf", "child");
    pump();
    EXPECT_TRUE(item("leaf")->isExpanded()) << "the leaf's open state went to the view with its first child";
    EXPECT_FALSE(tree->treeWidget()->visualItemRect(item("child")).isEmpty());

    tree->addNode("closed", "", "closed");
    tree->node("closed")->setExpanded(true);
    tree->node("closed")->setExpanded(false);
    tree->addNode("under", "closed", "under");
    pump();
    EXPECT_FALSE(item("closed")->isExpanded());
}

TEST_F(QtTreeOpenStateTest, ALeafTheApplicationOpenedInQtClosesThroughTheNode) {
    tree->addNode("leaf", "", "leaf");
    item("leaf")->setExpanded(true);
    EXPECT_TRUE(tree->node("leaf")->expanded());
    tree->node("leaf")->setExpanded(false);
    EXPECT_FALSE(tree->node("leaf")->expanded());
    EXPECT_FALSE(item("leaf")->isExpanded());
}

TEST_F(QtTreeOpenStateTest, OnlyTheLastNodeBroughtIntoViewDecidesWhereTheViewStands) {
    for (int i = 0; i < 200; ++i) tree->addNode("n" + std::to_string(i), "", "n" + std::to_string(i));
    tree->node("n199")->bringIntoView();
    tree->node("n150")->bringIntoView();
    pump();
    QTreeWidget* w = tree->treeWidget();
    EXPECT_FALSE(w->visualItemRect(item("n150")).isEmpty());
    EXPECT_TRUE(w->visualItemRect(item("n199")).isEmpty() ||
                !w->viewport()->rect().contains(w->visualItemRect(item("n199"))));

    // A node removed before the turn of the loop is not scrolled to.
    tree->node("n0")->bringIntoView();
    delete item("n0");
    pump();
    EXPECT_GT(w->verticalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace tavo
