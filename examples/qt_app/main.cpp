// A small Qt application using both controls as ordinary widgets: a date
// control whose changes show in a label, and a tree controller bound to the
// application's own tree widget.
//
//   tavo-qt-example                      an interactive window
//   tavo-qt-example --screenshot a.png   renders the window once and exits
#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backends/qt/control_widget.h"
#include "backends/qt/qt_host.h"
#include "datecontrol/register.h"
#include "treecontroller/register.h"

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
    tavo::QtHost host;
    auto& registry = tavo::ComponentRegistry::global();
    tavo::registerTavoCalendar(registry);
    tavo::registerTavoSSAddOn(registry);
    tavo::registerQtComponents(registry);

    QWidget window;
    window.setObjectName("frmMain");
    window.setWindowTitle("Tavo Qt example");
    auto* layout = new QVBoxLayout(&window);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    auto* date = new tavo::qt::ControlWidget(host, "TavoCalendar.TavoCalendarDropDown", "TavoCalendarDropDown1",
                                             &window, QSize(160, 22));
    auto* chosen = new QLabel(&window);
    chosen->setObjectName("lblChosen");
    auto showDate = [date, chosen] { chosen->setText(QString::fromStdString(date->get("Value").toString())); };
    QObject::connect(date, &tavo::qt::ControlWidget::change, chosen, showDate);
    showDate();
    form->addRow("Datum:", date);
    form->addRow("Gewählt:", chosen);

    auto* tree = new QTreeWidget(&window);
    tree->setObjectName("SSTree1");
    tree->setHeaderHidden(true);
    fillTree(*tree);
    auto* strip = new tavo::qt::ControlWidget(host, "TavoSSAddOn.TavoSSTreeController", "TavoSSTreeController1", &window);
    strip->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    strip->bindTree(tree);
    layout->addWidget(strip);
    layout->addWidget(tree);

    window.resize(320, 360);
    window.show();
    const QStringList args = QApplication::arguments();
    if (const auto at = args.indexOf("--screenshot"); at >= 0 && at + 1 < args.size()) {
        QApplication::processEvents();
        return window.grab().save(args[at + 1]) ? 0 : 1;
    }
    return QApplication::exec();
}
