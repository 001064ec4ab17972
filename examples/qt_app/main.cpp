// A small Qt application using both controls as ordinary widgets: a date
// widget in a form layout whose changes show in labels, and a tree controller
// bound to the application's own tree widget. Neither needs a host or a
// registration call: the widgets set up what they stand on themselves.
//
//   tavo-qt-example                      an interactive window
//   tavo-qt-example --screenshot a.png   renders the window once and exits
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "tavo/widgets/date_drop_down.h"
#include "tavo/widgets/tree_controller.h"

namespace {

void fillTree(QTreeWidget& tree) {
    const char* regions[] = {"Nord", "Süd", "West"};
    for (const char* region : regions) {
        auto* top = new QTreeWidgetItem(&tree, QStringList{QString::fromUtf8(region)});
        for (int office = 1; office <= 3; ++office) {
            auto* child = new QTreeWidgetItem(top, QStringList{QStringLiteral("Filiale %1").arg(office)});
            for (int team = 1; team <= 2; ++team)
                new QTreeWidgetItem(child, QStringList{QStringLiteral("Team %1").arg(team)});
        }
    }
    tree.setCurrentItem(tree.topLevelItem(0));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tavo Qt example");

    QWidget window;
    window.setObjectName("frmMain");
    window.setWindowTitle("Tavo Qt example");
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* date = new tavo::DateDropDown(&window);
    date->setObjectName("TavoCalendarDropDown1");
    date->setDateRange(QDate(2000, 1, 1), QDate(2010, 12, 31));
    date->setMonthColumns(2);
    date->setMonthRows(1);
    auto* chosen = new QLabel(&window);
    chosen->setObjectName("lblChosen");
    auto* edited = new QLabel(&window);
    edited->setObjectName("lblEdited");
    auto showDate = [chosen](QDate day) { chosen->setText(QLocale().toString(day, QLocale::LongFormat)); };
    QObject::connect(date, &tavo::DateDropDown::dateChanged, chosen, showDate);
    QObject::connect(date, &tavo::DateDropDown::dateEdited, edited, [edited](QDate day) {
        edited->setText(QStringLiteral("vom Benutzer: %1").arg(QLocale().toString(day, QLocale::ShortFormat)));
    });
    showDate(date->date());
    form->addRow("Datum:", date);
    form->addRow("Gewählt:", chosen);
    form->addRow("Zuletzt:", edited);

    // The tree controller on the application's own tree widget, which is a
    // QTreeView like any other.
    auto* tree = new QTreeWidget(&window);
    tree->setObjectName("SSTree1");
    tree->setHeaderHidden(true);
    fillTree(*tree);
    auto* strip = new tavo::TreeController(&window);
    strip->setObjectName("TavoSSTreeController1");
    strip->setTreeView(tree);
    layout->addWidget(strip);
    layout->addWidget(tree);

    window.resize(320, 360);
    window.show();
    const QStringList args = QApplication::arguments();
    if (const auto at = args.indexOf("--screenshot"); at >= 0 && at + 1 < args.size()) {
        strip->click(tavo::TreeController::ExpandAll);
        QApplication::processEvents();
        return window.grab().save(args[at + 1]) ? 0 : 1;
    }
    return QApplication::exec();
}
