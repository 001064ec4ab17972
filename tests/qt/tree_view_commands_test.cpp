// The tree controller's commands on Qt tree widgets whose application fights
// back, fails, or lists its nodes out of sibling order: the adapter's change
// counts, what the tree raises and shows against the plain walk, failures of
// any member, and the calls and comparisons a command makes.
#include <gtest/gtest.h>

#include <QTreeWidget>
#include <functional>
#include <random>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_image.h"
#include "qt_test_support.h"
#include "tavo/qt/control_widget.h"
#include "tavo/qt/qt_tree_view.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "tests/support/failing_tree.h"
#include "tests/support/plain_tree_walk.h"

namespace tavo {
namespace {

QTreeWidgetItem* newItem(const std::string& key) {
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(key)});
    item->setData(0, Qt::UserRole, QString::fromStdString(key));
    return item;
}

// An application's tree widget with the adapter over it, and all the tree
// raised and showed, in order.
struct QtSide {
    QtSide(QtHost& host, const std::string& name) : widget(std::make_unique<QTreeWidget>()) {
        widget->setHeaderHidden(true);
        widget->resize(200, 300);
        site = std::make_unique<QtControlSite>(host, widget.get(), name);
        view = std::make_shared<QtTreeView>(*site, widget.get());
    }
    // "A(A1 A2) B": A with the children A1 and A2, then B on the top level.
    void build(std::string_view shape) {
        std::vector<QTreeWidgetItem*> parents{nullptr};
        QTreeWidgetItem* last = nullptr;
        std::string key;
        auto flush = [&] {
            if (key.empty()) return;
            last = newItem(key);
            if (parents.back()) parents.back()->addChild(last);
            else widget->addTopLevelItem(last);
            key.clear();
        };
        for (char c : shape) {
            if (c == '(' || c == ')' || c == ' ') flush();
            if (c == '(') parents.push_back(last);
            if (c == ')') parents.pop_back();
            if (c != '(' && c != ')' && c != ' ') key += c;
        }
        flush();
        widget->show();
        view->count();  // the adapter looks: later items join the collection as they come
    }
    QTreeWidgetItem* item(const std::string& key) const {
        const auto found = widget->findItems(QString::fromStdString(key), Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    TreeNodeRef node(const std::string& key) const { return item(key) ? view->nodeFor(item(key)) : nullptr; }
    std::string dump() const {
        std::string out;
        std::function<void(QTreeWidgetItem*, int)> add = [&](QTreeWidgetItem* i, int depth) {
            out += std::string(std::size_t(depth) * 2, ' ') + i->text(0).toStdString() +
                   (view->nodeFor(i)->expanded() ? " +\n" : " -\n");
            for (int c = 0; c < i->childCount(); ++c) add(i->child(c), depth + 1);
        };
        for (int t = 0; t < widget->topLevelItemCount(); ++t) add(widget->topLevelItem(t), 0);
        return out;
    }
    void record() {
        auto raised = [this](const char* sign) {
            return [this, sign](QTreeWidgetItem* i) { seen.push_back(sign + i->text(0).toStdString()); };
        };
        QObject::connect(widget.get(), &QTreeWidget::itemExpanded, widget.get(), raised("+"));
        QObject::connect(widget.get(), &QTreeWidget::itemCollapsed, widget.get(), raised("-"));
        view->onBringIntoView = [this](const std::string& key) {
            seen.push_back("view " + key + "\n" + dump());
            if (onView) onView();
        };
    }

    std::unique_ptr<QTreeWidget> widget;
    std::unique_ptr<QtControlSite> site;
    std::shared_ptr<QtTreeView> view;
    std::vector<std::string> seen;
    std::function<void()> onView;  // the application's handler, after the record
};

class QtTreeCommands : public ::testing::Test {
protected:
    void SetUp() override {
        registerQtComponents(registry);
        registerTavoSSAddOn(registry);
        strip = std::make_unique<ControlWidget>(host, "TavoSSAddOn.TavoSSTreeController", "Ctl1", nullptr,
                                                    QSize{}, registry);
        strip->show();
        pump();
    }
    TavoSSTreeController& ctl() const { return static_cast<TavoSSTreeController&>(strip->control()); }
    // The user's click on button k; nothing may come out of it.
    void click(int k) {
        QWidget* image = static_cast<QtImage&>(*ctl().img(k)).widget();
        EXPECT_NO_THROW(tavo::click(image, {4, 4}));
    }

    ComponentRegistry registry;
    QtHost host;
    std::unique_ptr<ControlWidget> strip;
};

// ---- Against the plain walk, with handlers that fight back -----------------

TEST_F(QtTreeCommands, RandomTreesUnderFightingHandlersShowAndRaiseWhatThePlainWalkDoes) {
    for (unsigned seed = 0; seed < 400; ++seed) {
        std::mt19937 rng(seed);
        QtSide mine(host, "M"), plain(host, "P");
        std::string shape;
        std::vector<std::string> keys;
        for (int top = 0; top < 2 + int(rng() % 5); ++top) {
            keys.push_back("t" + std::to_string(top));
            shape += keys.back() + "(";
            for (int c = 0; c < int(rng() % 3); ++c) {
                keys.push_back("c" + std::to_string(top) + std::to_string(c));
                shape += keys.back() + " ";
            }
            shape += ") ";
        }
        for (QtSide* s : {&mine, &plain}) {
            s->build(shape);
            if (seed % 3 == 1) s->widget->sortItems(0, Qt::DescendingOrder);
            if (seed % 3 == 2) s->widget->insertTopLevelItem(0, newItem("front"));
            s->record();
        }
        ctl().setMySSTree(mine.view);
        PlainTreeWalk reference(*plain.view);
        // A handler: when the trigger opens or closes, it does one thing to its tree.
        const std::string trigger = keys[rng() % keys.size()], target = keys[rng() % keys.size()];
        const int action = int(rng() % 9) % 7;  // mostly against the command
        auto fight = [&](QtSide& s, std::function<void(const TreeNodeRef&)> expandAll) {
            auto fired = std::make_shared<int>(0);
            auto react = [&s, expandAll, fired, trigger, target, action](QTreeWidgetItem* i) {
                if (i->text(0).toStdString() != trigger || ++*fired > 2 || !s.item(target)) return;
                switch (action) {
                case 0: s.item(target)->setExpanded(!s.item(target)->isExpanded()); break;
                case 1: expandAll(s.node(target)); break;
                case 2: s.widget->insertTopLevelItem(0, newItem("new" + std::to_string(*fired))); break;
                case 3: s.widget->sortItems(0, *fired % 2 ? Qt::AscendingOrder : Qt::DescendingOrder); break;
                case 4: s.widget->setEnabled(!s.widget->isEnabled()); break;
                case 5: s.widget->setVisible(s.widget->isHidden()); break;
                default: {
                    // The target's top-level item goes, unless Qt is still telling of an item in it.
                    QTreeWidgetItem* top = s.item(target);
                    while (top->parent()) top = top->parent();
                    QTreeWidgetItem* told = i;
                    while (told->parent()) told = told->parent();
                    if (top != told) delete top;
                    break;
                }
                }
            };
            QObject::connect(s.widget.get(), &QTreeWidget::itemExpanded, s.widget.get(), react);
            QObject::connect(s.widget.get(), &QTreeWidget::itemCollapsed, s.widget.get(), react);
            // The tree switched off above is back on as soon as a node comes into view.
            s.onView = [&s] {
                s.widget->setEnabled(true);
                s.widget->show();
            };
            return fired;
        };
        auto mineFired = fight(mine, [this](const TreeNodeRef& n) { ctl().ExpandAll(n, vbFalse, vbFalse); });
        auto plainFired = fight(plain, [&](const TreeNodeRef& n) { reference.ExpandAll(n, vbFalse, vbFalse); });
        for (int k : {1, 2, 1, 2}) {
            *mineFired = *plainFired = 0;
            click(k);
            reference.click(k);
            ASSERT_EQ(mine.seen, plain.seen) << "seed " << seed << " button " << k;
            ASSERT_EQ(mine.dump(), plain.dump()) << "seed " << seed << " button " << k;
        }
    }
}

// A handler goes against the command in a branch the command has walked but
// will walk again: when t2 opens (closes), m1 closes (opens). The plain walk
// meets m1 again from t1 on; so must the controller.
TEST_F(QtTreeCommands, AHandlerGoingAgainstTheCommandInAWalkedBranchIsMetAgain) {
    for (bool expanding : {true, false}) {
        QtSide mine(host, "M"), plain(host, "P");
        for (QtSide* s : {&mine, &plain}) {
            s->build("t0(m0(x0)) t1(m1(x1)) t2(m2(x2))");
            if (!expanding) s->widget->expandAll();
            s->record();
            QObject::connect(s->widget.get(), expanding ? &QTreeWidget::itemExpanded : &QTreeWidget::itemCollapsed,
                             s->widget.get(), [s, expanding](QTreeWidgetItem* i) {
                                 if (i->text(0) == "t2") s->item("m1")->setExpanded(!expanding);
                             });
        }
        ctl().setMySSTree(mine.view);
        click(expanding ? 1 : 2);
        PlainTreeWalk(*plain.view).click(expanding ? 1 : 2);
        EXPECT_EQ(mine.seen, plain.seen) << expanding;
        EXPECT_EQ(mine.dump(), plain.dump()) << expanding;
    }
}

// ---- A failing tree view --------------------------------------------------

TEST_F(QtTreeCommands, NoFailureOfAnAdapterReachesTheApplication) {
    for (int m = 0; m < int(TreeMember::Members); ++m) {
        for (Failure how : {Failure::HostError, Failure::OtherException, Failure::NotANode}) {
            for (int64_t n = 1; n <= 3; ++n) {
                for (int k = 0; k < 4; ++k) {
                    const FailurePlan plan{TreeMember(m), how, n, "", false};
                    QtSide mine(host, "M"), plain(host, "P");
                    for (QtSide* s : {&mine, &plain}) {
                        s->build("A(A1(A11) A2 A3(A31))");
                        s->widget->setCurrentItem(s->item("A"));
                        s->record();
                    }
                    const std::string at = "member " + std::to_string(m) + " call " + std::to_string(n) + " button " +
                                           std::to_string(k);
                    auto mineTree = std::make_shared<FailingTree>(*mine.site, mine.view, plan, 5'000);
                    auto plainTree = std::make_shared<FailingTree>(*plain.site, plain.view, plan, 5'000);
                    ctl().setMySSTree(mineTree);
                    click(k);
                    PlainTreeWalk(*plainTree).click(k);
                    EXPECT_FALSE(mineTree->ranAway()) << at;
                    EXPECT_EQ(mine.seen, plain.seen) << at;
                    EXPECT_EQ(mine.dump(), plain.dump()) << at;
                    // Only a call entered at depth 0 brings its node into view.
                    mine.seen.clear();
                    ctl().ExpandAll(mine.node("A2"), vbTrue, vbFalse);
                    EXPECT_TRUE(!mine.seen.empty() && mine.seen.back().rfind("view A2", 0) == 0) << at;
                }
            }
        }
    }
}

// An empty bound tree lets every button pass quietly (collapse all's
// Nodes(1) fails unseen) with the depth back at 0; an unbound controller
// leaves a real node handed to ExpandAll alone.
TEST_F(QtTreeCommands, AnEmptyBoundTreeAndAnUnboundControllerLeaveEveryNodeAlone) {
    QtSide empty(host, "E"), side(host, "T");
    empty.build("");
    side.build("A(A1) B");
    side.record();
    std::vector<std::string> traced;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    EXPECT_NO_THROW(ctl().ExpandAll(side.node("A"), vbTrue, vbTrue));
    ctl().setMySSTree(empty.view);
    for (int k = 0; k < 4; ++k) click(k);
    pump();
    EXPECT_TRUE(traced.empty());
    EXPECT_TRUE(side.seen.empty());
    ctl().setMySSTree(side.view);
    ctl().ExpandAll(side.node("B"), vbTrue, vbFalse);
    ASSERT_EQ(side.seen.size(), 1u);
    EXPECT_EQ(side.seen[0].rfind("view B", 0), 0u) << "the depth is back at 0";
    host.onTrace = nullptr;
}

TEST_F(QtTreeCommands, ADisabledControllerTakesNoClicks) {
    QtSide side(host, "T");
    side.build("A(A1) B");
    side.record();
    std::vector<std::string> traced;
    host.msgBoxAnswer = 1;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    click(1);
    EXPECT_EQ(traced.size(), 1u) << "an enabled unbound controller shows its hint";
    traced.clear();
    ctl().setEnabled(false);
    for (bool bound : {false, true}) {
        if (bound) ctl().setMySSTree(side.view);
        for (int k = 0; k < 4; ++k) click(k);
        pump();
        EXPECT_TRUE(side.seen.empty());
        EXPECT_TRUE(traced.empty());
    }
    host.onTrace = nullptr;
}

// ---- Calls and comparisons in any collection order -------------------------

// 10,000 top-level items with a child each, listed in the order they were
// added while their siblings stand sorted the other way round, or shuffled.
TEST_F(QtTreeCommands, AllNodesCommandsMakeAFewCallsAndComparisonsPerNodeInAnyCollectionOrder) {
    constexpr int kTops = 10'000, kNodes = 2 * kTops;
    for (Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        QtSide side(host, "T");
        std::vector<int> numbers(kTops);
        for (int i = 0; i < kTops; ++i)
            numbers[std::size_t(i)] = 100'000 + (order == Qt::AscendingOrder ? i * 7919 % kTops : i);
        for (int number : numbers) {
            QTreeWidgetItem* top = newItem(std::to_string(number));
            top->addChild(newItem(std::to_string(number) + "c"));
            side.widget->addTopLevelItem(top);
        }
        side.widget->show();
        side.view->count();
        side.widget->sortItems(0, order);
        auto counted = std::make_shared<FailingTree>(*side.site, side.view, FailurePlan{}, 1'000'000);
        ctl().setMySSTree(counted);
        for (int k : {1, 2}) {
            const int64_t calls = counted->totalCalls(), comparisons = counted->comparisons();
            click(k);
            EXPECT_LE(counted->totalCalls() - calls, 14 * kNodes) << "button " << k;
            EXPECT_LE(counted->comparisons() - comparisons, 4 * kNodes) << "button " << k;
        }
    }
}

}  // namespace
}  // namespace tavo
