#pragma once
// An application's own item model, as small as a tree model can be: rows
// that move among their siblings (rowsMoved), a reset, and, when lazy, the
// children of a row held back until the view asks for them (canFetchMore,
// fetchMore), counted so that a test sees who asked.
#include <QAbstractItemModel>
#include <memory>
#include <vector>

namespace tavo {

class OwnTreeModel : public QAbstractItemModel {
public:
    struct Row {
        QString text;
        Row* parent = nullptr;
        std::vector<std::unique_ptr<Row>> children;
        int loaded = 0;  // children the model has handed out so far
    };

    explicit OwnTreeModel(bool lazy) : lazy_(lazy) {}

    Row* add(Row* parent, const QString& text) {
        Row& under = parent ? *parent : root_;
        auto row = std::make_unique<Row>();
        row->text = text;
        row->parent = parent ? parent : &root_;
        Row* added = row.get();
        const bool shown = !lazy_ || &under == &root_;
        if (shown) beginInsertRows(indexOf(&under), under.loaded, under.loaded);
        under.children.push_back(std::move(row));
        if (shown) {
            ++under.loaded;
            endInsertRows();
        }
        return added;
    }
    // Moves a top-level row to before the row `to`.
    void moveTop(int from, int to) {
        beginMoveRows({}, from, from, {}, to);
        auto row = std::move(root_.children[std::size_t(from)]);
        root_.children.erase(root_.children.begin() + from);
        root_.children.insert(root_.children.begin() + (to > from ? to - 1 : to), std::move(row));
        endMoveRows();
    }
    // The same rows again, all of them loaded, as after reading them anew.
    void reload() {
        beginResetModel();
        loadAll(root_);
        endResetModel();
    }
    int fetches() const { return fetches_; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override {
        const Row& under = rowOf(parent);
        if (row < 0 || row >= under.loaded || column != 0) return {};
        return createIndex(row, column, under.children[std::size_t(row)].get());
    }
    QModelIndex parent(const QModelIndex& child) const override {
        return child.isValid() ? indexOf(static_cast<Row*>(child.internalPointer())->parent) : QModelIndex();
    }
    int rowCount(const QModelIndex& parent = {}) const override { return rowOf(parent).loaded; }
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    bool hasChildren(const QModelIndex& parent = {}) const override { return !rowOf(parent).children.empty(); }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole) return {};
        return static_cast<Row*>(index.internalPointer())->text;
    }
    bool canFetchMore(const QModelIndex& parent) const override {
        const Row& under = rowOf(parent);
        return under.loaded < int(under.children.size());
    }
    void fetchMore(const QModelIndex& parent) override {
        ++fetches_;
        Row& under = const_cast<Row&>(rowOf(parent));
        if (under.loaded == int(under.children.size())) return;
        beginInsertRows(parent, under.loaded, int(under.children.size()) - 1);
        under.loaded = int(under.children.size());
        endInsertRows();
    }

private:
    const Row& rowOf(const QModelIndex& index) const {
        return index.isValid() ? *static_cast<Row*>(index.internalPointer()) : root_;
    }
    QModelIndex indexOf(Row* row) const {
        if (!row || row == &root_) return {};
        const auto& siblings = row->parent->children;
        for (std::size_t i = 0; i < siblings.size(); ++i)
            if (siblings[i].get() == row) return createIndex(int(i), 0, row);
        return {};
    }
    static void loadAll(Row& row) {
        row.loaded = int(row.children.size());
        for (auto& child : row.children) loadAll(*child);
    }

    Row root_;
    bool lazy_;
    int fetches_ = 0;
};

}  // namespace tavo
