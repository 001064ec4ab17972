#pragma once
// The headless host's push button, image and timer, and the one place where
// windows and control surfaces create their children.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "backends/headless/headless_child.h"

namespace tavo {

class HeadlessButton : public HeadlessChild<PushButton> {
public:
    HeadlessButton(const ChildDesign& d, Placing p);
    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override { picture_ = std::move(p); }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& c) override { caption_ = c; }
    // As designed: whether the picture is drawn with its mask colour as
    // transparent, and that colour. Nothing is drawn here.
    bool useMaskColor() const { return useMaskColor_; }
    uint32_t maskColor() const { return maskColor_; }

private:
    PictureRef picture_;
    std::string caption_;
    bool useMaskColor_;
    uint32_t maskColor_;
};

class HeadlessImage : public HeadlessChild<Image> {
public:
    HeadlessImage(const ChildDesign& d, Placing p);
    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override { picture_ = std::move(p); }
    std::string toolTipText() const override { return toolTipText_; }
    void setToolTipText(const std::string& t) override { toolTipText_ = t; }
    // Traced as "refresh img(2)".
    void refresh() override;
    int refreshCount() const { return refreshCount_; }

private:
    PictureRef picture_;
    std::string toolTipText_;
    int refreshCount_ = 0;
};

// Ticks as the host's virtual clock passes its due time. Enabling it, or a
// new interval while it is enabled, starts its interval anew from now; an
// interval of 0 never ticks.
class HeadlessTimer : public HeadlessChild<Timer> {
public:
    HeadlessTimer(const ChildDesign& d, Placing p);
    int interval() const override { return interval_; }
    void setInterval(int ms) override;
    void setEnabled(bool v) override;

    // Whether it would tick by then: enabled, with an interval, not gone.
    bool dueBy(int64_t until) const;
    int64_t due() const { return due_; }
    // The tick at its due time is on its way: the next one is an interval later.
    void ticked() { due_ += interval_; }
    // Its ticks before `time` are passed over: the next is the first at or after it.
    void skipTicksBefore(int64_t time);

private:
    void restart();
    int interval_;
    int64_t due_ = 0;
};

std::shared_ptr<PushButton> makeButton(const ChildDesign& d, const Placing& p);
std::shared_ptr<Image> makeImage(const ChildDesign& d, const Placing& p);
std::shared_ptr<Timer> makeTimer(const ChildDesign& d, const Placing& p);
// "MSComCtl2.DTPicker" or "MSComCtl2.MonthView"; anything else is HostError 429.
std::shared_ptr<Child> makeComponent(std::string_view className, const ChildDesign& d, const Placing& p);

}  // namespace tavo
