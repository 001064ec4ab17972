// The commands on a tree view that fails: any member at its n-th call, or on
// one node at every call, with the host's error, another exception or an
// answer that is not a node. Nothing reaches the application, the depth is
// back at 0, no walk goes on for ever, and the rest is done as the rules say:
// as the plain walk does it wherever the two make the same calls in the same
// order (the commands on the current node, ExpandAll, a tree with one
// top-level node, a failure tied to one node).
#include "tests/support/failing_tree.h"
#include "tests/support/plain_tree_walk.h"
#include "tests/treecontroller/tree_controller_fixture.h"

namespace tavo {
namespace {

struct FailureCase {
    TreeMember member;
    Failure how;
};

// A tree behind a failing wrapper, with all it raised and showed.
struct Failing {
    std::unique_ptr<ControlSite> site, wrapperSite;
    std::shared_ptr<HeadlessTreeView> view;
    std::shared_ptr<FailingTree> tree;
    std::vector<std::string> seen;

    Failing(HeadlessHost& host, Window& form, const std::string& name, std::string_view shape, const FailurePlan& plan)
        : site(host.createSite(form, name, {})), wrapperSite(host.createSite(form, name + "W", {})) {
        view = std::make_shared<HeadlessTreeView>(*site);
        buildTree(*view, shape);
        view->select("A");
        view->node("A1")->setExpanded(true);
        tree = std::make_shared<FailingTree>(*wrapperSite, view, plan, 5'000);
        view->onExpandedChanged = [this](const std::string& key, bool open) { seen.push_back((open ? "+" : "-") + key); };
        view->onBringIntoView = [this](const std::string& key) { seen.push_back("view " + key + "\n" + view->dump()); };
    }
};

class TreeCommandsUnderFailure : public TreeControllerTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    // Runs button k (4: ExpandAll on A with DoItForAllOnTheSameLevel) on both
    // trees and checks what must hold in any case.
    void runBoth(Failing& mine, Failing& plain, int k, const std::string& at) {
        ctl->setMySSTree(mine.tree);
        PlainTreeWalk reference(*plain.tree);
        if (k < 4) {
            click(k);
            reference.click(k);
        } else {
            ctl->ExpandAll(mine.view->node("A"), vbTrue, vbTrue);
            reference.ExpandAll(plain.view->node("A"), vbTrue, vbTrue);
        }
        for (const auto& line : host.trace()) EXPECT_EQ(line.rfind("error", 0), std::string::npos) << at << line;
        EXPECT_FALSE(mine.tree->ranAway()) << at;
        EXPECT_FALSE(plain.tree->ranAway()) << at;
        host.clearTrace();
    }

    void expectDepthBackAtZero(Failing& mine, const std::string& at) {
        ctl->setMySSTree(mine.view);
        mine.view->clearBroughtIntoView();
        ctl->ExpandAll(mine.view->node("A2"), vbTrue, vbFalse);
        EXPECT_EQ(mine.view->broughtIntoView().size(), 1u) << at << "the depth is back at 0";
    }
};

TEST_P(TreeCommandsUnderFailure, NothingReachesTheApplicationAndTheRestIsDoneAsTheRulesSay) {
    const FailureCase c = GetParam();
    const std::string_view oneTopLevel = "A(A1(A11) A2 A3(A31))", severalTopLevel = "A(A1(A11) A2) B(B1 B2) C(C1)";
    for (std::string_view shape : {oneTopLevel, severalTopLevel}) {
        for (int k = 0; k < 5; ++k) {
            const bool sameCalls = shape == oneTopLevel || k == 0 || k == 3 || k == 4;
            std::vector<FailurePlan> plans;
            for (int64_t n = 1; n <= 6; ++n) plans.push_back({c.member, c.how, n, "", false});
            for (const char* key : {"A", "A1", "B", "C1"}) plans.push_back({c.member, c.how, 0, key, false});
            for (const FailurePlan& plan : plans) {
                const std::string at = std::string(shape) + " button " + std::to_string(k) + " call " +
                                       std::to_string(plan.atCall) + " node " + plan.onKey + ": ";
                Failing mine(host, form->window(), "M", shape, plan);
                Failing plain(host, form->window(), "P", shape, plan);
                runBoth(mine, plain, k, at);
                if (sameCalls || !plan.onKey.empty()) {
                    EXPECT_EQ(mine.seen, plain.seen) << at;
                    EXPECT_EQ(mine.view->dump(), plain.view->dump()) << at;
                }
                expectDepthBackAtZero(mine, at);
            }
        }
    }
}

std::vector<FailureCase> everyFailure() {
    std::vector<FailureCase> out;
    for (int m = 0; m < static_cast<int>(TreeMember::Members); ++m)
        for (Failure how : {Failure::HostError, Failure::OtherException, Failure::NotANode})
            out.push_back({static_cast<TreeMember>(m), how});
    return out;
}

std::string failureName(const ::testing::TestParamInfo<FailureCase>& p) {
    static const char* const members[] = {"NextSibling", "LastSibling",   "ChildCount", "FirstChild", "SetExpanded",
                                          "BringIntoView", "Level",       "EnsureVisible", "Enabled", "Visible",
                                          "Count",       "Nodes",         "SelectedItem", "ChangeCount"};
    static const char* const kinds[] = {"HostError", "OtherException", "NotANode"};
    return std::string(members[static_cast<int>(p.param.member)]) + kinds[static_cast<int>(p.param.how)];
}

INSTANTIATE_TEST_SUITE_P(EveryMember, TreeCommandsUnderFailure, ::testing::ValuesIn(everyFailure()), failureName);

}  // namespace
}  // namespace tavo
