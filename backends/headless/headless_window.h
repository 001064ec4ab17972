#pragma once
// A top-level window of the headless host. It has no frame: its outer size is
// its client size and its client area starts at its Left and Top.
#include <memory>
#include <string>

#include "tavo/host/window.h"

namespace tavo {

struct HeadlessHostParts;
struct Placing;

class HeadlessWindow : public Window, public std::enable_shared_from_this<HeadlessWindow> {
public:
    HeadlessWindow(HeadlessHostParts& host, const WindowDesign& d, WindowHandle handle);

    const std::string& name() const override { return design_.name; }
    WindowHandle hWnd() const override { return handle_; }
    const WindowDesign& design() const { return design_; }

    void show() override;
    void showModal() override;
    void hide() override;
    bool visible() const override { return visible_; }
    bool isModal() const override { return modal_; }

    float left() const override { return left_; }
    float top() const override { return top_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setLeft(float v) override { left_ = v; }
    void setTop(float v) override { top_ = v; }
    void setWidth(float v) override;
    void setHeight(float v) override;

    void destroy() override;
    bool destroyed() const override { return destroyed_; }

    std::shared_ptr<PushButton> addButton(const ChildDesign& d) override;
    std::shared_ptr<Image> addImage(const ChildDesign& d) override;
    std::shared_ptr<Timer> addTimer(const ChildDesign& d) override;
    std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d) override;

private:
    void requireLoaded(const char* what) const;
    Placing placing();

    HeadlessHostParts& host_;
    WindowDesign design_;
    WindowHandle handle_;
    float left_ = 0, top_ = 0, width_, height_;
    bool visible_ = false, modal_ = false, destroyed_ = false;
};

}  // namespace tavo
