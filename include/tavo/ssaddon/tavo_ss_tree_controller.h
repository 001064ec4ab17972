#pragma once
// TavoSSTreeController: a strip of four image buttons that expands or collapses
// the selected node, or every node, of a tree view bound through mySSTree.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tavo/components/tree_node.h"
#include "tavo/host/control.h"
#include "tavo/ssaddon/ssaddon_export.h"
#include "tavo/ssaddon/tree_walk.h"

namespace tavo {

class TreeSkip;

class TAVO_SSADDON_EXPORT TavoSSTreeController : public Control {
public:
    static constexpr const char* kProgId = "TavoSSAddOn.TavoSSTreeController";
    static constexpr int kButtonCount = 4;

    explicit TavoSSTreeController(ControlSite& site);
    ~TavoSSTreeController() override;

    // ---- Public interface, in interface order ----------------------------
    uint32_t BackColor() const;
    void setBackColor(uint32_t New_BackColor);
    bool Enabled() const;
    void setEnabled(bool New_Enabled);
    void Refresh();
    std::shared_ptr<Control> mySSTree() const { return tree_; }
    // Anything but a control on a form (or an empty reference) is HostError 13.
    void setMySSTree(const ObjectRef& New_SSTree);
    // Opens (doExpanding non-zero) or closes myNode and every node below it;
    // DoItForAllOnTheSameLevel also takes in the siblings after myNode. Runs in
    // skip-on-error mode: nothing it meets on the tree is reported.
    void ExpandAll(const TreeNodeRef& myNode, int16_t doExpanding, int16_t DoItForAllOnTheSameLevel);
    std::string ToolTipTextPlus() const { return toolTips_[0]; }
    void setToolTipTextPlus(const std::string& New_ToolTipTextPlus);
    std::string ToolTipTextPlusPlus() const { return toolTips_[1]; }
    void setToolTipTextPlusPlus(const std::string& New_ToolTipTextPlusPlus);
    std::string ToolTipTextMinusMinus() const { return toolTips_[2]; }
    void setToolTipTextMinusMinus(const std::string& New_ToolTipTextMinusMinus);
    std::string ToolTipTextMinus() const { return toolTips_[3]; }
    void setToolTipTextMinus(const std::string& New_ToolTipTextMinus);

    // ---- Lifecycle -------------------------------------------------------
    void InitProperties() override;
    void ReadProperties(PropertyStore& store) override;
    void WriteProperties(PropertyStore& store) override;
    void Resize() override;

    // ---- Late-bound interface: the members above and the children --------
    std::string className() const override { return kProgId; }

    // Children, for tests and scripts: the buttons and their picture holders.
    const std::shared_ptr<Image>& img(int k) const { return img_.at(k); }
    const std::shared_ptr<Image>& imgUp(int k) const { return imgUp_.at(k); }
    const std::shared_ptr<Image>& imgDown(int k) const { return imgDown_.at(k); }
    const std::shared_ptr<Image>& imgDisabled(int k) const { return imgDisabled_.at(k); }
    const std::shared_ptr<Image>& imgBack() const { return imgBack_; }

protected:
    // Lets go of the bound tree: controllers bound to each other, or to
    // themselves, would otherwise keep each other alive after their form.
    void Terminate() override { bindTree(nullptr); }
    Variant getMember(std::string_view member, const Variant* arg) override;
    void putMember(std::string_view member, const Variant& value) override;
    void putRefMember(std::string_view member, const Variant& value) override;
    Variant callMember(std::string_view member, std::span<Variant> args) override;

private:
    using ImageSet = std::array<std::shared_ptr<Image>, kButtonCount>;

    void setToolTip(int k, const std::string& text, std::string_view property);
    void applyToolTips();
    void showPictures(const ImageSet& from);

    void imgMouseDown(int Index);
    void imgMouseUp(int Index);
    void imgClick(int Index);

    void expandOrCollapseAll(bool expanding, TreeSkip& skip);
    bool treeSwitchedOff(TreeSkip& skip) const;
    void bindTree(std::shared_ptr<Control> tree);
    TreeNodeRef nodeAt(const Variant& index) const;

    std::array<std::string, kButtonCount> toolTips_;
    std::shared_ptr<Control> tree_;
    TreeViewReads* treeReads_ = nullptr;  // tree_'s, when it offers them
    // Depth of the ExpandAll calls in progress, as a recursive walk would
    // count it; shared with calls the application makes while one runs, so
    // that only the outermost call brings its node into view.
    int32_t depth_ = 0;
    TreeWalk walk_;

    std::shared_ptr<Image> imgBack_;
    ImageSet img_, imgUp_, imgDown_, imgDisabled_;
};

}  // namespace tavo
