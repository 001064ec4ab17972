#pragma once
// A tree view that fails on purpose. It stands in front of any tree view (the
// headless one, a Qt adapter) and passes every call through, but the member
// it is told to fail fails at its n-th call, or on one node at every call:
// with the host's error, with an exception of another kind, or by answering
// something that is not a node. Its nodes are fresh wrappers on every call,
// as some adapters hand them out. Past a limit of calls every call fails, so
// that a walk that would not end shows up as a test failure.
#include <array>
#include <memory>
#include <stdexcept>
#include <string>

#include "tavo/components/tree_node.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/control.h"
#include "tavo/host/error.h"

namespace tavo {

enum class TreeMember {
    NextSibling,
    LastSibling,
    ChildCount,
    FirstChild,
    SetExpanded,
    BringIntoView,
    Level,
    EnsureVisible,
    Enabled,
    Visible,
    Count,
    Nodes,
    SelectedItem,
    ChangeCount,
    Members
};

// NotANode: a member that returns a node returns Nothing (through the node
// interface) or an object that is not a node (by name); any other member
// returns a value of the wrong kind.
enum class Failure { HostError, OtherException, NotANode };

struct FailurePlan {
    TreeMember member = TreeMember::Members;  // none
    Failure how = Failure::HostError;
    int64_t atCall = 0;      // the member's n-th call fails (from 1),
    std::string onKey;       // or every call on the node with this key,
    bool everyCall = false;  // or every call
};

class FailingTree : public Control {
public:
    FailingTree(ControlSite& site, std::shared_ptr<Object> inner, FailurePlan plan, int64_t callLimit = 200'000)
        : Control(site), state_(std::make_shared<State>(std::move(inner), std::move(plan), callLimit)) {}

    // Calls of each member so far, of all members, and node comparisons
    // (sameNode, identity); whether the call limit was passed.
    int64_t calls(TreeMember m) const { return state_->calls[static_cast<std::size_t>(m)]; }
    int64_t totalCalls() const { return state_->total; }
    int64_t comparisons() const { return state_->comparisons; }
    bool ranAway() const { return state_->total > state_->limit; }

    std::string className() const override { return "Test.FailingTree"; }

protected:
    Variant getMember(std::string_view member, const Variant* arg) override {
        if (ascii::equalsNoCase(member, "Nodes") && !arg) return Variant::object(std::make_shared<Collection>(state_));
        if (ascii::equalsNoCase(member, "Nodes")) return state_->item(*arg);
        if (ascii::equalsNoCase(member, "SelectedItem")) {
            if (state_->fails(TreeMember::SelectedItem)) return notANode();
            return state_->wrap(state_->inner->get(member));
        }
        for (auto [name, m] : {std::pair{"Enabled", TreeMember::Enabled}, {"Visible", TreeMember::Visible}})
            if (ascii::equalsNoCase(member, name) && state_->fails(m)) return Variant::string("weder noch");
        return state_->inner->get(member, arg);
    }
    void putMember(std::string_view member, const Variant& value) override { state_->inner->put(member, value); }
    void putRefMember(std::string_view member, const Variant& value) override { state_->inner->putRef(member, value); }
    Variant callMember(std::string_view member, std::span<Variant> args) override {
        return state_->inner->call(member, args);
    }

private:
    struct State : std::enable_shared_from_this<State> {
        State(std::shared_ptr<Object> tree, FailurePlan failure, int64_t callLimit)
            : inner(std::move(tree)), plan(std::move(failure)), limit(callLimit) {}
        std::shared_ptr<Object> inner;
        FailurePlan plan;
        std::array<int64_t, static_cast<std::size_t>(TreeMember::Members)> calls{};
        int64_t total = 0;
        int64_t limit;
        int64_t comparisons = 0;

        // Counts the call; throws as planned, or tells the caller to answer
        // wrongly.
        bool fails(TreeMember m, TreeNode* node = nullptr) {
            const int64_t n = ++calls[static_cast<std::size_t>(m)];
            if (++total > limit) throwHostError(err::InvalidProcedureCall, "the call limit is passed");
            if (m != plan.member) return false;
            const bool now = plan.everyCall || n == plan.atCall ||
                             (!plan.onKey.empty() && node && node->get("Key").toString() == plan.onKey);
            if (!now) return false;
            if (plan.how == Failure::HostError) throwHostError(err::IndexOutOfBounds, "planned failure");
            if (plan.how == Failure::OtherException) throw std::runtime_error("planned failure of another kind");
            return true;
        }
        Variant wrap(const Variant& v);
        Variant item(const Variant& index) {
            if (fails(TreeMember::Nodes)) return notANode();
            const Variant at = index;
            return wrap(inner->get("Nodes", &at));
        }
    };

    class Collection : public Object {
    public:
        explicit Collection(std::shared_ptr<State> s) : state_(std::move(s)) {}
        std::string className() const override { return "SSNodes"; }
        Variant get(std::string_view member, const Variant* arg = nullptr) override {
            if (ascii::equalsNoCase(member, "Item") && arg) return state_->item(*arg);
            if (ascii::equalsNoCase(member, "Count") && state_->fails(TreeMember::Count))
                return Variant::string("viele");
            return state_->inner->get("Nodes").toObject()->get(member, arg);
        }

    private:
        std::shared_ptr<State> state_;
    };

    class Node : public TreeNode {
    public:
        Node(std::shared_ptr<TreeNode> inner, std::shared_ptr<State> s) : inner_(std::move(inner)), state_(std::move(s)) {}
        static TreeNodeRef wrap(const TreeNodeRef& n, const std::shared_ptr<State>& s) {
            return n ? std::make_shared<Node>(n, s) : nullptr;
        }

        void setExpanded(bool e) override {
            state_->fails(TreeMember::SetExpanded, inner_.get());
            inner_->setExpanded(e);
        }
        bool expanded() const override { return inner_->expanded(); }
        int32_t childCount() const override {
            return state_->fails(TreeMember::ChildCount, inner_.get()) ? -1 : inner_->childCount();
        }
        TreeNodeRef firstChild() const override { return related(TreeMember::FirstChild, &TreeNode::firstChild); }
        TreeNodeRef lastSibling() const override { return related(TreeMember::LastSibling, &TreeNode::lastSibling); }
        TreeNodeRef nextSibling() const override { return related(TreeMember::NextSibling, &TreeNode::nextSibling); }
        int32_t bringIntoView() override {
            state_->fails(TreeMember::BringIntoView, inner_.get());
            return inner_->bringIntoView();
        }
        const void* identity() const override {
            ++state_->comparisons;
            return inner_->identity();
        }
        bool sameNode(const TreeNode& other) const override {
            ++state_->comparisons;
            return inner_->identity() == other.identity();
        }
        std::optional<uint64_t> treeChangeCount() const override {
            if (state_->fails(TreeMember::ChangeCount, inner_.get())) return std::nullopt;
            return inner_->treeChangeCount();
        }
        std::optional<uint64_t> branchChangedAt() const override {
            if (state_->fails(TreeMember::ChangeCount, inner_.get())) return std::nullopt;
            return inner_->branchChangedAt();
        }

        std::string className() const override { return "SSNode"; }
        Variant get(std::string_view member, const Variant* arg = nullptr) override {
            if (ascii::equalsNoCase(member, "Level") && state_->fails(TreeMember::Level, inner_.get()))
                return Variant::string("oben");
            return state_->wrap(inner_->get(member, arg));
        }
        void put(std::string_view member, const Variant& value) override { inner_->put(member, value); }
        Variant call(std::string_view member, std::span<Variant> args = {}) override {
            if (ascii::equalsNoCase(member, "EnsureVisible")) state_->fails(TreeMember::EnsureVisible, inner_.get());
            return state_->wrap(inner_->call(member, args));
        }

    private:
        TreeNodeRef related(TreeMember m, TreeNodeRef (TreeNode::*of)() const) const {
            if (state_->fails(m, inner_.get())) return nullptr;
            return wrap(((*inner_).*of)(), state_);
        }
        std::shared_ptr<TreeNode> inner_;
        std::shared_ptr<State> state_;
    };

    // An object of the tree's library that is not a node: it has no members.
    class Column : public Object {
    public:
        std::string className() const override { return "SSColumn"; }
    };
    static Variant notANode() { return Variant::object(std::make_shared<Column>()); }

    std::shared_ptr<State> state_;
};

inline Variant FailingTree::State::wrap(const Variant& v) {
    if (auto node = std::dynamic_pointer_cast<TreeNode>(v.isObject() ? v.rawObject() : nullptr))
        return Variant::object(std::make_shared<Node>(node, shared_from_this()));
    return v;
}

}  // namespace tavo
