// The tree controller on a QTreeView over a QFileSystemModel, a model that
// loads a folder's entries only when the view asks for them: the buttons
// open and close the folders loaded so far, and the view then loads what
// the opened folders hold. A date widget beside it picks a day.
//
//   tavo-file-tree-example [--root DIR]                      an interactive window
//   tavo-file-tree-example [--root DIR] --screenshot a.png   renders the window once and exits
#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QTreeView>
#include <QVBoxLayout>

#include "tavo/widgets/date_drop_down.h"
#include "tavo/widgets/tree_controller.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const auto rootAt = args.indexOf("--root");
    const QString root = rootAt >= 0 && rootAt + 1 < args.size() ? args[rootAt + 1] : QDir::currentPath();

    QWidget window;
    window.setWindowTitle("Tavo: tree controller on a QFileSystemModel");
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* changedSince = new tavo::DateDropDown(&window);
    changedSince->setObjectName("dtpChangedSince");
    form->addRow("Geändert seit:", changedSince);

    QFileSystemModel files;
    files.setRootPath(root);
    auto* view = new QTreeView(&window);
    view->setObjectName("tvFiles");
    view->setModel(&files);
    view->setRootIndex(files.index(root));
    for (int column = 1; column < files.columnCount(); ++column) view->hideColumn(column);
    view->setHeaderHidden(true);

    auto* buttons = new tavo::TreeController(&window);
    buttons->setObjectName("tcFiles");
    buttons->setTreeView(view);
    form->addRow("Ordner:", buttons);
    layout->addWidget(view);

    window.resize(360, 420);
    window.show();
    if (const auto at = args.indexOf("--screenshot"); at >= 0 && at + 1 < args.size()) {
        QApplication::processEvents();
        buttons->click(tavo::TreeController::ExpandAll);
        QApplication::processEvents();
        return window.grab().save(args[at + 1]) ? 0 : 1;
    }
    return QApplication::exec();
}
