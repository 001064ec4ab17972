// A Qt application built against the installed package only: a date widget
// and a tree controller bound to the application's tree widget, in a window.
// Exits 0 when both do what an application relies on.
#include <QApplication>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <exception>

#include <tavo/host/registry.h>
#include <tavo/qt/control_widget.h>
#include <tavo/qt/qt_host.h>
#include <tavo/qt/qt_tree_view.h>
#include <tavo/ssaddon/register.h>
#include <tavo/ssaddon/tavo_ss_tree_controller.h>
#include <tavo/widgets/date_drop_down.h>

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
    // The tree controller's widget stands on the thread's host by reference.
    auto host = tavo::QtHost::forThisThread();
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

    auto& registry = tavo::ComponentRegistry::global();
    tavo::registerTavoSSAddOn(registry);
    tavo::registerQtComponents(registry);
    auto* tree = new QTreeWidget(&window);
    auto* top = new QTreeWidgetItem(tree, QStringList{QStringLiteral("Nord")});
    auto* office = new QTreeWidgetItem(top, QStringList{QStringLiteral("Filiale 1")});
    new QTreeWidgetItem(office, QStringList{QStringLiteral("Team 1")});
    auto* strip = new tavo::ControlWidget(*host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", &window);
    const auto view = strip->bindTree(tree);
    layout->addWidget(strip);
    layout->addWidget(tree);
    window.show();
    QApplication::processEvents();

    // The control's type crosses from the library into the application.
    auto* controller = dynamic_cast<tavo::TavoSSTreeController*>(&strip->control());
    check(controller != nullptr, "the strip's control is a TavoSSTreeController");
    if (controller) {
        try {
            controller->ExpandAll(view->nodeFor(top), -1, 0);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "consumer: ExpandAll failed: %s\n", e.what());
            ++failures;
        }
    }
    QApplication::processEvents();
    check(top->isExpanded() && office->isExpanded(), "ExpandAll opens the node and every node below it");
    return failures == 0 ? 0 : 1;
}
