// The four buttons of the tree controller on headless trees of five shapes,
// at 32,767 nodes (the most the tree library's own count can hold) and at about
// 1,000,000, and on top-level pairs whose collection lists them in reverse or
// in an order of its own while their siblings stand sorted. Every command
// should stay under 10 ms at the small size, grow linearly beyond it, and make
// at most 14 calls to the tree per node (two of them reading its change count)
// and at most 4 node comparisons.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "backends/headless/headless_host.h"
#include "backends/headless/headless_tree_view.h"
#include "tavo/host/form.h"
#include "tavo/ssaddon/register.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace {

using namespace tavo;

enum Shape { TopLevelLeaves, PairsOnTopLevel, Chain, BinaryTree, Bushes, PairsReversed, PairsSorted };
enum Size { Small, Large };
const char* const kCommandNames[] = {"expand current", "expand all", "collapse all", "collapse current"};

std::string keyOf(int64_t i) { return "n" + std::to_string(i); }

// Builds the shape and returns the number of nodes. The first node is the
// first top-level node, which the current-node commands start from.
int64_t build(HeadlessTreeView& tree, Shape shape, Size size) {
    const bool large = size == Large;
    int64_t next = 0;
    auto add = [&](int64_t parent) {
        const std::string key = keyOf(next++);
        tree.addNode(key, parent < 0 ? std::string() : keyOf(parent), key);
        return next - 1;
    };
    switch (shape) {
    case TopLevelLeaves: {
        const int64_t n = large ? 1'000'000 : 32'767;
        tree.reserve(n);
        for (int64_t i = 0; i < n; ++i) add(-1);
        break;
    }
    case PairsOnTopLevel:
    case PairsReversed:
    case PairsSorted: {
        // Reversed: each top-level node added before the others. Sorted: by
        // texts that put them in an order of their own (i * 7919 mod pairs).
        const int64_t pairs = large ? 500'000 : 16'383;
        tree.reserve(2 * pairs);
        for (int64_t i = 0; i < pairs; ++i) {
            const std::string key = keyOf(next++);
            tree.addNode(key, "", std::to_string(10'000'000 + i * 7919 % pairs),
                         shape == PairsReversed ? HeadlessTreeView::Place::First : HeadlessTreeView::Place::Last);
            add(next - 1);
        }
        if (shape == PairsSorted) tree.sortChildren("", false);
        break;
    }
    case Chain: {
        const int64_t n = large ? 1'000'000 : 32'767;
        tree.reserve(n);
        int64_t parent = -1;
        for (int64_t i = 0; i < n; ++i) parent = add(parent);
        break;
    }
    case BinaryTree: {
        // Heap numbering: node i has the children 2i+1 and 2i+2.
        const int levels = large ? 20 : 15;
        const int64_t n = (int64_t{1} << levels) - 1;
        tree.reserve(n);
        add(-1);
        for (int64_t i = 1; i < n; ++i) add((i - 1) / 2);
        break;
    }
    case Bushes: {
        // Each top-level node has 7 children with 8 children each: 63 descendants.
        const int64_t bushes = large ? 15'625 : 512;
        tree.reserve(bushes * 64);
        for (int64_t b = 0; b < bushes; ++b) {
            const int64_t top = add(-1);
            for (int c = 0; c < 7; ++c) {
                const int64_t child = add(top);
                for (int g = 0; g < 8; ++g) add(child);
            }
        }
        break;
    }
    }
    return next;
}

void runCommand(benchmark::State& state, Shape shape, Size size, int command) {
    HeadlessHost host;
    ComponentRegistry registry;
    registerHeadlessComponents(registry);
    registerTavoSSAddOn(registry);
    Form form(host, "Form1", registry);
    auto tree = std::dynamic_pointer_cast<HeadlessTreeView>(form.add("SSActiveTreeView.SSTree", "SSTree1", {0, 0, 4000, 3000}));
    auto controller = std::dynamic_pointer_cast<TavoSSTreeController>(
        form.add(TavoSSTreeController::kProgId, "TavoSSTreeController1", {0, 3000, 1080, 225}));
    const int64_t nodes = build(*tree, shape, size);
    tree->select(keyOf(0));
    controller->setMySSTree(tree);

    for (auto _ : state) {
        state.PauseTiming();
        tree->resetCallCounts();
        tree->clearBroughtIntoView();
        host.clearTrace();
        state.ResumeTiming();
        host.postClick(controller->img(command));
        host.runUntilIdle();
    }
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["calls/node"] = static_cast<double>(tree->totalCalls()) / static_cast<double>(nodes);
    state.counters["comparisons/node"] = static_cast<double>(tree->comparisons()) / static_cast<double>(nodes);
    state.counters["into view"] = static_cast<double>(tree->broughtIntoView().size());
}

const char* shapeName(Shape s) {
    switch (s) {
    case TopLevelLeaves: return "top-level leaves";
    case PairsOnTopLevel: return "top-level pairs";
    case Chain: return "chain";
    case BinaryTree: return "binary tree";
    case Bushes: return "bushes of 64";
    case PairsReversed: return "top-level pairs reversed";
    case PairsSorted: return "top-level pairs sorted";
    }
    return "";
}

const bool registered = [] {
    for (Size size : {Small, Large}) {
        for (Shape shape : {TopLevelLeaves, PairsOnTopLevel, Chain, BinaryTree, Bushes, PairsReversed, PairsSorted}) {
            for (int command = 0; command < TavoSSTreeController::kButtonCount; ++command) {
                const std::string name = std::string(size == Small ? "32767/" : "1000000/") + shapeName(shape) +
                                         "/" + kCommandNames[command];
                benchmark::RegisterBenchmark(name.c_str(), [=](benchmark::State& s) { runCommand(s, shape, size, command); })
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
    return true;
}();

}  // namespace
