#pragma once
// The tree view on Qt: a QTreeWidget with the members the tree controller
// calls by name ("SelectedItem", "Nodes", "Nodes"(i), "Count", "Enabled",
// "Visible"; on a node "Level", "EnsureVisible", "Expanded", "Key", "Text",
// "Children", "Child", "LastSibling", "Next", "Parent", "Index") and the node
// interface, with one node object per item for as long as the item lives.
//
// The node collection is in insertion order: items the widget held when the
// adapter first looked join it in tree order, items added later as they come
// (an item with children in tree order). Every member
// is O(1). The adapter counts the changes made to the tree, whoever makes
// them, for the node interface's change counts. Opening and closing nodes through the node interface defers the
// view's layout, and bringing nodes into view defers the scroll to the last
// of them, so that a command over tens of thousands of nodes lays the view
// out once (at the next turn of the loop) instead of once per node.
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <string>

#include "tavo/components/tree_node.h"
#include "tavo/host/control.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_EXPORT QtTreeView : public Control, public TreeViewReads {
public:
    // A tree widget of its own, filling the control's surface.
    explicit QtTreeView(ControlSite& site);
    // Drives an application's own tree widget (the site's surface is that widget).
    QtTreeView(ControlSite& site, QTreeWidget* existing);
    ~QtTreeView() override;

    // Building the tree. parentKey empty: top level. A duplicate key or an
    // unknown parent is HostError 5.
    TreeNodeRef addNode(const std::string& key, const std::string& parentKey, const std::string& text);
    TreeNodeRef node(const std::string& key) const;  // nullptr when absent
    TreeNodeRef nodeFor(QTreeWidgetItem* item) const;
    void select(const std::string& key);  // "" clears the selection
    TreeNodeRef selectedItem() const;
    std::size_t count() const;

    bool enabled() const;
    void setEnabled(bool e);
    bool visible() const;
    void setVisible(bool v);

    QTreeWidget* treeWidget() const;
    // Called with the node's key each time a node is brought into view.
    std::function<void(const std::string& key)> onBringIntoView;

    void Resize() override;

    std::string className() const override { return "SSActiveTreeView.SSTree"; }

    Variant enabledMember() override { return Variant::boolean(enabled()); }
    Variant visibleMember() override { return Variant::boolean(visible()); }
    bool disabledOrHidden() override { return !enabled() || !visible(); }
    TreeNodeRef nodeMember(const Variant& index) override;

    // The adapter's records, in the backend's private header.
    struct Impl;

protected:
    Variant getMember(std::string_view member, const Variant* arg) override;
    void putMember(std::string_view member, const Variant& value) override;
    void putRefMember(std::string_view member, const Variant& value) override;
    Variant callMember(std::string_view member, std::span<Variant> args) override;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavo
