#pragma once
// The tree view on Qt for any QTreeView on any item model (QTreeWidget,
// QStandardItemModel, QFileSystemModel, proxy models, an application's own):
// the members the tree controller calls by name ("SelectedItem", "Nodes",
// "Nodes"(i), "Count", "Enabled", "Visible"; on a node "Level",
// "EnsureVisible", "Expanded", "Text", "Key", "Children", "Child",
// "LastSibling", "Next", "Parent", "Index") and the node interface.
//
// The nodes are the rows of column 0 under the view's root index, as far as
// the model has loaded them: a model that loads children on demand
// (canFetchMore/fetchMore) shows the rows it holds, and the adapter never
// asks it for more. The node collection lists them in tree order (pre-order,
// siblings in the model's order), read afresh after every change of the
// model's rows: inserts, removals, moves, layout changes (a sorting proxy)
// and resets.
//
// Costs: the adapter keeps a record of each row, made in one pass over the
// model on first use after a change (linear in the rows); every member then
// costs O(1), but for SelectedItem and nodeFor, which step down from the top
// level along the index's rows. A node object lives only while someone holds
// it, and holds a persistent index only across a change of the model, so
// that the model's own bookkeeping of persistent indexes stays small.
//
// The adapter counts the changes made to the tree, whoever makes them, for
// the node interface's change counts. Opening and closing nodes through the
// node interface defers the view's layout, and bringing nodes into view
// defers the scroll to the last of them: a command over tens of thousands of
// nodes lays the view out once, at the next turn of the event loop. While
// nobody else listens to the view's expanded and collapsed signals, nobody
// can see a command's single steps: the commands then open or close a branch,
// or every row, in one pass over the records, in the order the walk would.
#include <QModelIndex>
#include <QTreeView>
#include <functional>
#include <memory>
#include <string>

#include "tavo/components/tree_node.h"
#include "tavo/host/control.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL QtModelTree : public Control, public TreeViewReads {
public:
    // Drives the application's view; the site's surface is usually the view.
    QtModelTree(ControlSite& site, QTreeView* view);
    ~QtModelTree() override;

    // Null once the view is gone; the tree is then empty and its members
    // fail with HostError 91.
    QTreeView* treeView() const;
    // The node of a row (any column of it); nullptr for an invalid index, an
    // index of another model or one outside the view's root.
    TreeNodeRef nodeFor(const QModelIndex& index) const;
    TreeNodeRef selectedItem() const;
    // The rows loaded under the root.
    std::size_t count() const;
    bool enabled() const;
    void setEnabled(bool e);
    bool visible() const;
    void setVisible(bool v);

    // Called each time a node is brought into view, with its row.
    std::function<void(const QModelIndex& index)> onBringIntoView;

    std::string className() const override { return "SSActiveTreeView.SSTree"; }

    Variant enabledMember() override { return Variant::boolean(enabled()); }
    Variant visibleMember() override { return Variant::boolean(visible()); }
    bool disabledOrHidden() override { return !enabled() || !visible(); }
    TreeNodeRef nodeMember(const Variant& index) override;
    Variant nodeLevelMember(const Variant& index) override;
    std::optional<int32_t> firstTopLevel(int32_t from, int32_t to) override;
    bool allAtOnce(bool expanding) override;

    struct Impl;
    Impl& impl() const { return *impl_; }

protected:
    Variant getMember(std::string_view member, const Variant* arg) override;
    void putMember(std::string_view member, const Variant& value) override;
    void putRefMember(std::string_view member, const Variant& value) override;
    Variant callMember(std::string_view member, std::span<Variant> args) override;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavo
