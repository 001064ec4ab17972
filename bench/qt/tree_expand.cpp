// Opening every node of a 32,767-node QTreeWidget one by one, as the tree
// controller's expand-all does: through the tree view adapter, which defers
// the view's layout to once per command, against plain item-by-item
// setExpanded, which lays the view out again for every node.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <vector>

#include "backends/qt/control_widget.h"
#include "backends/qt/qt_control_site.h"
#include "backends/qt/qt_tree_view.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
