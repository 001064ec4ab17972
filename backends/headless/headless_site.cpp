#include "backends/headless/headless_site.h"

#include "backends/headless/headless_children.h"
#include "backends/headless/headless_host_parts.h"
#include "backends/headless/headless_window.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

void checkSiteSize(const std::string& control, const char* member, float v) {
    if (!(v >= 0))
        throwHostError(err::InvalidPropertyValue, control + "." + member + " " + messageNumber(v) + " is negative");
}

}  // namespace

HeadlessSite::HeadlessSite(HeadlessHostParts& host, std::shared_ptr<HeadlessWindow> window, std::string name,
                           const Placement& p)
    : host_(host), window_(std::move(window)), name_(std::move(name)), state_(std::make_shared<SiteState>()) {
    checkSiteSize(name_, "Width", p.width);
    checkSiteSize(name_, "Height", p.height);
    state_->left = p.left;
    state_->top = p.top;
    state_->width = p.width;
    state_->height = p.height;
}

HeadlessSite::~HeadlessSite() { state_->alive = false; }

Host& HeadlessSite::host() { return host_.owner; }

Window& HeadlessSite::window() { return *window_; }

void HeadlessSite::refresh() {
    ++refreshCount_;
    host_.recorder.record("refresh " + name_);
}

void HeadlessSite::setWidth(float v) {
    checkSiteSize(name_, "Width", v);
    if (v == state_->width) return;
    state_->width = v;
    resized();
}

void HeadlessSite::setHeight(float v) {
    checkSiteSize(name_, "Height", v);
    if (v == state_->height) return;
    state_->height = v;
    resized();
}

void HeadlessSite::resized() { fireHandler(onResize); }

FontRef HeadlessSite::ambientFont() { return host_.ambientFont; }

Placing HeadlessSite::placing() { return Placing{&host_, window_, state_}; }

std::shared_ptr<PushButton> HeadlessSite::addButton(const ChildDesign& d) { return makeButton(d, placing()); }

std::shared_ptr<Image> HeadlessSite::addImage(const ChildDesign& d) { return makeImage(d, placing()); }

std::shared_ptr<Timer> HeadlessSite::addTimer(const ChildDesign& d) { return makeTimer(d, placing()); }

std::shared_ptr<Child> HeadlessSite::addComponent(std::string_view className, const ChildDesign& d) {
    return makeComponent(className, d, placing());
}

}  // namespace tavo
