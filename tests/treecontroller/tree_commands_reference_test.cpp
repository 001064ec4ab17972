// The commands against their plain reading, on random trees whose
// application fights back: handlers on the tree's notifications close what
// expand all opens (and open what collapse all closes), call ExpandAll
// themselves, add, remove and sort nodes, and switch the tree off and on
// while a command runs. What the tree raises, what it shows at every
// bring-into-view and at the end must be the same under both.
#include <functional>
#include <random>

#include "tests/support/failing_tree.h"
#include "tests/support/plain_tree_walk.h"
#include "tests/treecontroller/tree_controller_fixture.h"

namespace tavo {
namespace {

// How the tree is reached: directly; through wrappers made afresh on every
// call; or through wrappers of a tree that does not count its changes.
enum class Reach { Direct, Wrapped, Uncounted };

// One side of the comparison: a tree, the object the commands are bound to,
// and everything the tree raised or showed, in order.
struct Side {
    std::shared_ptr<HeadlessTreeView> view;
    std::shared_ptr<Control> bound;
    std::vector<std::string> seen;
    // Opens or closes a node as an application's handler calls ExpandAll.
    std::function<void(const TreeNodeRef&, int16_t, int16_t)> expandAll;
};

// What a handler does, and when: on the opening or closing of a node (or the
// bring-into-view of a node), at most a few times in each step.
struct Reaction {
    enum Kind { SetNode, CallExpandAll, AddTopLevel, AddChild, Remove, Sort, SwitchOff, SwitchOn, Count };
    Kind kind;
    std::string trigger;
    bool onView;
    bool on;     // the trigger's new state
    bool state;  // the target's, or which switch to turn off
    std::string target;
    int fired = 0;
};

class TreeCommandsReference : public TreeControllerTest, public ::testing::WithParamInterface<Reach> {
protected:
    std::shared_ptr<HeadlessTreeView> newTree(const std::string& name) { return addTree(name); }

    std::shared_ptr<Control> reach(const std::shared_ptr<HeadlessTreeView>& view) {
        if (GetParam() == Reach::Direct) return view;
        FailurePlan plan;
        if (GetParam() == Reach::Uncounted) plan = {TreeMember::ChangeCount, Failure::NotANode, 0, "", true};
        sites.push_back(host.createSite(form->window(), view->instanceName() + "W", {}));
        return std::make_shared<FailingTree>(*sites.back(), view, plan);
    }

    void buildRandom(std::mt19937& rng, Side& a, Side& b) {
        const int n = std::uniform_int_distribution<int>(1, 30)(rng);
        for (int i = 0; i < n; ++i) {
            const int parent = std::uniform_int_distribution<int>(-4, i - 1)(rng);
            const std::string key = "k" + std::to_string(i), text = std::to_string(rng() % 10);
            const auto place = rng() % 4 ? HeadlessTreeView::Place::Last : HeadlessTreeView::Place::First;
            const bool expanded = rng() % 2;
            for (Side* s : {&a, &b}) {
                s->view->addNode(key, parent < 0 ? "" : "k" + std::to_string(parent), text, place);
                s->view->node(key)->setExpanded(expanded);
            }
        }
        if (rng() % 2) {
            const bool descending = rng() % 2;
            for (Side* s : {&a, &b}) s->view->sortChildren("", descending);
        }
        const std::string selected = "k" + std::to_string(rng() % n);
        for (Side* s : {&a, &b}) s->view->select(selected);
    }

    static std::vector<Reaction> randomReactions(std::mt19937& rng, int nodes) {
        std::vector<Reaction> out(1 + rng() % 4);
        auto key = [&] { return "k" + std::to_string(rng() % nodes); };
        for (Reaction& r : out) {
            r.kind = static_cast<Reaction::Kind>(rng() % Reaction::Count);
            r.trigger = key();
            r.onView = rng() % 4 == 0;
            // The tree back on as soon as any node comes into view.
            if (r.kind == Reaction::SwitchOn) r.onView = true, r.trigger.clear();
            r.on = rng() % 2;
            r.state = rng() % 4 ? !r.on : r.on;  // mostly against the command
            r.target = key();
        }
        return out;
    }

    // The reactions' work on one side; the same on both as long as the sides agree.
    void react(Side& s, Reaction& r, int& added) {
        if (++r.fired > 3) return;
        HeadlessTreeView& v = *s.view;
        const bool targetThere = v.node(r.target) != nullptr;
        switch (r.kind) {
        case Reaction::SetNode:
            if (targetThere) v.node(r.target)->setExpanded(r.state);
            break;
        case Reaction::CallExpandAll:
            if (targetThere) s.expandAll(v.node(r.target), toTruth(r.state), toTruth(r.fired % 2));
            break;
        case Reaction::AddTopLevel:
            v.addNode("new" + std::to_string(++added), "", "n", r.state ? HeadlessTreeView::Place::First
                                                                        : HeadlessTreeView::Place::Last);
            break;
        case Reaction::AddChild:
            if (targetThere) v.addNode("new" + std::to_string(++added), r.target, "n");
            break;
        case Reaction::Remove:
            if (targetThere) v.removeNode(r.target);
            break;
        case Reaction::Sort:
            v.sortChildren(targetThere && r.fired % 2 ? r.target : "", r.state);
            break;
        case Reaction::SwitchOff:
            (r.state ? v.setEnabled(false) : v.setVisible(false));
            break;
        case Reaction::SwitchOn:
            v.setEnabled(true);
            v.setVisible(true);
            break;
        case Reaction::Count:
            break;
        }
    }

    void watch(Side& s, std::vector<Reaction>& reactions, int& added) {
        s.view->onExpandedChanged = [&s, &reactions, &added, this](const std::string& key, bool open) {
            s.seen.push_back((open ? "+" : "-") + key);
            for (Reaction& r : reactions)
                if (!r.onView && r.trigger == key && r.on == open) react(s, r, added);
        };
        s.view->onBringIntoView = [&s, &reactions, &added, this](const std::string& key) {
            s.seen.push_back("view " + key + "\n" + s.view->dump());
            for (Reaction& r : reactions)
                if (r.onView && (r.trigger == key || r.trigger.empty())) react(s, r, added);
        };
    }

    std::vector<std::unique_ptr<ControlSite>> sites;
};

TEST_P(TreeCommandsReference, RandomTreesUnderFightingHandlersShowAndRaiseWhatThePlainWalkDoes) {
    for (unsigned seed = 0; seed < 1000; ++seed) {
        std::mt19937 rng(seed);
        Side mine, plain;
        mine.view = newTree("M" + std::to_string(seed));
        plain.view = newTree("P" + std::to_string(seed));
        buildRandom(rng, mine, plain);
        mine.bound = reach(mine.view);
        plain.bound = reach(plain.view);
        ctl->setMySSTree(mine.bound);
        PlainTreeWalk reference(*plain.bound);
        mine.expandAll = [this](const TreeNodeRef& n, int16_t e, int16_t s) { ctl->ExpandAll(n, e, s); };
        plain.expandAll = [&reference](const TreeNodeRef& n, int16_t e, int16_t s) { reference.ExpandAll(n, e, s); };

        const int nodes = static_cast<int>(mine.view->count());
        std::vector<Reaction> mineReactions = randomReactions(rng, nodes), plainReactions = mineReactions;
        int mineAdded = 0, plainAdded = 0;
        watch(mine, mineReactions, mineAdded);
        watch(plain, plainReactions, plainAdded);

        for (int step = 0; step < 6; ++step) {
            for (auto* rs : {&mineReactions, &plainReactions})
                for (Reaction& r : *rs) r.fired = 0;
            constexpr int kPicks[] = {0, 1, 1, 2, 2, 3, 4};  // 4: ExpandAll called directly
            const int k = kPicks[rng() % 7];
            if (k < 4) {
                click(k);
                reference.click(k);
            } else {
                const std::string key = "k" + std::to_string(rng() % nodes);
                const int16_t e = static_cast<int16_t>(static_cast<int>(rng() % 3) - 1);
                const int16_t s = rng() % 2 ? vbTrue : vbFalse;
                if (mine.view->node(key)) {
                    ctl->ExpandAll(mine.view->node(key), e, s);
                    reference.ExpandAll(plain.view->node(key), e, s);
                }
            }
            ASSERT_EQ(mine.seen, plain.seen) << "seed " << seed << " step " << step;
            ASSERT_EQ(mine.view->dump(), plain.view->dump()) << "seed " << seed << " step " << step;
            ASSERT_EQ(reference.depth(), 0);
        }
        for (Side* s : {&mine, &plain}) {
            s->view->onExpandedChanged = nullptr;
            s->view->onBringIntoView = nullptr;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Reaches, TreeCommandsReference,
                         ::testing::Values(Reach::Direct, Reach::Wrapped, Reach::Uncounted),
                         [](const ::testing::TestParamInfo<Reach>& p) {
                             return std::string(p.param == Reach::Direct    ? "Direct"
                                                : p.param == Reach::Wrapped ? "Wrapped"
                                                                            : "Uncounted");
                         });

}  // namespace
}  // namespace tavo
