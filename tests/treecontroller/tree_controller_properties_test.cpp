// The controller as a control on a form: its button looks, its fixed size, its
// saved keys and its late-bound surface.
#include "tests/treecontroller/tree_controller_fixture.h"

#include "support/refused_value.h"
#include "tavo/host/error.h"
#include "tavo/host/form_file.h"

namespace tavo {
namespace {

using ::testing::ElementsAre;

const char* const kGermanTips[] = {"Aktuelles Element aufklappen", "Alle Elemente aufklappen",
                                  "Alle Elemente zuklappen", "Aktuelles Element zuklappen"};

void expectButtonsShow(const TavoSSTreeController& c, const std::shared_ptr<Image>& (TavoSSTreeController::*holder)(int) const) {
    for (int k = 0; k < 4; ++k) EXPECT_EQ(c.img(k)->picture(), (c.*holder)(k)->picture()) << "button " << k;
}

TEST_F(TreeControllerTest, ButtonsShowTheHoldersPictureObjectsForEachState) {
    expectButtonsShow(*ctl, &TavoSSTreeController::imgUp);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NE(ctl->imgUp(k)->picture(), ctl->imgDown(k)->picture());
        EXPECT_NE(ctl->imgUp(k)->picture(), ctl->imgDisabled(k)->picture());
        EXPECT_FALSE(ctl->imgUp(k)->visible());
    }

    host.postMouseDown(ctl->img(1));
    host.runUntilIdle();
    EXPECT_EQ(ctl->img(1)->picture(), ctl->imgDown(1)->picture());
    ctl->setEnabled(false);
    expectButtonsShow(*ctl, &TavoSSTreeController::imgDisabled);
    ctl->setEnabled(true);
    expectButtonsShow(*ctl, &TavoSSTreeController::imgUp);  // also the one left pressed
    EXPECT_THAT(changes, ElementsAre("Enabled", "Enabled"));
}

TEST_F(TreeControllerTest, PressShowsThePressedLookUntilReleaseAndTheCommandRunsAfterIt) {
    bind("A(A1) B");
    host.postMouseDown(ctl->img(2));
    host.runUntilIdle();
    EXPECT_EQ(ctl->img(2)->picture(), ctl->imgDown(2)->picture());
    EXPECT_EQ(ctl->img(1)->picture(), ctl->imgUp(1)->picture());
    host.postMouseUp(ctl->img(2));
    host.runUntilIdle();
    EXPECT_EQ(ctl->img(2)->picture(), ctl->imgUp(2)->picture());

    bool normalWhenCommandRan = false;
    tree->onBringIntoView = [&](const std::string&) {
        normalWhenCommandRan = ctl->img(2)->picture() == ctl->imgUp(2)->picture();
    };
    click(2);
    EXPECT_TRUE(normalWhenCommandRan);
}

// Where each image stands, in twips: the buttons 240 apart but the last,
// which stands 225 right of the third; the holders hidden below the strip.
TEST_F(TreeControllerTest, ImagesStandWhereTheDesignPutsThem) {
    struct Place {
        const char* set;
        const std::shared_ptr<Image>& (TavoSSTreeController::*element)(int) const;
        float top;
        bool visible;
    };
    const Place sets[] = {{"img", &TavoSSTreeController::img, 0, true},
                          {"imgUp", &TavoSSTreeController::imgUp, 600, false},
                          {"imgDown", &TavoSSTreeController::imgDown, 870, false},
                          {"imgDisabled", &TavoSSTreeController::imgDisabled, 1140, false}};
    const float lefts[] = {60, 300, 540, 765};
    for (const Place& p : sets) {
        for (int k = 0; k < 4; ++k) {
            const Image& image = *((*ctl).*p.element)(k);
            const std::string at = std::string(p.set) + "(" + std::to_string(k) + ")";
            EXPECT_EQ(image.left(), lefts[k]) << at;
            EXPECT_EQ(image.top(), p.top) << at;
            EXPECT_EQ(image.width(), 240) << at;
            EXPECT_EQ(image.height(), 240) << at;
            EXPECT_EQ(image.visible(), p.visible) << at;
        }
    }
    const Image& back = *ctl->imgBack();
    EXPECT_EQ(std::vector<float>({back.left(), back.top(), back.width(), back.height()}),
              std::vector<float>({0, 0, 1080, 225}));
    EXPECT_TRUE(back.visible());
}

TEST_F(TreeControllerTest, RefreshRepaintsTheSurfaceThenTheButtonsInOrder) {
    ctl->Refresh();
    EXPECT_THAT(host.trace(), ElementsAre("refresh TavoSSTreeController1", "refresh img(0)", "refresh img(1)",
                                          "refresh img(2)", "refresh img(3)"));
}

TEST_F(TreeControllerTest, BackColorGoesToTheSurfaceAndNotifies) {
    ctl->setBackColor(0x00C0FFEE);
    EXPECT_EQ(form->siteOf(*ctl)->backColor(), 0x00C0FFEEu);
    ctl->put("BackColor", Variant::longValue(static_cast<int32_t>(0x80000005)));
    EXPECT_EQ(ctl->BackColor(), 0x80000005u);
    EXPECT_THAT(changes, ElementsAre("BackColor", "BackColor"));
}

TEST_F(TreeControllerTest, KeepsTheStripSizeWhateverSizeItIsGiven) {
    ControlSite& site = *form->siteOf(*ctl);
    EXPECT_EQ(site.width(), 1080);
    EXPECT_EQ(site.height(), 225);
    for (auto [w, h] : {std::pair{5000.f, 3000.f}, {15.f, 15.f}, {0.f, 0.f}}) {
        site.setWidth(w);
        site.setHeight(h);
        EXPECT_EQ(site.width(), 1080);
        EXPECT_EQ(site.height(), 225);
    }
    auto placedLarge = form->add(TavoSSTreeController::kProgId, "Big", {0, 0, 9000, 9000});
    EXPECT_EQ(form->siteOf(*placedLarge)->width(), 1080);
    EXPECT_EQ(form->siteOf(*placedLarge)->height(), 225);
}

TEST_F(TreeControllerTest, ToolTipsBelongToTheirOwnButtons) {
    for (int k = 0; k < 4; ++k) EXPECT_EQ(ctl->img(k)->toolTipText(), kGermanTips[k]);
    ctl->setToolTipTextMinus("zu");
    ctl->setToolTipTextMinusMinus("alle zu");
    EXPECT_EQ(ctl->img(3)->toolTipText(), "zu");
    EXPECT_EQ(ctl->img(2)->toolTipText(), "alle zu");
    EXPECT_EQ(ctl->img(1)->toolTipText(), kGermanTips[1]);
    EXPECT_EQ(ctl->ToolTipTextMinus(), "zu");
    EXPECT_THAT(changes, ElementsAre("ToolTipTextMinus", "ToolTipTextMinusMinus"));
}

TEST_F(TreeControllerTest, BindingTakesOnlyControlsAndKeepsTheOldTreeOnAFailure) {
    EXPECT_EQ(ctl->mySSTree(), nullptr);
    auto second = addTree("SSTree2");
    ctl->setMySSTree(tree);
    ctl->setMySSTree(second);
    EXPECT_EQ(ctl->mySSTree(), second);
    changes.clear();
    try {
        ctl->setMySSTree(ctl->img(0));
        FAIL() << "an image is not a control on a form";
    } catch (const HostError& e) {
        EXPECT_EQ(e.number(), err::TypeMismatch);
    }
    EXPECT_EQ(ctl->mySSTree(), second);
    EXPECT_TRUE(changes.empty());
}

TEST_F(TreeControllerTest, SavesOnlyWhatDiffersFromTheDefaultsInKeyOrder) {
    EXPECT_TRUE(form->save().controls.at(1).properties.entries().empty());

    ctl->setBackColor(0x00FF0000);
    ctl->setEnabled(false);
    ctl->setMySSTree(tree);
    ctl->setToolTipTextPlus("");
    ctl->setToolTipTextMinus("zu");
    const FormData saved = form->save();
    std::vector<std::string> keys;
    for (const auto& p : saved.controls.at(1).properties.entries()) keys.push_back(p.key);
    EXPECT_THAT(keys, ElementsAre("BackColor", "Enabled", "mySSTree", "ToolTipTextPlus", "ToolTipTextMinus"));
    EXPECT_EQ(saved.controls.at(1).properties.entries().at(2).refName, "SSTree1");

    // Through the file's text and back onto a new form.
    Form reloaded(host, "Form1", registry);
    reloaded.load(parseFormText(formatFormText(saved), "saved.frm"));
    auto again = std::dynamic_pointer_cast<TavoSSTreeController>(reloaded.find("TavoSSTreeController1"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->mySSTree(), reloaded.find("SSTree1"));
    EXPECT_EQ(again->BackColor(), 0x00FF0000u);
    EXPECT_FALSE(again->Enabled());
    expectButtonsShow(*again, &TavoSSTreeController::imgDisabled);
    EXPECT_EQ(again->ToolTipTextPlus(), "");
    EXPECT_EQ(again->img(0)->toolTipText(), "");
    EXPECT_EQ(again->ToolTipTextMinus(), "zu");
    EXPECT_EQ(again->ToolTipTextPlusPlus(), kGermanTips[1]);
}

// Ctl1 (its Begin on line 5, its keys from line 6) refuses a value; Ctl2
// after it must load in full, and a save must give the refused value back.
class RefusedTreeControllerValue : public TreeControllerTest,
                                   public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(RefusedTreeControllerValue, NamesFileLineAndKeyLoadsTheOtherControlsAndIsSavedBack) {
    const RefusedValue& c = GetParam();
    const std::string text =
        "VERSION 1.00\nBegin Form Form1\nBegin SSActiveTreeView.SSTree SSTree1\nEnd\n"
        "Begin TavoSSAddOn.TavoSSTreeController Ctl1\n" + c.lines +
        "\nEnd\nBegin TavoSSAddOn.TavoSSTreeController Ctl2\nmySSTree = Control SSTree1\nToolTipTextPlus = \"auf\"\n"
        "End\nEnd\n";
    const std::string saved = expectRefused(*form, text, "Ctl1", c);
    auto ctl2 = std::dynamic_pointer_cast<TavoSSTreeController>(form->find("Ctl2"));
    ASSERT_TRUE(ctl2);
    EXPECT_EQ(ctl2->mySSTree(), form->find("SSTree1"));
    EXPECT_EQ(ctl2->ToolTipTextPlus(), "auf");
    EXPECT_EQ(saved.find("= \"\""), std::string::npos) << "tooltips Ctl1 never read are not saved empty:\n" << saved;
}

constexpr int kMismatch = err::TypeMismatch;

INSTANTIATE_TEST_SUITE_P(
    EveryKey, RefusedTreeControllerValue,
    ::testing::Values(
        RefusedValue{"BackColorText", "BackColor = \"grau\"", "BackColor", 6, kMismatch, "\"grau\"", "BackColor = \"grau\""},
        RefusedValue{"BackColorHuge", "BackColor = 10000000000.0", "BackColor", 6, err::Overflow,
                           "10000000000 does not fit", "BackColor = 1e+10"},
        RefusedValue{"EnabledText", "Enabled = \"nein\"\nmySSTree = Control SSTree1\nToolTipTextMinus = \"zu\"",
                           "Enabled", 6, kMismatch, "\"nein\" cannot be converted to a truth value",
                           "mySSTree = Control SSTree1"},
        RefusedValue{"TreeNumber", "mySSTree = 5", "mySSTree", 6, kMismatch, "Integer", "mySSTree = 5"},
        RefusedValue{"TreeText", "mySSTree = \"SSTree1\"", "mySSTree", 6, kMismatch, "\"SSTree1\"",
                           "mySSTree = \"SSTree1\""},
        RefusedValue{"ToolTipPlusObject", "ToolTipTextPlus = Nothing", "ToolTipTextPlus", 6, kMismatch,
                           "Object cannot be converted to text", "ToolTipTextPlus = Nothing"},
        RefusedValue{"ToolTipPlusPlusObject", "ToolTipTextPlusPlus = Nothing", "ToolTipTextPlusPlus", 6, kMismatch,
                           "Object", "ToolTipTextPlusPlus = Nothing"},
        RefusedValue{"ToolTipMinusMinusObject", "ToolTipTextMinusMinus = Nothing", "ToolTipTextMinusMinus", 6,
                           kMismatch, "Object", "ToolTipTextMinusMinus = Nothing"},
        RefusedValue{"ToolTipMinusObject", "ToolTipTextPlus = \"a\"\nToolTipTextMinus = Nothing", "ToolTipTextMinus", 7,
                           kMismatch, "Object", "ToolTipTextMinus = Nothing"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(TreeControllerTest, LoadsDefaultsFromAnEmptyStoreWithoutNotifying) {
    FormData data;
    data.controls.push_back({TavoSSTreeController::kProgId, "Ctl", {}, {}, 0});
    form->load(data);
    auto loaded = std::dynamic_pointer_cast<TavoSSTreeController>(form->find("Ctl"));
    EXPECT_EQ(loaded->BackColor(), 0x8000000Fu);
    EXPECT_TRUE(loaded->Enabled());
    EXPECT_EQ(loaded->mySSTree(), nullptr);
    expectButtonsShow(*loaded, &TavoSSTreeController::imgUp);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(loaded->img(k)->toolTipText(), kGermanTips[k]);
    EXPECT_TRUE(changes.empty());
}

TEST_F(TreeControllerTest, ServesItsMembersAndChildrenByName) {
    ctl->putRef("mySSTree", Variant::object(tree));
    EXPECT_EQ(ctl->get("mySSTree").toObject(), tree);
    ctl->put("ToolTipTextPlusPlus", Variant::string("auf"));
    EXPECT_EQ(ctl->img(1)->toolTipText(), "auf");
    const Variant three = Variant::integer(3);
    EXPECT_EQ(ctl->get("imgDisabled", &three).toObject(), ctl->imgDisabled(3));
    EXPECT_EQ(ctl->get("imgBack").toObject(), ctl->imgBack());
    const Variant four = Variant::integer(4);
    EXPECT_THROW(ctl->get("img", &four), HostError);

    buildTree(*tree, "A(A1)");
    std::vector<Variant> args{Variant::object(tree->node("A")), Variant::integer(-1), Variant::integer(0)};
    ctl->call("ExpandAll", args);
    EXPECT_TRUE(tree->node("A1")->expanded());
    std::vector<Variant> tooFew{Variant::object(tree->node("A"))};
    EXPECT_THROW(ctl->call("ExpandAll", tooFew), HostError);
}

}  // namespace
}  // namespace tavo
