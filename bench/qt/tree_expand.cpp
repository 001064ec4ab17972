// The tree controller on a 32,767-node QTreeWidget.
//
// Opening every node one by one, as the tree controller's expand-all does:
// through the tree view adapter, which defers the view's layout to once per
// command, against plain item-by-item setExpanded, which lays the view out
// again for every node.
//
// Each of the controller's four buttons, clicked on its image as the user
// does, against Qt's own QTreeView::expandAll and collapseAll on the same
// trees in five shapes, and on top-level pairs that the application sorted
// after the adapter first looked, so that the collection lists them in
// reverse or in an order of its own; each run includes the turn of the event
// loop that lays the view out and draws it. Once per shape and button, an
// untimed run counts the calls to the tree and the node comparisons. A chain 32,767 levels deep is deeper than
// Qt's recursive layout can go on the default 8 MB stack, so the program
// runs on a thread with a larger stack.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QMouseEvent>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_image.h"
#include "tavo/qt/control_widget.h"
#include "tavo/qt/deep_stack.h"
#include "tavo/qt/qt_tree_view.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "tests/support/failing_tree.h"

namespace {

// 7 top-level nodes, each with four levels of eight children: 7 × 4681 = 32,767.
void build(QTreeWidget& tree, std::vector<QTreeWidgetItem*>& preorder) {
    std::vector<std::pair<QTreeWidgetItem*, int>> stack;
    for (int t = 0; t < 7; ++t) {
        auto* top = new QTreeWidgetItem(&tree, QStringList{QString::number(t)});
        stack.push_back({top, 0});
    }
    while (!stack.empty()) {
        auto [item, depth] = stack.back();
        stack.pop_back();
        preorder.push_back(item);
        if (depth == 4) continue;
        for (int c = 0; c < 8; ++c) stack.push_back({new QTreeWidgetItem(item, QStringList{QString::number(c)}), depth + 1});
    }
}

struct Fixture {
    Fixture() : site(host, &tree, "SSTree1"), view(site, &tree) {
        tree.resize(300, 600);
        tree.show();
        build(tree, preorder);
        QApplication::processEvents();
    }
    void collapseAll() {
        tree.collapseAll();
        QApplication::processEvents();
    }
    tavo::QtHost host;
    QTreeWidget tree;
    tavo::QtControlSite site;
    tavo::QtTreeView view;
    std::vector<QTreeWidgetItem*> preorder;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void ExpandEachNodeThroughTheAdapter(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<tavo::TreeNodeRef> nodes;
    for (auto* item : f.preorder) nodes.push_back(f.view.nodeFor(item));
    for (auto _ : state) {
        state.PauseTiming();
        f.collapseAll();
        state.ResumeTiming();
        for (auto& node : nodes) node->setExpanded(true);
        nodes.front()->bringIntoView();  // the command's end: one layout
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(nodes.size()));
}
BENCHMARK(ExpandEachNodeThroughTheAdapter)->Unit(benchmark::kMillisecond);

void ExpandEachItemWithoutDeferring(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.collapseAll();
        state.ResumeTiming();
        for (auto* item : f.preorder) item->setExpanded(true);
        f.tree.scrollToItem(f.preorder.front());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(f.preorder.size()));
}
BENCHMARK(ExpandEachItemWithoutDeferring)->Unit(benchmark::kMillisecond);

void QtsOwnExpandAll(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        f.collapseAll();
        state.ResumeTiming();
        f.tree.expandAll();
        f.tree.scrollToItem(f.preorder.front());
    }
}
BENCHMARK(QtsOwnExpandAll)->Unit(benchmark::kMillisecond);

// ---- The four buttons against expandAll and collapseAll, by tree shape ------

enum class Shape { Flat, Pairs, Chain, Binary, Bushes, PairsReversed, PairsSorted };

constexpr std::array<std::pair<Shape, const char*>, 7> kShapes = {{
    {Shape::Flat, "Flat32767"},                   // 32,767 top-level leaves
    {Shape::Pairs, "Pairs16383"},                 // 16,383 top-level nodes with one child each
    {Shape::Chain, "Chain32767"},                 // one chain, 32,767 levels deep
    {Shape::Binary, "Binary15"},                  // a complete binary tree of 15 levels
    {Shape::Bushes, "Bushes512x63"},              // 512 top-level nodes with 63 descendants each
    {Shape::PairsReversed, "Pairs16383Reversed"}, // the pairs sorted the other way round
    {Shape::PairsSorted, "Pairs16383Sorted"},     // pairs in an order of their own, then sorted
}};

QTreeWidgetItem* node(QTreeWidget& tree, QTreeWidgetItem* parent, int n) {
    const QStringList text{QString::number(n)};
    return parent ? new QTreeWidgetItem(parent, text) : new QTreeWidgetItem(&tree, text);
}

void buildShape(QTreeWidget& tree, Shape shape) {
    int n = 0;
    switch (shape) {
    case Shape::Flat:
        while (n < 32767) node(tree, nullptr, n++);
        break;
    case Shape::Pairs:
        for (int i = 0; i < 16383; ++i, n += 2) node(tree, node(tree, nullptr, n), n + 1);
        break;
    case Shape::PairsReversed:
    case Shape::PairsSorted:
        // Texts of equal width, so that they sort as numbers: in order, or
        // in the order i * 7919 mod 16,383.
        for (int i = 0; i < 16383; ++i) {
            const int number = 100'000 + (shape == Shape::PairsSorted ? i * 7919 % 16383 : i);
            node(tree, node(tree, nullptr, number), number);
        }
        break;
    case Shape::Chain: {
        QTreeWidgetItem* item = nullptr;
        while (n < 32767) item = node(tree, item, n++);
        break;
    }
    case Shape::Binary: {
        // Level by level: the children of item i are items 2i+1 and 2i+2.
        std::vector<QTreeWidgetItem*> items{node(tree, nullptr, n++)};
        for (std::size_t i = 0; items.size() < 32767; ++i)
            for (int c = 0; c < 2; ++c) items.push_back(node(tree, items[i], n++));
        break;
    }
    case Shape::Bushes:
        // Seven children of eight children each: 63 descendants.
        for (int t = 0; t < 512; ++t) {
            QTreeWidgetItem* top = node(tree, nullptr, n++);
            for (int c = 0; c < 7; ++c) {
                QTreeWidgetItem* child = node(tree, top, n++);
                for (int g = 0; g < 8; ++g) node(tree, child, n++);
            }
        }
        break;
    }
}

// A tree of one shape with a tree controller bound to it, the first
// top-level node selected.
struct ShapeFixture {
    explicit ShapeFixture(Shape shape) {
        tavo::registerTavoSSAddOn(tavo::ComponentRegistry::global());
        window.resize(400, 700);
        strip = new tavo::ControlWidget(host, "TavoSSAddOn.TavoSSTreeController", "Ctl1", &window);
        strip->move(0, 0);
        tree = new QTreeWidget(&window);
        tree->setGeometry(0, 30, 400, 670);
        buildShape(*tree, shape);
        view = strip->bindTree(tree);
        view->count();  // the adapter looks before the application sorts
        if (shape == Shape::PairsReversed) tree->sortItems(0, Qt::DescendingOrder);
        if (shape == Shape::PairsSorted) tree->sortItems(0, Qt::AscendingOrder);
        tree->setCurrentItem(tree->topLevelItem(0));
        window.show();
        settle();
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
    // The user's click on one of the controller's four images.
    void clickButton(int k) {
        auto& controller = static_cast<tavo::TavoSSTreeController&>(strip->control());
        QWidget* image = static_cast<tavo::QtImage&>(*controller.img(k)).widget();
        const QPointF at(4, 4), global(image->mapToGlobal(QPoint(4, 4)));
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &release);
    }
    void allOpen() {
        tree->expandAll();
        settle();
    }
    void allClosed() {
        tree->collapseAll();
        settle();
    }

    // Calls to the tree and node comparisons of one click, per node, through
    // a wrapper that counts them.
    std::pair<double, double> countedClick(int k) {
        auto& controller = static_cast<tavo::TavoSSTreeController&>(strip->control());
        auto counted = std::make_shared<tavo::FailingTree>(view->site(), view, tavo::FailurePlan{},
                                                                    int64_t{1} << 40);
        controller.setMySSTree(counted);
        clickButton(k);
        controller.setMySSTree(view);
        const double nodes = double(view->count());
        return {double(counted->totalCalls()) / nodes, double(counted->comparisons()) / nodes};
    }

    tavo::QtHost host;
    QWidget window;
    tavo::ControlWidget* strip;
    QTreeWidget* tree;
    std::shared_ptr<tavo::QtTreeView> view;
};

// Built on first use; cleared before the application goes.
std::map<Shape, std::unique_ptr<ShapeFixture>>& shapeFixtures() {
    static std::map<Shape, std::unique_ptr<ShapeFixture>> fixtures;
    return fixtures;
}

ShapeFixture& shapeFixture(Shape shape) {
    auto& f = shapeFixtures()[shape];
    if (!f) f = std::make_unique<ShapeFixture>(shape);
    return *f;
}

// The buttons in the controller's order: expand the selected node and all
// below it, expand all, collapse all, collapse the selected node and all below.
constexpr std::array<const char*, 4> kButtons = {"ExpandSelected", "ExpandAll", "CollapseAll", "CollapseSelected"};

void ControllerButton(benchmark::State& state, Shape shape, int button) {
    ShapeFixture& f = shapeFixture(shape);
    const bool opens = button < 2;
    auto prepare = [&] {
        if (opens) f.allClosed();
        else f.allOpen();
    };
    prepare();
    const auto [calls, comparisons] = f.countedClick(button);
    ShapeFixture::settle();
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        state.ResumeTiming();
        f.clickButton(button);
        ShapeFixture::settle();
    }
    state.counters["calls/node"] = calls;
    state.counters["comparisons/node"] = comparisons;
}

void QtsOwn(benchmark::State& state, Shape shape, bool expand) {
    ShapeFixture& f = shapeFixture(shape);
    for (auto _ : state) {
        state.PauseTiming();
        if (expand) f.allClosed();
        else f.allOpen();
        state.ResumeTiming();
        if (expand) f.tree->expandAll();
        else f.tree->collapseAll();
        ShapeFixture::settle();
    }
}

void registerShapeBenchmarks() {
    for (const auto& [shape, name] : kShapes) {
        for (int b = 0; b < 4; ++b)
            benchmark::RegisterBenchmark((std::string(name) + "/Button" + std::to_string(b) + kButtons[b]).c_str(),
                                         ControllerButton, shape, b)
                ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(name) + "/QtExpandAll").c_str(), QtsOwn, shape, true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(name) + "/QtCollapseAll").c_str(), QtsOwn, shape, false)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int status = tavo::runOnDeepStack([&] {
        QApplication app(argc, argv);
        registerShapeBenchmarks();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        shapeFixtures().clear();
        return 0;
    });
    // The first benchmarks keep their tree in a function static, whose widgets
    // may not be destroyed after the application: the program ends without
    // destroying what is left.
    std::fflush(nullptr);
    std::_Exit(status);
}
