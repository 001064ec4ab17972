// A Qt application built against the installed package only: a date widget
// and a tree controller bound to the application's tree view on its own model, in a window.
// Exits 0 when both do what an application relies on.
#include <QApplication>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdio>

#include <tavo/widgets/date_drop_down.h>
#include <tavo/widgets/tree_controller.h>

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "consumer: %s\n", what);
    ++failures;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);

    auto* date = new tavo::DateDropDown(&window);
    layout->addWidget(date);
    QList<QDate> announced;
    QObject::connect(date, &tavo::DateDropDown::dateChanged, [&announced](QDate day) { announced.append(day); });
    date->setDate(QDate(2024, 2, 29));
    check(date->date() == QDate(2024, 2, 29), "the date set is the date shown");
    check(announced == QList<QDate>{QDate(2024, 2, 29)}, "a new date is announced once");
    date->setDate(QDate(1500, 1, 1));
    check(date->date() == QDate(2024, 2, 29) && announced.size() == 1,
          "a date before the range is refused: the old one stays, nothing announced");

    // The application's own tree: a view on a standard item model.
    QStandardItemModel model;
    auto* top = new QStandardItem(QStringLiteral("Nord"));
    auto* office = new QStandardItem(QStringLiteral("Filiale 1"));
    office->appendRow(new QStandardItem(QStringLiteral("Team 1")));
    top->appendRow(office);
    model.appendRow(top);
    auto* tree = new QTreeView(&window);
    tree->setModel(&model);
    auto* strip = new tavo::TreeController(&window);
    strip->setTreeView(tree);
    layout->addWidget(strip);
    layout->addWidget(tree);
    window.show();
    QApplication::processEvents();
    check(strip->treeView() == tree, "the strip is bound to the view it was given");

    strip->click(tavo::TreeController::ExpandAll);
    QApplication::processEvents();
    check(tree->isExpanded(top->index()) && tree->isExpanded(office->index()),
          "expand all opens the node and every node below it");
    strip->click(tavo::TreeController::CollapseAll);
    check(!tree->isExpanded(top->index()) && !tree->isExpanded(office->index()), "collapse all closes every node");
    return failures == 0 ? 0 : 1;
}
