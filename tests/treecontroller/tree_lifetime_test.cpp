// Tree controllers whose binding outlives a form, or points back at the
// controllers themselves: they are freed with their form, and a click does
// nothing harmful.
#include "tests/treecontroller/tree_controller_fixture.h"

#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {
namespace {

struct BindingCase {
    const char* name;
    const char* controls;  // the blocks of a form file between Begin Form and End
};

class TreeControllerBinding : public TreeControllerTest, public ::testing::WithParamInterface<BindingCase> {};

// Every button clicked once: no hint, no error out of a handler, every
// button back to its normal picture.
void expectClicksDoNothing(HeadlessHost& host, const TavoSSTreeController& c) {
    for (int k = 0; k < TavoSSTreeController::kButtonCount; ++k) {
        host.postClick(c.img(k));
        host.runUntilIdle();
        EXPECT_EQ(c.img(k)->picture(), c.imgUp(k)->picture()) << "button " << k;
    }
    EXPECT_TRUE(host.messageBoxes().empty());
    EXPECT_TRUE(host.handlerErrors().empty());
}

TEST_P(TreeControllerBinding, LoadsClicksHarmlesslyAndGoesWithItsForm) {
    const std::string text = std::string("VERSION 1.00\nBegin Form Form1\n") + GetParam().controls + "End\n";
    form->load(parseFormText(text, "bound.frm"));
    std::vector<std::weak_ptr<Control>> loaded;
    for (const auto& c : form->controls()) {
        loaded.push_back(c);
        if (auto strip = std::dynamic_pointer_cast<TavoSSTreeController>(c)) {
            ASSERT_NE(strip->mySSTree(), nullptr);
            expectClicksDoNothing(host, *strip);
        }
    }
    form.reset();
    for (const auto& c : loaded) EXPECT_TRUE(c.expired()) << "a control outlived its form";
}

INSTANTIATE_TEST_SUITE_P(
    Cycles, TreeControllerBinding,
    ::testing::Values(BindingCase{"BoundToItself", "   Begin TavoSSAddOn.TavoSSTreeController Ctl1\n"
                                                   "      mySSTree = Control Ctl1\n"
                                                   "   End\n"},
                      BindingCase{"BoundToEachOther", "   Begin TavoSSAddOn.TavoSSTreeController Ctl1\n"
                                                      "      mySSTree = Control Ctl2\n"
                                                      "   End\n"
                                                      "   Begin TavoSSAddOn.TavoSSTreeController Ctl2\n"
                                                      "      mySSTree = Control Ctl1\n"
                                                      "   End\n"}),
    [](const auto& binding) { return std::string(binding.param.name); });

TEST_F(TreeControllerTest, ATreeWhoseFormHasGoneAnswersWithAnErrorAndAClickLeavesItAlone) {
    buildTree(*tree, "A(A1) B");
    tree->select("A");
    auto old = tree;
    form->load(parseFormText("VERSION 1.00\n"
                             "Begin Form Form1\n"
                             "   Begin TavoSSAddOn.TavoSSTreeController Ctl1\n"
                             "   End\n"
                             "End\n",
                             "other.frm"));
    auto strip = std::dynamic_pointer_cast<TavoSSTreeController>(form->find("Ctl1"));
    // Bound the way a script binds an object it printed before the load.
    strip->setMySSTree(old);
    expectClicksDoNothing(host, *strip);
    EXPECT_FALSE(old->node("A")->expanded());
    try {
        old->get("Nodes");
        FAIL() << "a tree view whose form has gone answered";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::ObjectUnloaded);
        EXPECT_NE(std::string(e.what()).find("\"SSTree1\" no longer exists"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace tavo
