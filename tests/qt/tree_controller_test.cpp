// The tree controller widget as a Qt developer meets it: its four buttons on
// any QTreeView and model (a standard model, a proxy sorted the other way
// round, a tree widget, an application's own model) show and raise what the
// plain walk does, also while the model changes under them; a model that
// loads rows on demand is never asked for more; a view that goes unbinds;
// typed properties round-trip and announce each change once; a refused
// value changes nothing.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>
#include <random>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_image.h"
#include "backends/qt/qt_model_tree.h"
#include "tavo/host/colour.h"
#include "tavo/host/value_conversions.h"
#include "own_tree_model.h"
#include "qt_test_support.h"
#include "tests/support/failing_tree.h"
#include "tests/support/plain_tree_walk.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "widget_spies.h"
#include "tavo/widgets/tree_controller.h"

namespace tavo {
namespace {

enum class Kind { Standard, SortedProxy, TreeWidget, Own };

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Standard: return "Standard";
    case Kind::SortedProxy: return "SortedProxy";
    case Kind::TreeWidget: return "TreeWidget";
    case Kind::Own: return "Own";
    }
    return "";
}

// A shape as text: "a(a1 a2) b" is a with the children a1 and a2, then b.
struct ShapeRow {
    std::string text;
    std::vector<ShapeRow> children;
};

std::vector<ShapeRow> parseShape(std::string_view shape) {
    std::vector<ShapeRow> top;
    std::vector<std::vector<ShapeRow>*> open{&top};
    std::string word;
    auto flush = [&] {
        if (!word.empty()) open.back()->push_back({word, {}});
        word.clear();
    };
    for (char c : shape) {
        if (c == '(' || c == ')' || c == ' ') flush();
        if (c == '(') open.push_back(&open.back()->back().children);
        else if (c == ')') open.pop_back();
        else if (c != ' ') word += c;
    }
    flush();
    return top;
}

// An application's view on a model of one kind, with all the tree raised
// and showed, in order.
struct ModelSide {
    ModelSide(Kind kind, std::string_view shape) : kind(kind) {
        const std::vector<ShapeRow> rows = parseShape(shape);
        if (kind == Kind::TreeWidget) {
            auto* widget = new QTreeWidget;
            std::function<void(QTreeWidgetItem*, const ShapeRow&)> add = [&](QTreeWidgetItem* parent, const ShapeRow& r) {
                auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(widget);
                item->setText(0, QString::fromStdString(r.text));
                for (const ShapeRow& c : r.children) add(item, c);
            };
            for (const ShapeRow& r : rows) add(nullptr, r);
            view.reset(widget);
        } else if (kind == Kind::Own) {
            own = new OwnTreeModel(false);
            std::function<void(OwnTreeModel::Row*, const ShapeRow&)> add = [&](OwnTreeModel::Row* parent,
                                                                               const ShapeRow& r) {
                OwnTreeModel::Row* row = own->add(parent, QString::fromStdString(r.text));
                for (const ShapeRow& c : r.children) add(row, c);
            };
            for (const ShapeRow& r : rows) add(nullptr, r);
            view = std::make_unique<QTreeView>();
            view->setModel(own);
            own->setParent(view.get());
        } else {
            standard = new QStandardItemModel;
            std::function<void(QStandardItem*, const ShapeRow&)> add = [&](QStandardItem* parent, const ShapeRow& r) {
                auto* item = new QStandardItem(QString::fromStdString(r.text));
                if (parent) parent->appendRow(item);
                else standard->appendRow(item);
                for (const ShapeRow& c : r.children) add(item, c);
            };
            for (const ShapeRow& r : rows) add(nullptr, r);
            view = std::make_unique<QTreeView>();
            standard->setParent(view.get());
            if (kind == Kind::SortedProxy) {
                proxy = new QSortFilterProxyModel(view.get());
                proxy->setSourceModel(standard);
                proxy->sort(0, Qt::DescendingOrder);
                view->setModel(proxy);
            } else {
                view->setModel(standard);
            }
        }
        view->setHeaderHidden(true);
        view->resize(200, 300);
        view->show();
    }
    QAbstractItemModel& model() const { return *view->model(); }
    QModelIndex find(const std::string& text) const {
        const QModelIndexList found = model().match(model().index(0, 0), Qt::DisplayRole,
                                                    QString::fromStdString(text), 1,
                                                    Qt::MatchExactly | Qt::MatchRecursive);
        return found.value(0);
    }
    // A new row: on the top level at `row`, or under the row `under`.
    void insert(const std::string& text, int row, const std::string& under = {}) {
        const QString label = QString::fromStdString(text);
        if (kind == Kind::TreeWidget) {
            auto* widget = static_cast<QTreeWidget*>(view.get());
            auto* item = new QTreeWidgetItem(QStringList{label});
            if (under.empty()) widget->insertTopLevelItem(row, item);
            else widget->findItems(QString::fromStdString(under), Qt::MatchExactly | Qt::MatchRecursive)[0]->addChild(item);
        } else if (own) {
            own->add(nullptr, label);
        } else {
            QStandardItem* parent = under.empty() ? standard->invisibleRootItem()
                                                  : standard->itemFromIndex(sourceOf(find(under)));
            parent->insertRow(std::min(row, parent->rowCount()), new QStandardItem(label));
        }
    }
    std::string secondTopText() const { return model().index(1, 0).data().toString().toStdString(); }
    void removeTop(int row) {
        if (row < model().rowCount()) model().removeRow(row);
    }
    QModelIndex sourceOf(const QModelIndex& index) const { return proxy ? proxy->mapToSource(index) : index; }

    std::string dump() const {
        std::string out;
        std::function<void(const QModelIndex&, int)> add = [&](const QModelIndex& parent, int depth) {
            for (int r = 0; r < model().rowCount(parent); ++r) {
                const QModelIndex i = model().index(r, 0, parent);
                out += std::string(std::size_t(depth) * 2, ' ') + i.data().toString().toStdString() +
                       (open(i) ? " +\n" : " -\n");
                add(i, depth + 1);
            }
        };
        add({}, 0);
        return out;
    }
    // As the tree controller sees it: a leaf's open state is the adapter's.
    bool open(const QModelIndex& i) const {
        const TreeNodeRef node = tree ? tree->nodeFor(i) : nullptr;
        return node ? node->expanded() : view->isExpanded(i);
    }
    // heard: with handlers on the view's signals and the adapter's hook, so
    // that the commands take every step where they can be seen.
    void record(QtModelTree& adapter, bool heard = true) {
        tree = &adapter;
        if (!heard) return;
        auto raised = [this](const char* sign) {
            return [this, sign](const QModelIndex& i) { seen.push_back(sign + i.data().toString().toStdString()); };
        };
        QObject::connect(view.get(), &QTreeView::expanded, view.get(), raised("+"));
        QObject::connect(view.get(), &QTreeView::collapsed, view.get(), raised("-"));
        adapter.onBringIntoView = [this](const QModelIndex& i) {
            seen.push_back("view " + i.data().toString().toStdString() + "\n" + dump());
        };
    }

    Kind kind;
    std::unique_ptr<QTreeView> view;
    QStandardItemModel* standard = nullptr;
    QSortFilterProxyModel* proxy = nullptr;
    OwnTreeModel* own = nullptr;
    std::vector<std::string> seen;
    QtModelTree* tree = nullptr;
};

class TreeControllerTest : public ::testing::Test {
public:
    TreeControllerTest() {
        auto* layout = new QVBoxLayout(&window);
        ctl = new TreeController(&window);
        layout->addWidget(ctl);
        window.show();
        pump();
    }
    TavoSSTreeController& control() const { return static_cast<TavoSSTreeController&>(ctl->control()); }
    std::shared_ptr<QtModelTree> bound() const {
        return std::dynamic_pointer_cast<QtModelTree>(control().mySSTree());
    }
    // The user's click on button k; nothing may come out of it.
    void click(int k) {
        QWidget* image = static_cast<QtImage&>(*control().img(k)).widget();
        EXPECT_NO_THROW(tavo::click(image, {4, 4}));
    }

    QtHost host;
    QWidget window;
    TreeController* ctl;
};

// The widget's side and a twin on which the plain walk runs, through an
// adapter of its own.
struct Twins {
    Twins(TreeControllerTest& t, Kind kind, std::string_view shape, bool mineHeard = true)
        : mine(kind, shape), plain(kind, shape), site(t.host, plain.view.get(), "Plain"),
          plainTree(std::make_shared<QtModelTree>(site, plain.view.get())), reference(*plainTree) {
        t.ctl->setTreeView(mine.view.get());
        mine.record(*t.bound(), mineHeard);
        plain.record(*plainTree);
    }
    void select(const std::string& text) {
        for (ModelSide* s : {&mine, &plain}) s->view->setCurrentIndex(s->find(text));
    }
    ModelSide mine, plain;
    QtControlSite site;
    std::shared_ptr<QtModelTree> plainTree;
    PlainTreeWalk reference;
};

// ---- The four buttons on any model ----------------------------------------------

class TreeControllerOnModel : public TreeControllerTest, public ::testing::WithParamInterface<Kind> {};

TEST_P(TreeControllerOnModel, TheFourButtonsShowAndRaiseWhatThePlainWalkDoes) {
    Twins t(*this, GetParam(), "a(a1(a11 a12) a2) b(b1(b11)) c");
    t.select("b");
    // Clicked with the mouse, or called as a shortcut would.
    bool byMouse = true;
    for (int k : {0, 1, 3, 2, 0, 2, 1, 3}) {
        t.mine.seen.clear();
        t.plain.seen.clear();
        if (byMouse) click(k);
        else ctl->click(TreeController::Button(k));
        byMouse = !byMouse;
        t.reference.click(k);
        EXPECT_EQ(t.mine.seen, t.plain.seen) << "button " << k;
        EXPECT_EQ(t.mine.dump(), t.plain.dump()) << "button " << k;
        // Every row ends open after expand all, and closed after collapse all.
        const char* wrong = k == 1 ? " -" : k == 2 ? " +" : "never";
        EXPECT_EQ(t.mine.dump().find(wrong), std::string::npos) << "button " << k << "\n" << t.mine.dump();
    }
    pump();
}

// With nobody listening to the view's rows opening and closing, nobody sees
// the commands' single steps, and they may take them in one go: what they
// leave (every row's open state, leaves included, the current row and where
// the view stands) must still be what the plain walk leaves.
TEST_P(TreeControllerOnModel, WithNobodyListeningTheButtonsLeaveWhatThePlainWalkLeaves) {
    std::string shape;
    for (int top = 0; top < 30; ++top) {
        const std::string t = "t" + std::to_string(top);
        shape += t;
        if (top % 3 == 1) shape += "(" + t + "a(" + t + "a1 " + t + "a2) " + t + "b)";
        if (top % 3 == 2) shape += "(" + t + "a)";
        shape += " ";
    }
    Twins t(*this, GetParam(), shape, false);
    t.mine.view->resize(200, 150);
    t.plain.view->resize(200, 150);
    struct Step {
        const char* select;
        int button;
    };
    for (const Step& step : std::vector<Step>{
             {"t1", 1}, {"t1", 2}, {"t4a", 0}, {"t4", 3}, {"t25", 0}, {"t4a", 1}, {"t7", 3}, {"t25a", 2}, {"t28", 1}}) {
        t.select(step.select);
        click(step.button);
        t.reference.click(step.button);
        pump();
        const std::string at = std::string(step.select) + " button " + std::to_string(step.button);
        EXPECT_EQ(t.mine.dump(), t.plain.dump()) << at;
        EXPECT_EQ(t.mine.view->currentIndex().data(), t.plain.view->currentIndex().data()) << at;
        EXPECT_EQ(t.mine.view->verticalScrollBar()->value(), t.plain.view->verticalScrollBar()->value()) << at;
    }
}

// A tree widget's own itemExpanded and itemCollapsed are heard as the view's
// signals are: a handler there that closes a row the command opened before
// sees the command walk on as the plain walk does.
TEST_F(TreeControllerTest, AHandlerOnATreeWidgetsItemsSeesEveryStep) {
    Twins t(*this, Kind::TreeWidget, "t1(t1a) t2(t2a) t3(t3a) t4(t4a)", false);
    auto* items = static_cast<QTreeWidget*>(t.mine.view.get());
    QObject::connect(items, &QTreeWidget::itemExpanded, items, [items](QTreeWidgetItem* item) {
        if (item->text(0) == "t3") items->topLevelItem(1)->setExpanded(false);
    });
    QObject::connect(t.plain.view.get(), &QTreeView::expanded, t.plain.view.get(), [&t](const QModelIndex& i) {
        if (i.data().toString() == "t3") t.plain.view->collapse(t.plain.find("t2"));
    });
    click(1);
    t.reference.click(1);
    EXPECT_EQ(t.mine.dump(), t.plain.dump());
    EXPECT_NE(t.mine.dump().find("t2 +"), std::string::npos) << "the walk from t2 on opens it again";
}

// A model that adds a row while it is only read (here when it is asked
// whether the leaf "c" has children, a sibling before it): the rows as read
// before no longer stand, and the command must open the rows as they stand
// now, every one of them. Expand all on rows a to e; expand the selected r
// with the children a to e.
TEST_F(TreeControllerTest, AModelThatAddsARowWhileReadStillEndsWithEveryRowOpen) {
    struct Growing : QStandardItemModel {
        bool hasChildren(const QModelIndex& parent) const override {
            if (parent.data().toString() == "c" && !grown) {
                grown = true;
                QStandardItem* under = itemFromIndex(parent.parent());
                (under ? under : invisibleRootItem())->insertRow(0, new QStandardItem("new"));
            }
            return QStandardItemModel::hasChildren(parent);
        }
        mutable bool grown = false;
    };
    for (const bool selected : {false, true}) {
        ModelSide side(Kind::Standard, "");
        auto* growing = new Growing;
        QStandardItem* under = growing->invisibleRootItem();
        if (selected) growing->appendRow(under = new QStandardItem("r"));
        for (const char* name : {"a", "b", "c", "d", "e"}) {
            auto* row = new QStandardItem(name);
            if (name[0] != 'c') row->appendRow(new QStandardItem(QString(name) + "1"));
            under->appendRow(row);
        }
        side.view->setModel(growing);
        growing->setParent(side.view.get());
        side.view->setCurrentIndex(growing->index(0, 0));
        ctl->setTreeView(side.view.get());
        side.record(*bound(), false);
        click(selected ? 0 : 1);
        EXPECT_TRUE(growing->grown);
        EXPECT_EQ(side.dump().find(" -"), std::string::npos) << side.dump();
        ctl->setTreeView(nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, TreeControllerOnModel,
                         ::testing::Values(Kind::Standard, Kind::SortedProxy, Kind::TreeWidget, Kind::Own),
                         [](const ::testing::TestParamInfo<Kind>& i) { return std::string(kindName(i.param)); });

TEST_F(TreeControllerTest, ASortedProxyListsItsNodesInTheOrderItShowsThem) {
    ModelSide side(Kind::SortedProxy, "a(a2 a1) c b(b1)");
    ctl->setTreeView(side.view.get());
    std::vector<std::string> listed;
    for (int32_t i = 1; i <= int32_t(bound()->count()); ++i) {
        const Variant at = Variant::longValue(i);
        listed.push_back(bound()->get("Nodes", &at).toObject()->get("Text").toString());
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"c", "b", "b1", "a", "a2", "a1"}));
}

// A model with rows but no column has no index to show them by: the view
// shows none, and the buttons find none, and end. Columns coming and going
// are followed.
TEST_F(TreeControllerTest, AModelWithRowsButNoColumnHasNoNodes) {
    QStandardItemModel noColumns(5, 0);
    QTreeView view;
    view.setModel(&noColumns);
    ctl->setTreeView(&view);
    for (int k = 0; k < 4; ++k) click(k);
    pump();
    EXPECT_EQ(bound()->count(), 0u);
    noColumns.setColumnCount(1);
    pump();
    EXPECT_EQ(bound()->count(), 5u) << "a column added gives the rows their nodes";
    const TreeNodeRef third = bound()->nodeFor(noColumns.index(2, 0));
    noColumns.insertColumn(0);
    EXPECT_EQ(bound()->count(), 5u);
    EXPECT_EQ(bound()->nodeFor(noColumns.index(2, 0)), third) << "a node keeps its row when a column goes before it";
    noColumns.removeColumns(0, 2);
    EXPECT_EQ(bound()->count(), 0u);
    ctl->setTreeView(nullptr);
}

// ---- A model that changes while bound -------------------------------------------

struct ChangeCase {
    const char* name;
    std::vector<Kind> kinds;
    std::function<void(ModelSide&, int fired)> change;
};
void PrintTo(const ChangeCase& c, std::ostream* os) { *os << c.name; }

class TreeControllerModelChange : public TreeControllerTest, public ::testing::WithParamInterface<ChangeCase> {};

// On random trees a handler on the view's expanded and collapsed signals
// changes the model when a trigger row opens or closes, during the commands
// and between them; the widget's side and the plain walk's must agree.
TEST_P(TreeControllerModelChange, DuringAndBetweenCommandsShowsAndRaisesWhatThePlainWalkDoes) {
    const ChangeCase& c = GetParam();
    for (Kind kind : c.kinds) {
        for (unsigned seed = 0; seed < 40; ++seed) {
            std::mt19937 rng(seed);
            std::string shape;
            std::vector<std::string> keys;
            for (int top = 0; top < 2 + int(rng() % 4); ++top) {
                keys.push_back("t" + std::to_string(top));
                shape += keys.back() + "(";
                for (int ch = 0; ch < int(rng() % 3); ++ch) {
                    keys.push_back("c" + std::to_string(top) + std::to_string(ch));
                    shape += keys.back() + " ";
                }
                shape += ") ";
            }
            Twins t(*this, kind, shape);
            const std::string trigger = keys[rng() % keys.size()];
            for (ModelSide* s : {&t.mine, &t.plain}) {
                auto fired = std::make_shared<int>(0);
                auto react = [s, fired, trigger, &c](const QModelIndex& i) {
                    if (i.data().toString().toStdString() == trigger && ++*fired <= 2) c.change(*s, *fired);
                };
                QObject::connect(s->view.get(), &QTreeView::expanded, s->view.get(), react);
                QObject::connect(s->view.get(), &QTreeView::collapsed, s->view.get(), react);
            }
            for (int k : {1, 2, 1, 2}) {
                click(k);
                t.reference.click(k);
                ASSERT_EQ(t.mine.seen, t.plain.seen) << kindName(kind) << " seed " << seed << " button " << k;
                ASSERT_EQ(t.mine.dump(), t.plain.dump()) << kindName(kind) << " seed " << seed << " button " << k;
            }
            c.change(t.mine, 3);
            c.change(t.plain, 3);
            click(1);
            t.reference.click(1);
            ASSERT_EQ(t.mine.dump(), t.plain.dump()) << kindName(kind) << " seed " << seed << " after a change";
        }
    }
}

const std::vector<Kind> kEveryKind{Kind::Standard, Kind::SortedProxy, Kind::TreeWidget, Kind::Own};

INSTANTIATE_TEST_SUITE_P(
    Changes, TreeControllerModelChange,
    ::testing::Values(
        ChangeCase{"InsertAtTheFront", kEveryKind,
                   [](ModelSide& s, int n) { s.insert("new" + std::to_string(n), 0); }},
        // In the second branch: one that the command has walked and walks again.
        ChangeCase{"InsertAChildInAWalkedBranch", {Kind::Standard, Kind::TreeWidget},
                   [](ModelSide& s, int n) { s.insert("kid" + std::to_string(n), 0, s.secondTopText()); }},
        ChangeCase{"OpenOrCloseARowOfAWalkedBranch", kEveryKind,
                   [](ModelSide& s, int) {
                       QModelIndex row = s.model().index(1, 0);
                       if (s.model().rowCount(row) > 0) row = s.model().index(0, 0, row);
                       s.view->setExpanded(row, !s.view->isExpanded(row));
                   }},
        ChangeCase{"RemoveATopLevelRow", kEveryKind, [](ModelSide& s, int) { s.removeTop(1); }},
        ChangeCase{"MoveATopLevelRow", {Kind::Own},
                   [](ModelSide& s, int) {
                       if (s.own->rowCount() > 1) s.own->moveTop(s.own->rowCount() - 1, 0);
                   }},
        ChangeCase{"Reset", {Kind::Own}, [](ModelSide& s, int) { s.own->reload(); }},
        ChangeCase{"SortTheOtherWay", {Kind::SortedProxy},
                   [](ModelSide& s, int n) { s.proxy->sort(0, n % 2 ? Qt::AscendingOrder : Qt::DescendingOrder); }}),
    [](const ::testing::TestParamInfo<ChangeCase>& i) { return std::string(i.param.name); });

// ---- Failures and costs through the model adapter ---------------------------------

TEST_F(TreeControllerTest, NoFailureOfTheModelAdapterReachesTheApplication) {
    for (int m = 0; m < int(TreeMember::Members); ++m) {
        for (Failure how : {Failure::HostError, Failure::OtherException, Failure::NotANode}) {
            for (int64_t n = 1; n <= 2; ++n) {
                for (int k = 0; k < 4; ++k) {
                    const FailurePlan plan{TreeMember(m), how, n, "", false};
                    Twins t(*this, Kind::Standard, "a(a1(a11) a2 a3(a31)) b(b1)");
                    t.select("a");
                    auto mineTree = std::make_shared<FailingTree>(bound()->site(), bound(), plan, 5'000);
                    auto plainTree = std::make_shared<FailingTree>(t.site, t.plainTree, plan, 5'000);
                    control().setMySSTree(mineTree);
                    click(k);
                    PlainTreeWalk(*plainTree).click(k);
                    const std::string at = "member " + std::to_string(m) + " call " + std::to_string(n) +
                                           " button " + std::to_string(k);
                    EXPECT_FALSE(mineTree->ranAway()) << at;
                    EXPECT_EQ(t.mine.seen, t.plain.seen) << at;
                    EXPECT_EQ(t.mine.dump(), t.plain.dump()) << at;
                }
            }
        }
    }
}

// 10,000 top-level rows with a child each, behind a proxy sorted the other
// way round and shuffled: the commands stay within a few calls and
// comparisons a node.
TEST_F(TreeControllerTest, AllNodesCommandsMakeAFewCallsAndComparisonsPerNodeOnASortedProxy) {
    constexpr int kTops = 10'000, kNodes = 2 * kTops;
    for (Qt::SortOrder order : {Qt::DescendingOrder, Qt::AscendingOrder}) {
        ModelSide side(Kind::SortedProxy, "");
        for (int i = 0; i < kTops; ++i) {
            const int number = 100'000 + (order == Qt::AscendingOrder ? i * 7919 % kTops : i);
            auto* top = new QStandardItem(QString::number(number));
            top->appendRow(new QStandardItem(QString::number(number) + "c"));
            side.standard->appendRow(top);
        }
        side.proxy->sort(0, order);
        ctl->setTreeView(side.view.get());
        auto counted = std::make_shared<FailingTree>(bound()->site(), bound(), FailurePlan{}, 1'000'000);
        control().setMySSTree(counted);
        for (int k : {1, 2}) {
            const int64_t calls = counted->totalCalls(), comparisons = counted->comparisons();
            click(k);
            EXPECT_LE(counted->totalCalls() - calls, 14 * kNodes) << "button " << k;
            EXPECT_LE(counted->comparisons() - comparisons, 4 * kNodes) << "button " << k;
        }
        ctl->setTreeView(nullptr);
    }
}

// ---- A model that loads its rows on demand ----------------------------------------

TEST_F(TreeControllerTest, ALazyModelIsNeverAskedForMoreByTheButtons) {
    QTreeView view;
    OwnTreeModel lazy(true);
    for (const char* top : {"a", "b"}) {
        OwnTreeModel::Row* row = lazy.add(nullptr, top);
        for (const char* child : {"1", "2"}) lazy.add(lazy.add(row, QString(top) + child), "leaf");
    }
    view.setModel(&lazy);
    view.show();
    pump();
    ctl->setTreeView(&view);
    const int fetchesBefore = lazy.fetches();
    click(1);
    EXPECT_EQ(lazy.fetches(), fetchesBefore) << "the command acts on the rows loaded";
    EXPECT_EQ(bound()->count(), 2u);
    EXPECT_TRUE(view.isExpanded(lazy.index(0, 0)));
    // The view asks for the rows of the rows it shows open, at its next layout.
    pump();
    ASSERT_EQ(lazy.rowCount(lazy.index(0, 0)), 2);
    EXPECT_FALSE(view.isExpanded(lazy.index(0, 0, lazy.index(0, 0))));
    click(1);
    EXPECT_TRUE(view.isExpanded(lazy.index(0, 0, lazy.index(0, 0))));
    click(2);
    EXPECT_FALSE(view.isExpanded(lazy.index(0, 0)));
    pump();
}

// A leaf opened by a command is open in the adapter only (Qt would keep a
// persistent index for each); when it gets rows, the view shows it open.
TEST_F(TreeControllerTest, AnOpenedLeafThatGetsRowsIsOpenInTheView) {
    for (Kind kind : {Kind::Standard, Kind::TreeWidget}) {
        ModelSide side(kind, "a(a1) b");
        ctl->setTreeView(side.view.get());
        click(1);
        const TreeNodeRef b = bound()->nodeFor(side.find("b"));
        EXPECT_TRUE(b->expanded()) << kindName(kind);
        EXPECT_FALSE(side.view->isExpanded(side.find("b"))) << kindName(kind);
        side.insert("b1", 0, "b");
        EXPECT_TRUE(side.view->isExpanded(side.find("b"))) << kindName(kind);
        click(2);
        EXPECT_FALSE(b->expanded()) << kindName(kind);
        EXPECT_FALSE(side.view->isExpanded(side.find("b"))) << kindName(kind);
    }
}

// Every persistent index costs the model at each change: a command's node
// objects last until the turn ends, and a change of the model pins only those
// the application still holds.
TEST_F(TreeControllerTest, ACommandsNodesLastTheTurnAndAModelChangePinsOnlyTheHeldOnes) {
    struct CountingModel : QStandardItemModel {
        using QAbstractItemModel::persistentIndexList;
    } model;
    for (int i = 0; i < 50; ++i) {
        auto* top = new QStandardItem(QString::number(i));
        top->appendRow(new QStandardItem("child"));
        model.appendRow(top);
    }
    QTreeView view(&window);
    view.setModel(&model);
    view.show();
    ctl->setTreeView(&view);
    click(1);
    pump();
    click(2);  // closes every row: Qt holds no index of its own for them
    const TreeNodeRef held = bound()->nodeFor(model.index(3, 0));
    const auto before = model.persistentIndexList().size();
    model.insertRow(0, new QStandardItem("new"));
    // The held node, and the first row, which the command scrolls to when the turn ends.
    EXPECT_EQ(model.persistentIndexList().size(), before + 2);
    pump();
    EXPECT_EQ(held, bound()->nodeFor(model.index(4, 0)));
    EXPECT_EQ(held->childCount(), 1);
}

// ---- Binding and unbinding ----------------------------------------------------------

TEST_F(TreeControllerTest, AViewThatGoesUnbindsAndAClickThenShowsTheHint) {
    std::vector<std::string> traced;
    host.msgBoxAnswer = 1;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    struct Case {
        const char* name;
        std::function<void(ModelSide&)> away;
    };
    for (const Case& c : {Case{"view deleted", [](ModelSide& s) { s.view.reset(); }},
                          Case{"view unbound", [this](ModelSide&) { ctl->setTreeView(nullptr); }}}) {
        ModelSide side(Kind::Standard, "a(a1) b");
        QSignalSpy bound(ctl, &TreeController::treeViewChanged);
        ctl->setTreeView(side.view.get());
        ctl->setTreeView(side.view.get());
        EXPECT_EQ(bound.count(), 1) << "the same view again is no change";
        const TreeNodeRef held = this->bound()->nodeFor(side.find("a"));
        ASSERT_TRUE(held);
        QSignalSpy changed(ctl, &TreeController::treeViewChanged);
        c.away(side);
        EXPECT_EQ(ctl->treeView(), nullptr) << c.name;
        EXPECT_EQ(changed.count(), 1) << c.name;
        EXPECT_FALSE(control().mySSTree()) << c.name;
        EXPECT_THROW(held->setExpanded(true), HostError) << c.name;
        traced.clear();
        click(1);
        EXPECT_EQ(traced.size(), 1u) << c.name << ": the hint";
    }
    host.onTrace = nullptr;
}

TEST_F(TreeControllerTest, AModelReplacedUnderTheViewIsReadAnewAndItsOldNodesLetGo) {
    ModelSide side(Kind::Standard, "a(a1) b");
    ctl->setTreeView(side.view.get());
    const TreeNodeRef old = bound()->nodeFor(side.find("a"));
    QStandardItemModel other;
    auto* x = new QStandardItem("x");
    x->appendRow(new QStandardItem("x1"));
    other.appendRow(x);
    side.view->setModel(&other);
    EXPECT_THROW(old->childCount(), HostError);
    click(1);
    EXPECT_TRUE(side.view->isExpanded(other.index(0, 0)));
    side.view->setModel(nullptr);
    EXPECT_EQ(bound()->count(), 0u);
    click(1);
}

// The view's root bounds the tree the controller sees: its rows are the top
// level. A root set anew, or moved by a change of the model, is read anew.
TEST_F(TreeControllerTest, TheViewsRootIsTheTopOfTheTreeWhereverItMoves) {
    struct Case {
        const char* name;
        std::function<void(ModelSide&)> change;
        std::size_t rows;      // the rows the controller sees afterwards
        const char* openAfter;  // the row expand all then opens, seen from the whole model
    };
    const Case cases[] = {
        {"root unchanged", [](ModelSide&) {}, 2, "b1"},
        {"root set to a", [](ModelSide& s) { s.view->setRootIndex(s.find("a")); }, 2, "a1"},
        {"root cleared", [](ModelSide& s) { s.view->setRootIndex({}); }, 6, "a1"},
        {"rows added above the root", [](ModelSide& s) { s.insert("z", 0); }, 2, "b1"},
        {"a row added under the root", [](ModelSide& s) { s.insert("b2", 1, "b"); }, 3, "b1"},
    };
    for (const Case& c : cases) {
        ModelSide side(Kind::Standard, "a(a1(a11)) b(b1(b11))");
        side.view->setRootIndex(side.find("b"));
        ctl->setTreeView(side.view.get());
        EXPECT_EQ(bound()->count(), 2u) << c.name;
        c.change(side);
        EXPECT_EQ(bound()->count(), c.rows) << c.name;
        click(1);
        EXPECT_TRUE(side.view->isExpanded(side.find(c.openAfter))) << c.name;
        EXPECT_FALSE(side.view->isExpanded(side.view->rootIndex())) << c.name << ": the root itself is not a row";
    }
}

// The reads the controller makes for every row are what reading by name
// gives, error and all: Nodes(i).Level without a node object for the row, the
// next top-level row, whether a node is its own last sibling, and whether the
// view is disabled or hidden.
TEST_F(TreeControllerTest, TheReadsMadeDirectlyAreTheReadsByName) {
    ModelSide side(Kind::Standard, "a(a1(a11) a2) b");
    ctl->setTreeView(side.view.get());
    const std::shared_ptr<QtModelTree> held = bound();  // kept past the view
    QtModelTree& tree = *held;
    auto outcome = [](const std::function<Variant()>& read) {
        try {
            return std::to_string(read().toLong());
        } catch (const HostError& e) {
            return "error " + std::to_string(e.number()) + ": " + e.what();
        }
    };
    for (int32_t i = -1; i <= 6; ++i) {
        const Variant index = Variant::longValue(i);
        EXPECT_EQ(outcome([&] { return tree.nodeLevelMember(index); }),
                  outcome([&] { return tree.get("Nodes", &index).toObject()->get("Level"); }))
            << "Nodes(" << i << ")";
    }
    // The first top-level row from one row to another, against the Levels read
    // one by name, before and after the model changes.
    for (const char* when : {"as made", "after a row is added"}) {
        for (int32_t from = 0; from <= 8; ++from)
            for (const int32_t to : {0, 1, 3, 5, 8}) {
                int32_t byName = to + 1;
                for (int32_t j = std::max(from, 1); j <= to && byName > to; ++j) {
                    const Variant index = Variant::longValue(j);
                    if (outcome([&] { return tree.get("Nodes", &index).toObject()->get("Level"); }) == "1") byName = j;
                }
                EXPECT_EQ(tree.firstTopLevel(from, to), byName) << when << ": from " << from << " to " << to;
            }
        for (int32_t j = 1; j <= int32_t(tree.count()); ++j) {
            const TreeNodeRef node = tree.nodeMember(Variant::longValue(j));
            const auto last = std::dynamic_pointer_cast<TreeNode>(node->get("LastSibling").toObject());
            EXPECT_EQ(node->isLastSibling(), last && last->sameNode(*node)) << when << ": Nodes(" << j << ")";
        }
        side.standard->item(0)->child(0)->appendRow(new QStandardItem("a12"));
        side.standard->appendRow(new QStandardItem("c"));
    }
    for (const bool enabled : {true, false})
        for (const bool visible : {true, false}) {
            side.view->setEnabled(enabled);
            side.view->setVisible(visible);
            const bool byName = !tree.get("Enabled").isTrue() || !tree.get("Visible").isTrue();
            EXPECT_EQ(tree.disabledOrHidden(), byName) << "enabled " << enabled << ", visible " << visible;
        }
    side.view.reset();
    EXPECT_THROW(tree.get("Enabled"), HostError);
    EXPECT_THROW(tree.disabledOrHidden(), HostError) << "the view gone";
}

// A handler of the application may take the view from the controller, or
// change what the view shows, while a command opens or closes its rows. The
// command then ends without harm, and the controller works on whatever it is
// bound to afterwards.
TEST_F(TreeControllerTest, AHandlerThatRebindsDuringACommandEndsItWithoutHarm) {
    struct Case {
        const char* name;
        std::function<void(TreeController&, ModelSide&, ModelSide&)> fight;
        char boundTo;  // afterwards: 's' the same view, 'o' the other one, 'n' none
    };
    QStandardItemModel spare;
    spare.appendRow(new QStandardItem("s"));
    const Case cases[] = {
        {"unbound", [](TreeController& c, ModelSide&, ModelSide&) { c.setTreeView(nullptr); }, 'n'},
        {"bound to another view",
         [](TreeController& c, ModelSide&, ModelSide& other) { c.setTreeView(other.view.get()); }, 'o'},
        {"view deleted later", [](TreeController&, ModelSide& s, ModelSide&) { s.view.release()->deleteLater(); },
         'n'},
        {"model replaced", [&](TreeController&, ModelSide& s, ModelSide&) { s.view->setModel(&spare); }, 's'},
        {"root moved", [](TreeController&, ModelSide& s, ModelSide&) { s.view->setRootIndex(s.find("b")); }, 's'},
    };
    for (const Case& c : cases)
        for (int k = 0; k < 4; ++k) {
            ModelSide side(Kind::Standard, "a(a1(a11) a2) b(b1(b11)) c(c1)");
            ModelSide other(Kind::Standard, "x(x1(x11))");
            ctl->setTreeView(side.view.get());
            // Expand selected on a row whose parents it opens to bring it into view.
            side.view->setCurrentIndex(side.find(k == 0 ? "a11" : "a"));
            side.view->collapseAll();  // the view opened the selected row's parents
            if (k >= 2) click(1);  // the collapsing buttons have rows to close
            auto fired = std::make_shared<int>(0);
            auto fight = [&, fired](const QModelIndex&) {
                if (++*fired == 2) c.fight(*ctl, side, other);
            };
            QObject::connect(side.view.get(), &QTreeView::expanded, side.view.get(), fight);
            QObject::connect(side.view.get(), &QTreeView::collapsed, side.view.get(), fight);
            *fired = 0;
            click(k);
            pump();
            QTreeView* const expected = c.boundTo == 'o' ? other.view.get() : c.boundTo == 's' ? side.view.get() : nullptr;
            EXPECT_EQ(ctl->treeView(), expected) << c.name << " button " << k;
            if (c.boundTo != 'o') continue;
            click(1);
            EXPECT_TRUE(other.view->isExpanded(other.find("x1"))) << c.name << " button " << k;
        }
    ctl->setTreeView(nullptr);
}

// Only the last row a command brings into view is scrolled to, when the turn
// ends, and where it stands by then; a row gone by then, or of a model the view
// no longer shows, is not scrolled to.
TEST_F(TreeControllerTest, TheViewScrollsToTheLastRowBroughtIntoViewWhereItStandsWhenTheTurnEnds) {
    struct Case {
        const char* name;
        std::function<void(QStandardItemModel&, QTreeView&)> meanwhile;
        int rowShown;  // the row of the view's model in sight afterwards, or -1: not scrolled
    };
    QStandardItemModel other;
    for (int i = 0; i < 200; ++i) other.appendRow(new QStandardItem("other"));
    const Case cases[] = {
        {"nothing changed", [](QStandardItemModel&, QTreeView&) {}, 150},
        {"rows inserted above", [](QStandardItemModel& m, QTreeView&) { m.insertRows(0, 30); }, 180},
        {"rows moved", [](QStandardItemModel& m, QTreeView&) { m.sort(0, Qt::DescendingOrder); }, 49},
        {"row removed", [](QStandardItemModel& m, QTreeView&) { m.removeRow(150); }, -1},
        {"model replaced", [&](QStandardItemModel&, QTreeView& v) { v.setModel(&other); }, -1},
    };
    for (const Case& c : cases) {
        QStandardItemModel model;
        for (int i = 0; i < 200; ++i) model.appendRow(new QStandardItem(QStringLiteral("%1").arg(i, 3, 10, QChar('0'))));
        QTreeView view(&window);
        view.setModel(&model);
        view.resize(200, 200);
        view.show();
        ctl->setTreeView(&view);
        pump();
        bound()->nodeFor(model.index(199, 0))->bringIntoView();
        bound()->nodeFor(model.index(150, 0))->bringIntoView();
        c.meanwhile(model, view);
        pump();
        if (c.rowShown < 0) {
            EXPECT_EQ(view.verticalScrollBar()->value(), 0) << c.name;
        } else {
            const QRect row = view.visualRect(view.model()->index(c.rowShown, 0));
            EXPECT_TRUE(view.viewport()->rect().contains(row)) << c.name;
            EXPECT_GT(view.verticalScrollBar()->value(), 0) << c.name;
        }
        ctl->setTreeView(nullptr);
    }
}

// ---- Properties ----------------------------------------------------------------------

struct PropertyCase {
    const char* property;
    QVariant value;
};
void PrintTo(const PropertyCase& c, std::ostream* os) { *os << c.property; }

class TreeControllerProperty : public TreeControllerTest, public ::testing::WithParamInterface<PropertyCase> {};

TEST_P(TreeControllerProperty, RoundTripsAndAnnouncesItsChangeOnce) {
    const PropertyCase& c = GetParam();
    ASSERT_NE(ctl->property(c.property), c.value) << "the case must change the property";
    NotifySpies spies(ctl);
    QSignalSpy refused(ctl, &TreeController::valueRefused);
    ASSERT_TRUE(ctl->setProperty(c.property, c.value));
    EXPECT_EQ(ctl->property(c.property), c.value);
    EXPECT_EQ(spies.total(), 1) << spies.seen();
    ctl->setProperty(c.property, c.value);
    EXPECT_EQ(spies.total(), 1) << "the same value again is no change: " << spies.seen();
    EXPECT_EQ(refused.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, TreeControllerProperty,
    ::testing::Values(PropertyCase{"backColor", QColor(10, 20, 30)},
                      PropertyCase{"toolTipTextPlus", QStringLiteral("Auf")},
                      PropertyCase{"toolTipTextPlusPlus", QStringLiteral("Alle auf")},
                      PropertyCase{"toolTipTextMinusMinus", QStringLiteral("Alle zu")},
                      PropertyCase{"toolTipTextMinus", QStringLiteral("Zu")}, PropertyCase{"enabled", false}),
    [](const ::testing::TestParamInfo<PropertyCase>& i) { return std::string(i.param.property); });

struct MemberCase {
    const char* member;
    Variant value;
    const char* property;
    QVariant expected;
};
void PrintTo(const MemberCase& c, std::ostream* os) { *os << c.member; }

class TreeControllerMember : public TreeControllerTest, public ::testing::WithParamInterface<MemberCase> {};

TEST_P(TreeControllerMember, WrittenByNameAnnouncesTheTypedChangeOnce) {
    const MemberCase& c = GetParam();
    NotifySpies spies(ctl);
    ctl->control().put(c.member, c.value);
    EXPECT_EQ(ctl->property(c.property), c.expected);
    EXPECT_EQ(spies.total(), 1) << spies.seen();
}

INSTANTIATE_TEST_SUITE_P(
    Members, TreeControllerMember,
    ::testing::Values(MemberCase{"BackColor", colourValue(rgbColour(0x11, 0x22, 0x33)), "backColor",
                                 QColor(0x11, 0x22, 0x33)},
                      MemberCase{"ToolTipTextMinus", Variant::string("Zu"), "toolTipTextMinus", QStringLiteral("Zu")},
                      MemberCase{"Enabled", Variant::boolean(false), "enabled", false}),
    [](const ::testing::TestParamInfo<MemberCase>& i) { return std::string(i.param.member); });

TEST_F(TreeControllerTest, ATranslucentColourIsRefusedAndChangesNothing) {
    ctl->setBackColor(QColor(200, 0, 0));
    NotifySpies spies(ctl);
    QSignalSpy refused(ctl, &TreeController::valueRefused);
    WidgetWarnings warnings;
    ctl->setBackColor(QColor(1, 2, 3, 128));
    EXPECT_EQ(ctl->backColor(), QColor(200, 0, 0));
    EXPECT_EQ(spies.total(), 0) << spies.seen();
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.at(0).at(0).toString(), QStringLiteral("backColor"));
    ASSERT_EQ(warnings.lines.size(), 1u);
    EXPECT_TRUE(warnings.lines[0].contains(QLatin1String("backColor"))) << warnings.lines[0].toStdString();
}

TEST_F(TreeControllerTest, TheColourFollowsThePaletteUntilSetAndAnInvalidColourReturnsItThere) {
    QSignalSpy changes(ctl, &TreeController::backColorChanged);
    ctl->setBackColor(ctl->backColor());
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(control().BackColor(), 0x8000000Fu) << "still the system colour";
    ctl->setBackColor(QColor(200, 0, 0));
    ctl->setBackColor(QColor());
    EXPECT_EQ(control().BackColor(), 0x8000000Fu);
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(TreeControllerTest, AParentsEnabledStateReachesTheControlAndComesBack) {
    QSignalSpy enabled(ctl, &TreeController::enabledChanged);
    window.setEnabled(false);
    EXPECT_FALSE(control().Enabled());
    std::vector<std::string> traced;
    host.msgBoxAnswer = 1;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    ctl->click(TreeController::ExpandAll);
    EXPECT_TRUE(traced.empty()) << "a disabled strip takes no call either";
    host.onTrace = nullptr;
    window.setEnabled(true);
    EXPECT_TRUE(control().Enabled());
    EXPECT_TRUE(ctl->isEnabled());
    EXPECT_EQ(enabled.count(), 2);
}

TEST(QtDensityTreeWidget, AsksForItsDesignSize) {
    QtHost host;
    TreeController strip;
    EXPECT_EQ(strip.sizeHint(), QSize(host.toPixelsX(1080), host.toPixelsY(225)));
    EXPECT_EQ(strip.minimumSizeHint(), strip.sizeHint());
}

}  // namespace
}  // namespace tavo
