#include "tavo/ssaddon/tavo_ss_tree_controller.h"

#include <algorithm>

#include "tavo/host/error.h"
#include "tavo/host/skip_on_error.h"
#include "tavo/host/value_conversions.h"
#include "treecontroller/tree_pictures.h"
#include "treecontroller/tree_skip.h"
#include "treecontroller/walked_top_level.h"

namespace tavo {

namespace {

constexpr uint32_t kButtonFace = 0x8000000F;

constexpr std::array<const char*, TavoSSTreeController::kButtonCount> kToolTipProperties = {
    "ToolTipTextPlus", "ToolTipTextPlusPlus", "ToolTipTextMinusMinus", "ToolTipTextMinus"};
constexpr std::array<const char*, TavoSSTreeController::kButtonCount> kDefaultToolTips = {
    "Aktuelles Element aufklappen", "Alle Elemente aufklappen", "Alle Elemente zuklappen",
    "Aktuelles Element zuklappen"};

constexpr const char* kBindingHint =
    "Damit dieses Control weiß, welchen Tree es steuern soll, sollte man im Form_Load Ereignis die folgende "
    "Zeile einfügen:\r\nSet TavoSSTreeController1.mySSTree = SSTree1";

// Design data in twips. Button 3 stands only 225 twips right of button 2,
// where the others are 240 apart: layouts made for the strip expect it there.
constexpr std::array<float, TavoSSTreeController::kButtonCount> kButtonLeft = {60, 300, 540, 765};
constexpr float kButtonSize = 240;
constexpr float kStripWidth = 1080;
constexpr float kStripHeight = 225;
constexpr float kUpTop = 600, kDownTop = 870, kDisabledTop = 1140;

template <class T>
T& deref(const std::shared_ptr<T>& obj, const char* what) {
    if (!obj) throwHostError(err::ObjectNotSet, std::string(what) + " is Nothing");
    return *obj;
}

// The object a member returned, without taking a reference of our own: the
// value holds it for as long as it is used here.
Object& objectOf(const Variant& v, const char* what) {
    if (!v.isObject()) throwHostError(err::TypeMismatch, std::string(what) + " is not an object");
    return deref(v.rawObject(), what);
}

TreeNodeRef toNode(const Variant& v) {
    if (v.isNothing()) return nullptr;
    const Object& obj = objectOf(v, "the node");
    auto node = std::dynamic_pointer_cast<TreeNode>(v.rawObject());
    if (!node) throwHostError(err::TypeMismatch, obj.className() + " object is not a node of a tree view");
    return node;
}

// The tree's collection takes a 16-bit index as long as one will do; beyond
// that a 32-bit one, so that trees of any size can be walked.
Variant nodeIndex(int32_t i) {
    return i <= INT16_MAX ? Variant::integer(static_cast<int16_t>(i)) : Variant::longValue(i);
}

}  // namespace

TavoSSTreeController::TavoSSTreeController(ControlSite& site)
    : Control(site), walk_(depth_, [this](TreeSkip& skip) { return treeSwitchedOff(skip); }) {
    // The strip first, so that the buttons stand in front of it.
    ChildDesign back;
    back.name = "imgBack";
    back.width = kStripWidth;
    back.height = kStripHeight;
    back.picture = treeBackgroundPicture();
    imgBack_ = site.addImage(back);

    auto addSet = [&](ImageSet& set, const char* name, float top, bool visible, TreeButtonLook look) {
        for (int k = 0; k < kButtonCount; ++k) {
            ChildDesign d;
            d.name = name;
            d.index = k;
            d.left = kButtonLeft[k];
            d.top = top;
            d.width = kButtonSize;
            d.height = kButtonSize;
            d.visible = visible;
            d.picture = treeButtonPicture(k, look);
            set[k] = site.addImage(d);
        }
    };
    addSet(img_, "img", 0, true, TreeButtonLook::Normal);
    addSet(imgUp_, "imgUp", kUpTop, false, TreeButtonLook::Normal);
    addSet(imgDown_, "imgDown", kDownTop, false, TreeButtonLook::Pressed);
    addSet(imgDisabled_, "imgDisabled", kDisabledTop, false, TreeButtonLook::Disabled);
    showPictures(imgUp_);

    for (int k = 0; k < kButtonCount; ++k) {
        img_[k]->onMouseDown = [this, k](int16_t, int16_t, float, float) { imgMouseDown(k); };
        img_[k]->onMouseUp = [this, k](int16_t, int16_t, float, float) { imgMouseUp(k); };
        img_[k]->onClick = [this, k] { imgClick(k); };
    }
}

// The images' handlers capture this; the host may keep the images a little
// longer than the control.
TavoSSTreeController::~TavoSSTreeController() {
    for (const auto& image : img_) {
        image->onMouseDown = nullptr;
        image->onMouseUp = nullptr;
        image->onClick = nullptr;
    }
}

// ---- Properties -------------------------------------------------------------

uint32_t TavoSSTreeController::BackColor() const { return site().backColor(); }

void TavoSSTreeController::setBackColor(uint32_t New_BackColor) {
    site().setBackColor(New_BackColor);
    site().propertyChanged("BackColor");
}

bool TavoSSTreeController::Enabled() const { return site().enabled(); }

void TavoSSTreeController::setEnabled(bool New_Enabled) {
    site().setEnabled(New_Enabled);
    showPictures(New_Enabled ? imgUp_ : imgDisabled_);
    site().propertyChanged("Enabled");
}

void TavoSSTreeController::Refresh() {
    site().refresh();
    for (const auto& image : img_) image->refresh();
}

void TavoSSTreeController::setMySSTree(const ObjectRef& New_SSTree) {
    bindTree(toControlReference(New_SSTree));
    site().propertyChanged("mySSTree");
}

void TavoSSTreeController::setToolTipTextPlus(const std::string& New_ToolTipTextPlus) {
    setToolTip(0, New_ToolTipTextPlus, "ToolTipTextPlus");
}
void TavoSSTreeController::setToolTipTextPlusPlus(const std::string& New_ToolTipTextPlusPlus) {
    setToolTip(1, New_ToolTipTextPlusPlus, "ToolTipTextPlusPlus");
}
void TavoSSTreeController::setToolTipTextMinusMinus(const std::string& New_ToolTipTextMinusMinus) {
    setToolTip(2, New_ToolTipTextMinusMinus, "ToolTipTextMinusMinus");
}
void TavoSSTreeController::setToolTipTextMinus(const std::string& New_ToolTipTextMinus) {
    setToolTip(3, New_ToolTipTextMinus, "ToolTipTextMinus");
}

void TavoSSTreeController::setToolTip(int k, const std::string& text, std::string_view property) {
    toolTips_[k] = text;
    img_[k]->setToolTipText(text);
    site().propertyChanged(property);
}

void TavoSSTreeController::applyToolTips() {
    for (int k = 0; k < kButtonCount; ++k) img_[k]->setToolTipText(toolTips_[k]);
}

// The buttons show the holders' picture objects themselves, never copies.
void TavoSSTreeController::showPictures(const ImageSet& from) {
    for (int k = 0; k < kButtonCount; ++k) img_[k]->setPicture(from[k]->picture());
}

// ---- Lifecycle --------------------------------------------------------------

void TavoSSTreeController::InitProperties() {
    for (int k = 0; k < kButtonCount; ++k) toolTips_[k] = kDefaultToolTips[k];
    applyToolTips();
}

void TavoSSTreeController::ReadProperties(PropertyStore& store) {
    site().setBackColor(store.ReadProperty("BackColor", colourValue(kButtonFace)).toColour());
    const bool enabled = store.ReadProperty("Enabled", Variant::boolean(true)).isTrue();
    site().setEnabled(enabled);
    // A control saved disabled comes back with grey buttons: it ignores the
    // mouse, and normal pictures would promise otherwise.
    showPictures(enabled ? imgUp_ : imgDisabled_);
    bindTree(toControlReference(store.ReadProperty("mySSTree", Variant::object(nullptr)).toObject()));
    for (int k = 0; k < kButtonCount; ++k)
        toolTips_[k] = store.ReadProperty(kToolTipProperties[k], Variant::string(kDefaultToolTips[k])).toString();
    applyToolTips();
}

void TavoSSTreeController::WriteProperties(PropertyStore& store) {
    store.WriteProperty("BackColor", colourValue(site().backColor()), colourValue(kButtonFace));
    store.WriteProperty("Enabled", Variant::boolean(site().enabled()), Variant::boolean(true));
    store.WriteProperty("mySSTree", Variant::object(tree_), Variant::object(nullptr));
    for (int k = 0; k < kButtonCount; ++k)
        store.WriteProperty(kToolTipProperties[k], Variant::string(toolTips_[k]), Variant::string(kDefaultToolTips[k]));
}

// Whatever size the host or the user gives it, the control keeps the size of
// its strip; a step the host refuses is passed over.
void TavoSSTreeController::Resize() {
    SkipOnError skip;
    skip.step([&] { site().setWidth(imgBack_->width()); });
    skip.step([&] { site().setHeight(imgBack_->height()); });
}

// ---- Buttons ----------------------------------------------------------------

void TavoSSTreeController::imgMouseDown(int Index) { img_[Index]->setPicture(imgDown_[Index]->picture()); }

void TavoSSTreeController::imgMouseUp(int Index) { img_[Index]->setPicture(imgUp_[Index]->picture()); }

void TavoSSTreeController::imgClick(int Index) {
    TreeSkip skip;
    if (!tree_) {
        skip.step([&] { host().msgBox(kBindingHint, 0); });
        return;
    }
    switch (Index) {
    case 0:
        skip.step([&] { ExpandAll(toNode(deref(tree_, "mySSTree").get("SelectedItem")), vbTrue, vbFalse); });
        break;
    case 1:
        expandOrCollapseAll(true, skip);
        break;
    case 2: {
        // Scrolled to the top before anything closes, so the user is not left
        // looking at rows that are about to vanish.
        const Variant first = nodeIndex(1);
        skip.step([&] { objectOf(deref(tree_, "mySSTree").get("Nodes", &first), "Nodes(1)").call("EnsureVisible"); });
        expandOrCollapseAll(false, skip);
        break;
    }
    case 3:
        skip.step([&] { ExpandAll(toNode(deref(tree_, "mySSTree").get("SelectedItem")), vbFalse, vbFalse); });
        break;
    default:
        break;
    }
}

// Every top-level node, in collection order, is expanded or collapsed with its
// subtree and all later top-level siblings with theirs. What the tree shows and
// raises is what walking every later branch again would give; the branches
// that nothing has changed since the command walked them are not walked again.
void TavoSSTreeController::expandOrCollapseAll(bool expanding, TreeSkip& skip) {
    // A tree that can tell that nobody else sees the steps takes them in one
    // go; within another walk, where nothing is brought into view, it does
    // not. Not done in one go is no failure: the command walks node by node.
    if (treeReads_ && depth_ == 0 && answerOr(false, [&] { return treeReads_->allAtOnce(expanding); })) return;
    int32_t count = 0;
    skip.step([&] {
        count = objectOf(deref(tree_, "mySSTree").get("Nodes"), "Nodes").get("Count").toLong();
    });
    WalkedTopLevel walked;
    for (int32_t i = 1; i <= count; ++i) {
        bool levelKnown = false;
        const bool topLevel = skip.test([&] {
            // The rows the tree says are not top-level are passed over at once
            // (never back: an answer before i would walk the same rows for ever).
            if (const auto first = treeReads_ ? treeReads_->firstTopLevel(i, count) : std::nullopt) {
                i = std::max(i, *first);
                levelKnown = true;
                return i <= count;
            }
            const Variant index = nodeIndex(i);
            const Variant level =
                treeReads_ ? treeReads_->nodeLevelMember(index)
                           : objectOf(deref(tree_, "mySSTree").get("Nodes", &index), "the node").get("Level");
            levelKnown = true;
            return Variant::compare(level, Variant::integer(1)) == 0;
        });
        if (!topLevel) continue;
        const Variant index = nodeIndex(i);
        skip.step([&] {
            const TreeNodeRef node = nodeAt(index);
            // Not known to be a top-level node: walked as the rules say.
            const bool watched = node && levelKnown && walked.beginCall(*node);
            const bool levelDone = walk_.run(node, expanding, true, watched ? &walked : nullptr);
            if (watched) walked.endCall(levelDone);
        });
    }
}

bool TavoSSTreeController::treeSwitchedOff(TreeSkip& skip) const {
    return skip.test([&] {
        Object& tree = deref(tree_, "mySSTree");
        if (treeReads_) return treeReads_->disabledOrHidden();
        const Variant enabled = tree.get("Enabled");
        const Variant visible = tree.get("Visible");
        return enabled.toBoolean() == vbFalse || visible.toBoolean() == vbFalse;
    });
}

// The commands read the tree's Enabled, Visible, Nodes(i) and Level for every
// node; a tree that offers them directly spares each the lookup by name.
void TavoSSTreeController::bindTree(std::shared_ptr<Control> tree) {
    tree_ = std::move(tree);
    treeReads_ = dynamic_cast<TreeViewReads*>(tree_.get());
}

TreeNodeRef TavoSSTreeController::nodeAt(const Variant& index) const {
    Object& tree = deref(tree_, "mySSTree");
    return treeReads_ ? treeReads_->nodeMember(index) : toNode(tree.get("Nodes", &index));
}

void TavoSSTreeController::ExpandAll(const TreeNodeRef& myNode, int16_t doExpanding, int16_t DoItForAllOnTheSameLevel) {
    walk_.run(myNode, doExpanding != 0, DoItForAllOnTheSameLevel != 0);
}

// ---- Late-bound interface ---------------------------------------------------

namespace {

using ElementOf = const std::shared_ptr<Image>& (TavoSSTreeController::*)(int) const;

Variant element(const TavoSSTreeController& c, ElementOf set, const char* name, const Variant* arg) {
    if (!arg) throwHostError(err::InvalidProcedureCall, std::string(name) + " needs an element index");
    const int32_t k = arg->toLong();
    if (k < 0 || k >= TavoSSTreeController::kButtonCount)
        throwHostError(err::ControlArrayElementMissing, std::string(name) + "(" + std::to_string(k) + ")");
    return Variant::object((c.*set)(k));
}

const MemberTable<TavoSSTreeController>& members() {
    using C = TavoSSTreeController;
    static const MemberTable<C> table = [] {
        MemberTable<C> t;
        t.property(
            "BackColor", [](C& c, const Variant*) { return colourValue(c.BackColor()); },
            [](C& c, const Variant& v) { c.setBackColor(v.toColour()); });
        t.property(
            "Enabled", [](C& c, const Variant*) { return Variant::boolean(c.Enabled()); },
            [](C& c, const Variant& v) { c.setEnabled(v.isTrue()); });
        t.method("Refresh", [](C& c, std::span<Variant>) {
            c.Refresh();
            return Variant();
        });
        t.property(
            "mySSTree", [](C& c, const Variant*) { return Variant::object(c.mySSTree()); }, {},
            [](C& c, const Variant& v) { c.setMySSTree(v.toObject()); });
        t.method("ExpandAll", [](C& c, std::span<Variant> args) {
            if (args.size() != 3)
                throwHostError(err::InvalidProcedureCall, "ExpandAll takes 3 arguments (myNode, doExpanding, "
                                                          "DoItForAllOnTheSameLevel), not " +
                                                              std::to_string(args.size()));
            c.ExpandAll(toNode(args[0]), args[1].toInteger(), args[2].toInteger());
            return Variant();
        });
        t.property(
            "ToolTipTextPlus", [](C& c, const Variant*) { return Variant::string(c.ToolTipTextPlus()); },
            [](C& c, const Variant& v) { c.setToolTipTextPlus(v.toString()); });
        t.property(
            "ToolTipTextPlusPlus", [](C& c, const Variant*) { return Variant::string(c.ToolTipTextPlusPlus()); },
            [](C& c, const Variant& v) { c.setToolTipTextPlusPlus(v.toString()); });
        t.property(
            "ToolTipTextMinusMinus", [](C& c, const Variant*) { return Variant::string(c.ToolTipTextMinusMinus()); },
            [](C& c, const Variant& v) { c.setToolTipTextMinusMinus(v.toString()); });
        t.property(
            "ToolTipTextMinus", [](C& c, const Variant*) { return Variant::string(c.ToolTipTextMinus()); },
            [](C& c, const Variant& v) { c.setToolTipTextMinus(v.toString()); });
        t.property("img", [](C& c, const Variant* k) { return element(c, &C::img, "img", k); });
        t.property("imgUp", [](C& c, const Variant* k) { return element(c, &C::imgUp, "imgUp", k); });
        t.property("imgDown", [](C& c, const Variant* k) { return element(c, &C::imgDown, "imgDown", k); });
        t.property("imgDisabled", [](C& c, const Variant* k) { return element(c, &C::imgDisabled, "imgDisabled", k); });
        t.property("imgBack", [](C& c, const Variant*) { return Variant::object(c.imgBack()); });
        return t;
    }();
    return table;
}

}  // namespace

Variant TavoSSTreeController::getMember(std::string_view member, const Variant* arg) {
    return members().get(*this, member, arg);
}

void TavoSSTreeController::putMember(std::string_view member, const Variant& value) {
    members().put(*this, member, value);
}

void TavoSSTreeController::putRefMember(std::string_view member, const Variant& value) {
    members().putRef(*this, member, value);
}

Variant TavoSSTreeController::callMember(std::string_view member, std::span<Variant> args) {
    return members().call(*this, member, args);
}

}  // namespace tavo
