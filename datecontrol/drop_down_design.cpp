#include "datecontrol/drop_down_design.h"

#include "datecontrol/button_pictures.h"

namespace tavo::dropDownDesign {

ChildDesign cal() {
    ChildDesign d;
    d.name = "cal";
    d.width = 3015;
    d.height = 330;
    d.tabIndex = 0;
    return d;
}

ChildDesign cmd() {
    ChildDesign d;
    d.name = "cmd";
    d.left = 3120;
    d.top = 45;
    d.width = 240;
    d.height = 285;
    d.tabIndex = 1;
    d.tabStop = false;
    d.graphical = true;
    d.picture = calendarSheetPicture();
    // The built-in pictures stand on the mask's light grey.
    d.useMaskColor = true;
    d.accessibleName = "Kalender öffnen";
    return d;
}

ChildDesign imgDropDown(int index) {
    static constexpr float kLefts[3] = {2340, 2700, 3060};
    static constexpr float kHeights[3] = {240, 210, 240};
    ChildDesign d;
    d.name = "imgDropDown";
    d.index = index;
    d.left = kLefts[index];
    d.top = 765;
    d.width = 180;
    d.height = kHeights[index];
    if (index == 1) d.picture = dropDownArrowPicture();
    if (index == 2) d.picture = calendarSheetPicture();
    return d;
}

}  // namespace tavo::dropDownDesign
