#pragma once
// What assistive tools see of the children that people press: the button
// role, a name (the design's accessible name, else the caption, else the
// tooltip, which is then not repeated as the description) and a press action
// that is a click by the mouse in the child's middle. An image that nothing
// handles clicks of is a picture (role graphic), with no action.
#include <QPoint>

class QWidget;

namespace tavo {

// Implemented by our widgets for push buttons and images.
class AccessibleChild {
public:
    virtual ~AccessibleChild() = default;
    virtual bool pressable() const = 0;
    // MouseDown, then (MouseUp and) Click, as a click by the mouse raises them.
    virtual void pressByTool() = 0;
};

// While one lives, the Qt host reads `at` (global pixels) as the pointer's
// place. A press by a tool has no pointer: what the press places from the
// pointer (the drop-down calendar) then stands at the pressed child, not
// wherever the mouse happens to rest.
class PointerStandIn {
public:
    explicit PointerStandIn(QPoint at);
    ~PointerStandIn();
    PointerStandIn(const PointerStandIn&) = delete;
    PointerStandIn& operator=(const PointerStandIn&) = delete;
    // The innermost place stood in for on this thread, or null.
    static const QPoint* current();

private:
    QPoint at_;
    const QPoint* outer_;
};

// Lets Qt's accessibility ask these widgets; any number of calls.
void installChildAccessibility();

}  // namespace tavo
