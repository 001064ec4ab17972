// A form drawn in Qt Designer (designer_form.ui) with both Tavo widgets and
// a tree widget, compiled by uic. The tree controller names its tree view in
// the form (treeViewName) and finds it when the form is shown.
//
//   tavo-designer-form-example           an interactive window
//   tavo-designer-form-example --check   shows the form once, checks that it
//                                        came out as drawn, and exits (0: it did)
#include <QApplication>
#include <QDateTimeEdit>
#include <QTreeWidgetItemIterator>
#include <cstdio>

#include "ui_designer_form.h"

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "designer form: %s\n", what);
    ++failures;
}

bool allExpanded(QTreeWidget* tree) {
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::HasChildren); *it; ++it)
        if (!(*it)->isExpanded()) return false;
    return true;
}

int checkForm(Ui::DesignerForm& ui) {
    check(ui.tcOffices->treeView() == ui.twOffices, "the tree controller found its tree view by name");
    const QDate leapDay(2024, 2, 29);
    check(ui.dtpSince->date() == leapDay, "the date widget holds the form's date");
    const auto* box = ui.dtpSince->findChild<QDateTimeEdit*>();
    check(box && box->date() == leapDay, "the date box shows the form's date");
    check(ui.dtpSince->format() == tavo::DateDropDown::LongDate, "the form's format");
    check(ui.dtpSince->monthColumns() == 2 && ui.dtpSince->monthRows() == 1, "the form's month grid");
    check(!ui.dtpSince->showWeek(), "the form's week numbers setting");
    check(ui.dtpSince->calendarTitleBackColor() == QColor(0, 96, 160), "the form's title colour");
    check(ui.tcOffices->toolTipTextPlusPlus() == QStringLiteral("Alle Filialen aufklappen"), "the form's tooltip");
    ui.tcOffices->click(tavo::TreeController::ExpandAll);
    check(allExpanded(ui.twOffices), "expand all opens every node of the named view");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    Ui::DesignerForm ui;
    ui.setupUi(&window);
    window.show();
    if (QApplication::arguments().contains(QStringLiteral("--check"))) {
        QApplication::processEvents();
        return checkForm(ui);
    }
    return QApplication::exec();
}
