#include "backends/qt/qt_container.h"

#include <algorithm>

#include "backends/qt/qt_date_box.h"
#include "backends/qt/qt_image.h"
#include "backends/qt/qt_month_grid.h"
#include "backends/qt/qt_push_button.h"
#include "backends/qt/qt_timer.h"
#include "tavo/qt/qt_host.h"

namespace tavo {

QtContainer::QtContainer(QtHost& host, QWidget* surface) : host_(host), surface_(surface) {}

void QtContainer::adopt(const std::shared_ptr<QtChildLink>& child, QWidget* widget, const ChildDesign& d) {
    children_.push_back(child);
    if (!widget) return;
    if (!lowestWindowed_) lowestWindowed_ = widget;
    if (!d.tabStop) widget->setFocusPolicy(Qt::NoFocus);
    auto at = std::upper_bound(tabOrder_.begin(), tabOrder_.end(), d.tabIndex,
                               [](int index, const TabStop& t) { return index < t.index; });
    tabOrder_.insert(at, TabStop{d.tabIndex, widget});
    QWidget* previous = nullptr;
    for (const auto& t : tabOrder_) {
        if (!t.widget || t.widget->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, t.widget);
        previous = t.widget;
    }
}

std::shared_ptr<PushButton> QtContainer::addButton(const ChildDesign& d) {
    auto b = std::make_shared<QtPushButton>(d, host_, surface_);
    adopt(b, b->widget(), d);
    return b;
}

std::shared_ptr<Image> QtContainer::addImage(const ChildDesign& d) {
    auto i = std::make_shared<QtImage>(d, host_, surface_);
    // An image draws on its container's surface, under every child that has
    // a window of its own, as the host's images do; among images the later
    // one lies on top.
    if (lowestWindowed_) i->widget()->stackUnder(lowestWindowed_);
    adopt(i, nullptr, d);
    return i;
}

std::shared_ptr<Timer> QtContainer::addTimer(const ChildDesign& d) {
    auto t = std::make_shared<QtTimer>(d, host_, surface_);
    adopt(t, nullptr, d);
    return t;
}

std::shared_ptr<Child> QtContainer::addComponent(std::string_view className, const ChildDesign& d) {
    if (className == "MSComCtl2.DTPicker") {
        auto box = std::make_shared<QtDateBox>(d, host_, surface_);
        adopt(box, box->widget(), d);
        return box;
    }
    if (className == "MSComCtl2.MonthView") {
        auto grid = std::make_shared<QtMonthGrid>(d, host_, surface_);
        adopt(grid, grid->widget(), d);
        return grid;
    }
    throwHostError(err::CantCreateObject, "the Qt host has no component \"" + std::string(className) + "\" (for " +
                                              d.name + ")");
}

void QtContainer::detachAll() {
    for (auto& weak : children_)
        if (auto c = weak.lock()) c->detach();
    children_.clear();
    tabOrder_.clear();
}

}  // namespace tavo
