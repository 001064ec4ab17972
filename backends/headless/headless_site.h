#pragma once
// The surface of a control placed on a headless form window. It has no
// border: its inner size (ScaleWidth, ScaleHeight) is its outer size.
#include <memory>
#include <string>

#include "backends/headless/headless_child.h"
#include "tavo/host/host.h"

namespace tavo {

class HeadlessSite : public ControlSite {
public:
    HeadlessSite(HeadlessHostParts& host, std::shared_ptr<HeadlessWindow> window, std::string name,
                 const Placement& p);
    ~HeadlessSite() override;

    Host& host() override;
    const std::string& controlName() const override { return name_; }

    float left() const override { return state_->left; }
    float top() const override { return state_->top; }
    void setLeft(float v) override { state_->left = v; }
    void setTop(float v) override { state_->top = v; }
    Window& window() override;

    float scaleWidth() const override { return state_->width; }
    float scaleHeight() const override { return state_->height; }
    float width() const override { return state_->width; }
    float height() const override { return state_->height; }
    void setWidth(float v) override;
    void setHeight(float v) override;
    uint32_t backColor() const override { return backColor_; }
    void setBackColor(uint32_t c) override { backColor_ = c; }
    bool enabled() const override { return state_->enabled; }
    void setEnabled(bool e) override { state_->enabled = e; }
    // Traced as "refresh <control name>".
    void refresh() override;
    int refreshCount() const { return refreshCount_; }

    FontRef ambientFont() override;

    std::shared_ptr<PushButton> addButton(const ChildDesign& d) override;
    std::shared_ptr<Image> addImage(const ChildDesign& d) override;
    std::shared_ptr<Timer> addTimer(const ChildDesign& d) override;
    std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d) override;

private:
    void resized();
    Placing placing();

    HeadlessHostParts& host_;
    std::shared_ptr<HeadlessWindow> window_;
    std::string name_;
    std::shared_ptr<SiteState> state_;
    uint32_t backColor_ = 0x8000000Fu;
    int refreshCount_ = 0;
};

}  // namespace tavo
