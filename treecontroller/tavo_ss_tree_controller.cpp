#include "treecontroller/tavo_ss_tree_controller.h"

#include <deque>
#include <vector>

#include "host/error.h"
#include "host/skip_on_error.h"
#include "host/value_conversions.h"
#include "treecontroller/tree_pictures.h"

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

TreeNode& deref(const TreeNodeRef& node) { return deref(node, "the node"); }

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

bool ownLastSibling(const TreeNodeRef& node) {
    TreeNodeRef last = deref(node).lastSibling();
    return last && last->sameNode(*node);
}

// The top-level nodes that an all-nodes command has already walked with
// their subtrees. A walk from a top-level node goes on to the last top-level
// node, so what is done is always the tail of the top level from `frontier()`
// on, held here in sibling order. The commands ask in collection order, which
// every tree view we know lists in sibling order too, so the cursor answers
// at once; any other order is found by a search.
class DoneTopLevel {
public:
    bool contains(const TreeNode& node) {
        if (cursor_ < tail_.size() && tail_[cursor_]->sameNode(node)) {
            ++cursor_;
            return true;
        }
        for (std::size_t i = 0; i < tail_.size(); ++i) {
            if (tail_[i]->sameNode(node)) {
                cursor_ = i + 1;
                return true;
            }
        }
        return false;
    }
    TreeNodeRef frontier() const { return tail_.empty() ? nullptr : tail_.front(); }
    // The nodes of a walk that stopped at the frontier come before the tail.
    void prepend(const std::vector<TreeNodeRef>& walked) {
        tail_.insert(tail_.begin(), walked.begin(), walked.end());
        cursor_ = 1;
    }
    void replace(const std::vector<TreeNodeRef>& walked) {
        tail_.assign(walked.begin(), walked.end());
        cursor_ = 1;
    }

private:
    std::deque<TreeNodeRef> tail_;
    std::size_t cursor_ = 0;
};

}  // namespace

TavoSSTreeController::TavoSSTreeController(ControlSite& site) : Control(site) {
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
    tree_ = toControlReference(New_SSTree);
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
    tree_ = toControlReference(store.ReadProperty("mySSTree", Variant::object(nullptr)).toObject());
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
    SkipOnError skip;
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
// subtree and all later top-level siblings with theirs. What one such call has
// walked stays done for the rest of the command, so each node is walked once
// however many top-level nodes there are; what the tree shows at each
// bring-into-view is what walking it again would have left.
void TavoSSTreeController::expandOrCollapseAll(bool expanding, SkipOnError& skip) {
    int32_t count = 0;
    skip.step([&] {
        count = objectOf(deref(tree_, "mySSTree").get("Nodes"), "Nodes").get("Count").toLong();
    });
    DoneTopLevel done;
    std::vector<TreeNodeRef> walked;
    for (int32_t i = 1; i <= count; ++i) {
        const Variant index = nodeIndex(i);
        Variant item;
        bool fetched = false;
        const bool topLevel = skip.test([&] {
            item = deref(tree_, "mySSTree").get("Nodes", &index);
            fetched = true;
            return Variant::compare(objectOf(item, "the node").get("Level"), Variant::integer(1)) == 0;
        });
        if (!topLevel || !fetched) continue;
        skip.step([&] {
            const TreeNodeRef node = toNode(item);
            if (!node) return;
            if (done.contains(*node)) {
                walk(node, expanding, true, node, nullptr);
                return;
            }
            walked.clear();
            switch (walk(node, expanding, true, done.frontier(), &walked)) {
            case TopLevelWalk::ToStop: done.prepend(walked); break;
            case TopLevelWalk::ToEnd: done.replace(walked); break;
            case TopLevelWalk::None: break;
            }
        });
    }
}

bool TavoSSTreeController::treeSwitchedOff(SkipOnError& skip) const {
    return skip.test([&] {
        Object& tree = deref(tree_, "mySSTree");
        const Variant enabled = tree.get("Enabled");
        const Variant visible = tree.get("Visible");
        return enabled.toBoolean() == vbFalse || visible.toBoolean() == vbFalse;
    });
}

void TavoSSTreeController::ExpandAll(const TreeNodeRef& myNode, int16_t doExpanding, int16_t DoItForAllOnTheSameLevel) {
    walk(myNode, doExpanding != 0, DoItForAllOnTheSameLevel != 0, nullptr, nullptr);
}

// A node is opened or closed before its children, children from the first
// child to the last sibling, the depth counted as a recursive walk would count
// it. The calls in progress live on a heap stack, so a chain of any depth
// costs no stack; a node that is Nothing is passed over, where a recursive
// walk would have called itself on it without end.
TavoSSTreeController::TopLevelWalk TavoSSTreeController::walk(const TreeNodeRef& myNode, bool expanding,
                                                              bool sameLevel, const TreeNodeRef& stopAt,
                                                              std::vector<TreeNodeRef>* walkedTopLevel) {
    if (!myNode) return TopLevelWalk::None;

    // A failure that is not the tree's (out of memory) ends the walk early;
    // the depth must still be back where the walk found it.
    struct DepthGuard {
        int32_t& depth;
        int32_t outer;
        ~DepthGuard() { depth = outer; }
    } guard{depth_, depth_};

    SkipOnError skip;
    // The loop over the children of each call in progress, outermost first:
    // the node the loop stands on, and whether the call on it has been made.
    struct Loop {
        TreeNodeRef cur;
        bool called = false;
    };
    std::vector<Loop> loops;

    enum class Begun { ReturnedAtOnce, Finished, Walking };
    auto begin = [&](const TreeNodeRef& node, bool sameLevelToo) {
        if (!node || treeSwitchedOff(skip)) return Begun::ReturnedAtOnce;
        skip.step([&] { node->setExpanded(expanding); });
        ++depth_;
        if (skip.test([&] { return node->childCount() > 0; })) {
            TreeNodeRef first;
            skip.step([&] { first = sameLevelToo ? node : node->firstChild(); });
            loops.push_back({std::move(first), false});
            return Begun::Walking;
        }
        --depth_;
        return Begun::Finished;
    };

    if (begin(myNode, sameLevel) == Begun::ReturnedAtOnce) return TopLevelWalk::None;

    TopLevelWalk result = TopLevelWalk::None;
    while (!loops.empty()) {
        Loop& loop = loops.back();
        const bool topLevel = loops.size() == 1;
        if (!loop.called) {
            if (topLevel && stopAt && loop.cur && loop.cur->sameNode(*stopAt)) {
                result = TopLevelWalk::ToStop;
                loops.pop_back();
                --depth_;
                continue;
            }
            loop.called = true;
            const TreeNodeRef cur = loop.cur;
            if (topLevel && walkedTopLevel) walkedTopLevel->push_back(cur);
            begin(cur, false);
            continue;
        }

        skip.clear();
        const bool last = skip.test([&] { return ownLastSibling(loop.cur); });
        const bool lastKnown = !skip.failed();
        bool advanced = false;
        if (!last) {
            skip.step([&] {
                loop.cur = deref(loop.cur).nextSibling();
                loop.called = false;
                advanced = true;
            });
        }
        // A sibling that cannot be reached ends the loop: staying on the same
        // node would walk it again and again.
        if (last || !advanced) {
            if (topLevel) result = last && lastKnown ? TopLevelWalk::ToEnd : TopLevelWalk::None;
            loops.pop_back();
            --depth_;
        }
    }

    if (expanding && depth_ == 0) skip.step([&] { myNode->bringIntoView(); });
    return result;
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
