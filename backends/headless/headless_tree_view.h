#pragma once
// A tree view with the members the tree controller calls by name and the node
// interface, built for trees of a million nodes: every member is O(1), nodes
// live in one array in the order they were added, and every call made to it is
// counted. It counts its changes for the node interface; its nodes can also be
// added before their siblings, sorted and removed, as an application may do
// while a command runs.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tavo/components/tree_node.h"
#include "tavo/host/control.h"

namespace tavo {

class HeadlessTreeView : public Control, public TreeViewReads {
public:
    explicit HeadlessTreeView(ControlSite& site);
    ~HeadlessTreeView() override;

    // Building the tree (as an application does). parentKey empty: top level.
    // A duplicate key or an unknown parent is HostError 5 (invalid procedure call)
    // naming the key. An empty key is allowed: such a node is found by index only.
    // A node comes last in the collection wherever it goes among its siblings.
    enum class Place { Last, First };
    TreeNodeRef addNode(const std::string& key, const std::string& parentKey, const std::string& text,
                        Place among = Place::Last);
    // Puts the children of a node (the top level for "") in the order of their
    // texts; the collection keeps its order.
    void sortChildren(const std::string& parentKey, bool descending);
    // Takes a node and everything below it out of the tree; later nodes move
    // up in the collection. Nodes taken out fail every member with HostError 91.
    void removeNode(const std::string& key);
    void reserve(std::size_t nodes);
    TreeNodeRef node(const std::string& key) const;  // nullptr when absent
    void select(const std::string& key);             // "" clears the selection
    TreeNodeRef selectedItem() const;
    std::size_t count() const;

    bool enabled() const;
    void setEnabled(bool e);
    bool visible() const;
    void setVisible(bool v);

    // Calls made to it since the last reset: by name ("SelectedItem", "Nodes",
    // "Count", "Level", "EnsureVisible", ...) and through the node interface
    // ("Expanded", "Children", "Child", "LastSibling", "Next", "EnsureVisible()",
    // "ChangeCount" for either count). Reading expanded() through the
    // interface is not counted: tests do that.
    // By name, "Nodes"(i) with i outside 1..Count is HostError 35600 and
    // "Nodes"("key") of an unknown key 35601, the tree library's own numbers.
    std::map<std::string, int64_t> callCounts() const;
    int64_t totalCalls() const;
    void resetCallCounts();
    // Node comparisons since the last reset: sameNode and identity, each of
    // which a walk uses to tell one node from another.
    int64_t comparisons() const;
    // Keys of the nodes brought into view, in order (EnsureVisible and the node's bring into view).
    const std::vector<std::string>& broughtIntoView() const;
    void clearBroughtIntoView();
    // Observer for each bring-into-view, with the node's key.
    std::function<void(const std::string& key)> onBringIntoView;
    // Raised when a node opens or closes, however that happens, as the tree
    // view raises its Expand and Collapse events; not when a write leaves the
    // node as it was.
    std::function<void(const std::string& key, bool expanded)> onExpandedChanged;

    // "key text +" lines indented by level (two spaces a level), "+" open, "-" closed, " " leaf.
    std::string dump() const;

    std::string className() const override { return "SSActiveTreeView.SSTree"; }

    Variant enabledMember() override;
    Variant visibleMember() override;
    TreeNodeRef nodeMember(const Variant& index) override;

    struct Impl;

protected:
    Variant getMember(std::string_view member, const Variant* arg) override;
    void putMember(std::string_view member, const Variant& value) override;
    Variant callMember(std::string_view member, std::span<Variant> args) override;

private:
    static const MemberTable<HeadlessTreeView>& members();
    std::unique_ptr<Impl> impl_;
};

}  // namespace tavo
