#pragma once
// What assistive tools see of the children that people press: the button
// role, a name (the design's accessible name, else the caption, else the
// tooltip, which is then not repeated as the description) and a press action
// that is a click by the mouse in the child's middle. An image that nothing
// handles clicks of is a picture (role graphic), with no action.
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

// Lets Qt's accessibility ask these widgets; any number of calls.
void installChildAccessibility();

}  // namespace tavo
