// The tree controller widget on a QTreeView over a 32,767-node
// QStandardItemModel, through the model adapter: each of its four buttons,
// clicked on its image as the user does, against Qt's own
// QTreeView::expandAll and collapseAll on the same view and model, in five
// tree shapes; each button also with a handler listening to the view's rows
// opening and closing ("Heard"), where the command takes every step. Each
// run includes the turn of the event loop that lays the view out and draws
// it. A chain 32,767 levels deep is deeper than Qt's
// recursive layout can go on the default 8 MB stack, so the program runs on
// a thread with a larger stack.
#include <benchmark/benchmark.h>
#include <QApplication>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tavo/qt/deep_stack.h"
#include "backends/qt/qt_image.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "tavo/widgets/tree_controller.h"

namespace {

enum class Shape { Flat, Pairs, Chain, Binary, Bushes };

constexpr std::array<std::pair<Shape, const char*>, 5> kShapes = {{
    {Shape::Flat, "Flat32767"},       // 32,767 top-level leaves
    {Shape::Pairs, "Pairs16383"},     // 16,383 top-level rows with one child each
    {Shape::Chain, "Chain32767"},     // one chain, 32,767 levels deep
    {Shape::Binary, "Binary15"},      // a complete binary tree of 15 levels
    {Shape::Bushes, "Bushes512x63"},  // 512 top-level rows with 63 descendants each
}};

QStandardItem* row(QStandardItemModel& model, QStandardItem* parent, int& n) {
    auto* item = new QStandardItem(QString::number(n++));
    if (parent) parent->appendRow(item);
    else model.appendRow(item);
    return item;
}

void buildShape(QStandardItemModel& model, Shape shape) {
    int n = 0;
    switch (shape) {
    case Shape::Flat:
        while (n < 32767) row(model, nullptr, n);
        break;
    case Shape::Pairs:
        for (int i = 0; i < 16383; ++i) row(model, row(model, nullptr, n), n);
        break;
    case Shape::Chain: {
        QStandardItem* item = nullptr;
        while (n < 32767) item = row(model, item, n);
        break;
    }
    case Shape::Binary: {
        // Level by level: the children of item i are items 2i+1 and 2i+2.
        std::vector<QStandardItem*> items{row(model, nullptr, n)};
        for (std::size_t i = 0; items.size() < 32767; ++i)
            for (int c = 0; c < 2; ++c) items.push_back(row(model, items[i], n));
        break;
    }
    case Shape::Bushes:
        for (int t = 0; t < 512; ++t) {
            QStandardItem* top = row(model, nullptr, n);
            for (int c = 0; c < 7; ++c) {
                QStandardItem* child = row(model, top, n);
                for (int g = 0; g < 8; ++g) row(model, child, n);
            }
        }
        break;
    }
}

// A view of one shape with a tree controller widget bound to it, the first
// top-level row selected.
struct ShapeFixture {
    explicit ShapeFixture(Shape shape) {
        window.resize(400, 700);
        auto* layout = new QVBoxLayout(&window);
        strip = new tavo::TreeController(&window);
        view = new QTreeView(&window);
        layout->addWidget(strip);
        layout->addWidget(view);
        buildShape(model, shape);
        view->setModel(&model);
        view->setCurrentIndex(model.index(0, 0));
        strip->setTreeView(view);
        // The adapter reads the model at its first use: here, not in the
        // first click measured.
        strip->control().get("mySSTree").toObject()->get("Nodes").toObject()->get("Count");
        window.show();
        settle();
    }
    ~ShapeFixture() {
        // The chain's items delete their children recursively: on this
        // thread's deep stack, before the view goes.
        strip->setTreeView(nullptr);
        view->setModel(nullptr);
        model.clear();
    }
    static void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }
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
        view->expandAll();
        settle();
    }
    void allClosed() {
        view->collapseAll();
        settle();
    }

    QStandardItemModel model;
    QWidget window;
    tavo::TreeController* strip;
    QTreeView* view;
};

std::map<Shape, std::unique_ptr<ShapeFixture>>& shapeFixtures() {
    static std::map<Shape, std::unique_ptr<ShapeFixture>> fixtures;
    return fixtures;
}

ShapeFixture& shapeFixture(Shape shape) {
    auto& f = shapeFixtures()[shape];
    if (!f) f = std::make_unique<ShapeFixture>(shape);
    return *f;
}

constexpr std::array<const char*, 4> kButtons = {"ExpandSelected", "ExpandAll", "CollapseAll", "CollapseSelected"};

// The timed parts, each in a function of its own so that an instruction
// count (valgrind --tool=callgrind --toggle-collect=<name>) can take the
// same parts as the clock does: the machine's clock varies, counts do not.
[[gnu::noinline]] void timedClick(ShapeFixture& f, int button) {
    f.clickButton(button);
    ShapeFixture::settle();
}

[[gnu::noinline]] void timedQtAll(ShapeFixture& f, bool expand) {
    if (expand) f.view->expandAll();
    else f.view->collapseAll();
    ShapeFixture::settle();
}

// heard: a handler of the application listens to the view's rows opening
// and closing, so that the command takes every step where it can be seen.
void ControllerButton(benchmark::State& state, Shape shape, int button, bool heard) {
    ShapeFixture& f = shapeFixture(shape);
    const bool opens = button < 2;
    QObject listener;
    if (heard) {
        QObject::connect(f.view, &QTreeView::expanded, &listener, [] {});
        QObject::connect(f.view, &QTreeView::collapsed, &listener, [] {});
    }
    for (auto _ : state) {
        state.PauseTiming();
        if (opens) f.allClosed();
        else f.allOpen();
        state.ResumeTiming();
        timedClick(f, button);
    }
}

void QtsOwn(benchmark::State& state, Shape shape, bool expand) {
    ShapeFixture& f = shapeFixture(shape);
    for (auto _ : state) {
        state.PauseTiming();
        if (expand) f.allClosed();
        else f.allOpen();
        state.ResumeTiming();
        timedQtAll(f, expand);
    }
}

void registerShapeBenchmarks() {
    for (const auto& [shape, name] : kShapes) {
        benchmark::RegisterBenchmark((std::string(name) + "/QtExpandAll").c_str(), QtsOwn, shape, true)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(name) + "/QtCollapseAll").c_str(), QtsOwn, shape, false)
            ->Unit(benchmark::kMillisecond);
        for (int b = 0; b < 4; ++b)
            for (const bool heard : {false, true})
                benchmark::RegisterBenchmark(
                    (std::string(name) + "/Button" + std::to_string(b) + kButtons[b] + (heard ? "Heard" : "")).c_str(),
                    ControllerButton, shape, b, heard)
                    ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return tavo::runOnDeepStack([&] {
        QApplication app(argc, argv);
        registerShapeBenchmarks();
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        shapeFixtures().clear();
        return 0;
    });
}
