// The tree controller on an application's QTreeView over a
// QStandardItemModel, beside a date widget, in a form layout: the four
// buttons open and close the view's rows, and the date picked filters
// nothing but shows how both widgets sit together.
//
//   tavo-model-tree-example                      an interactive window
//   tavo-model-tree-example --screenshot a.png   renders the window once and exits
#include <QApplication>
#include <QFormLayout>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "tavo/widgets/date_drop_down.h"
#include "tavo/widgets/tree_controller.h"

namespace {

void fillModel(QStandardItemModel& model) {
    for (const char* region : {"Nord", "Süd", "West"}) {
        auto* top = new QStandardItem(QString::fromUtf8(region));
        for (int office = 1; office <= 3; ++office) {
            auto* child = new QStandardItem(QStringLiteral("Filiale %1").arg(office));
            for (int team = 1; team <= 2; ++team) child->appendRow(new QStandardItem(QStringLiteral("Team %1").arg(team)));
            top->appendRow(child);
        }
        model.appendRow(top);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Tavo: tree controller on a QStandardItemModel");
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* since = new tavo::DateDropDown(&window);
    since->setObjectName("dtpSince");
    form->addRow("Seit:", since);

    QStandardItemModel model;
    fillModel(model);
    auto* view = new QTreeView(&window);
    view->setObjectName("tvOffices");
    view->setHeaderHidden(true);
    view->setModel(&model);
    view->setCurrentIndex(model.index(0, 0));

    auto* buttons = new tavo::TreeController(&window);
    buttons->setObjectName("tcOffices");
    buttons->setTreeView(view);
    form->addRow("Filialen:", buttons);
    layout->addWidget(view);

    window.resize(320, 380);
    window.show();
    const QStringList args = QApplication::arguments();
    if (const auto at = args.indexOf("--screenshot"); at >= 0 && at + 1 < args.size()) {
        buttons->click(tavo::TreeController::ExpandAll);
        QApplication::processEvents();
        return window.grab().save(args[at + 1]) ? 0 : 1;
    }
    return QApplication::exec();
}
