#include "backends/qt/month_grid_accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include "backends/qt/month_grid_widget.h"

namespace tavo {

namespace {

// A place in the table and the day that stands there.
struct Place {
    int month, week, column;
};

Place placeOf(const MonthGridWidget& grid, int row, int column) {
    const int columns = grid.layout().columns();
    return {row / 6 * columns + column / 7, row % 6, column % 7};
}

int rowCountOf(const MonthGridWidget& grid) { return grid.monthCount() / grid.layout().columns() * 6; }
int columnCountOf(const MonthGridWidget& grid) { return grid.layout().columns() * 7; }

class DayCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    DayCell(MonthGridWidget* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

    bool isValid() const override { return grid_ && row_ < rowCountOf(*grid_) && column_ < columnCountOf(*grid_); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(grid_); }
    QWindow* window() const override { return parent() ? parent()->window() : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    void setText(QAccessible::Text, const QString&) override {}
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || !shown()) return {};
        if (t == QAccessible::Name) return grid_->texts().spokenDate(day());
        if (t == QAccessible::Description && day() == grid_->today()) return grid_->texts().todayWord();
        return {};
    }

    QRect rect() const override {
        if (!isValid()) return {};
        const Place p = placeOf(*grid_, row_, column_);
        const QRect r = grid_->layout().dayRect(p.month, p.week, p.column);
        return {grid_->mapToGlobal(r.topLeft()), r.size()};
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) return s;
        s.selectable = s.focusable = true;
        s.invisible = !shown();
        s.disabled = !grid_->inRange(day());
        s.selected = isSelected();
        s.focused = s.selected && grid_->hasFocus();
        return s;
    }

    bool isSelected() const override { return isValid() && shown() && day() == grid_->value(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QDate day() const {
        const Place p = placeOf(*grid_, row_, column_);
        return grid_->dayAt(p.month, p.week, p.column);
    }
    bool shown() const { return grid_->shows(placeOf(*grid_, row_, column_).month, day()); }

    QPointer<MonthGridWidget> grid_;
    int row_, column_;
};

class MonthGridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit MonthGridTable(MonthGridWidget* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~MonthGridTable() override {
        for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // Named after the months it shows, as a reader finds them in the titles.
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !grid().accessibleName().isEmpty()) return QAccessibleWidget::text(t);
        const MonthGridLocale& texts = grid().texts();
        const QString first = texts.monthTitle(grid().monthAt(0));
        if (grid().monthCount() == 1) return first;
        return first + QStringLiteral(" – ") + texts.monthTitle(grid().monthAt(grid().monthCount() - 1));
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        return index < 0 || index >= childCount() ? nullptr : cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* cell = dynamic_cast<const DayCell*>(child);
        return cell && cell->parent() == this ? cell->rowIndex() * columnCount() + cell->columnIndex() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override {
        return grid().hasFocus() ? selectedCell() : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return selectedCell() ? 1 : 0; }
    QList<QAccessibleInterface*> selectedCells() const override {
        QAccessibleInterface* cell = selectedCell();
        return cell ? QList<QAccessibleInterface*>{cell} : QList<QAccessibleInterface*>{};
    }
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return columnCountOf(grid()); }
    int rowCount() const override { return rowCountOf(grid()); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    QAccessibleInterface* selectedCell() const;

private:
    MonthGridWidget& grid() const { return *static_cast<MonthGridWidget*>(widget()); }

    mutable QHash<int, QAccessible::Id> cells_;
};

QAccessibleInterface* MonthGridTable::cellAt(int row, int column) const {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    const int key = row * 1000 + column;
    auto it = cells_.constFind(key);
    if (it == cells_.constEnd())
        it = cells_.insert(key, QAccessible::registerAccessibleInterface(new DayCell(&grid(), row, column)));
    return QAccessible::accessibleInterface(*it);
}

QAccessibleInterface* MonthGridTable::childAt(int x, int y) const {
    const auto cell = grid().layout().cellAt(grid().mapFromGlobal(QPoint(x, y)));
    if (!cell) return nullptr;
    const int columns = grid().layout().columns();
    return cellAt(cell->month / columns * 6 + cell->week, cell->month % columns * 7 + cell->column);
}

QAccessibleInterface* MonthGridTable::selectedCell() const {
    const auto cell = grid().cellOf(grid().value());
    if (!cell) return nullptr;
    const int columns = grid().layout().columns();
    return cellAt(cell->month / columns * 6 + cell->week, cell->month % columns * 7 + cell->column);
}

QString MonthGridTable::columnDescription(int column) const {
    const int firstDay = int(grid().texts().firstDayOfWeek());
    return grid().texts().locale().dayName((firstDay - 1 + column % 7) % 7 + 1, QLocale::LongFormat);
}

QString MonthGridTable::rowDescription(int row) const {
    if (!grid().layout().weekNumbers()) return {};
    const Place p = placeOf(grid(), row, 0);
    return grid().texts().number(grid().texts().weekNumber(grid().dayAt(p.month, p.week, 0)));
}

QAccessibleInterface* monthGridFactory(const QString&, QObject* object) {
    auto* grid = dynamic_cast<MonthGridWidget*>(object);
    return grid ? new MonthGridTable(grid) : nullptr;
}

}  // namespace

void installMonthGridAccessibility() {
    static const bool installed = (QAccessible::installFactory(&monthGridFactory), true);
    (void)installed;
}

// Without a screen reader, or hidden (as while the popup is set up), nobody
// would hear it.
void announceSelectedDay(MonthGridWidget* grid) {
    if (!QAccessible::isActive() || !grid->isVisible()) return;
    const auto cell = grid->cellOf(grid->value());
    if (!cell) return;
    const int columns = grid->layout().columns();
    const int index = (cell->month / columns * 6 + cell->week) * columns * 7 + cell->month % columns * 7 + cell->column;
    QAccessibleEvent selection(grid, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (!grid->hasFocus()) return;
    QAccessibleEvent focus(grid, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}

}  // namespace tavo
