#include "backends/headless/headless_children.h"

#include "backends/headless/headless_date_box.h"
#include "backends/headless/headless_host_parts.h"
#include "backends/headless/headless_month_grid.h"
#include "tavo/host/ascii_text.h"
#include "tavo/host/error.h"

namespace tavo {

namespace {

void checkInterval(const Child& c, int ms) {
    if (ms < 0)
        throwHostError(err::InvalidPropertyValue, c.displayName() + ".Interval " + std::to_string(ms) + " is negative");
}

}  // namespace

HeadlessButton::HeadlessButton(const ChildDesign& d, Placing p)
    : HeadlessChild(d, std::move(p)), picture_(d.picture), caption_(d.caption), useMaskColor_(d.useMaskColor),
      maskColor_(d.maskColor) {}

HeadlessImage::HeadlessImage(const ChildDesign& d, Placing p) : HeadlessChild(d, std::move(p)), picture_(d.picture) {}

void HeadlessImage::refresh() {
    ++refreshCount_;
    recorder().record("refresh " + displayName());
}

HeadlessTimer::HeadlessTimer(const ChildDesign& d, Placing p) : HeadlessChild(d, std::move(p)), interval_(d.interval) {
    checkInterval(*this, d.interval);
    restart();
}

void HeadlessTimer::setInterval(int ms) {
    checkInterval(*this, ms);
    interval_ = ms;
    if (enabled()) restart();
}

void HeadlessTimer::setEnabled(bool v) {
    HeadlessChild::setEnabled(v);
    if (v) restart();
}

bool HeadlessTimer::dueBy(int64_t until) const { return enabled() && interval_ > 0 && !gone() && due_ <= until; }

void HeadlessTimer::restart() { due_ = loop().now() + interval_; }

void HeadlessTimer::skipTicksBefore(int64_t time) {
    if (due_ >= time || interval_ <= 0) return;
    due_ += (time - due_ + interval_ - 1) / interval_ * interval_;
}

std::shared_ptr<PushButton> makeButton(const ChildDesign& d, const Placing& p) {
    return std::make_shared<HeadlessButton>(d, p);
}

std::shared_ptr<Image> makeImage(const ChildDesign& d, const Placing& p) {
    return std::make_shared<HeadlessImage>(d, p);
}

std::shared_ptr<Timer> makeTimer(const ChildDesign& d, const Placing& p) {
    auto t = std::make_shared<HeadlessTimer>(d, p);
    p.host->loop.addTimer(t);
    return t;
}

std::shared_ptr<Child> makeComponent(std::string_view className, const ChildDesign& d, const Placing& p) {
    if (ascii::equalsNoCase(className, "MSComCtl2.DTPicker")) return std::make_shared<HeadlessDateBox>(d, p);
    if (ascii::equalsNoCase(className, "MSComCtl2.MonthView")) return std::make_shared<HeadlessMonthGrid>(d, p);
    throwHostError(err::CantCreateObject,
                   d.name + ": the headless host has no component \"" + std::string(className) + "\"");
}

}  // namespace tavo
