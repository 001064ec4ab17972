#pragma once
// An image on Qt: draws its picture unscaled at its top-left corner, exactly
// as the picture's pixels are (a disabled image is not greyed by Qt: controls
// bring their own disabled pictures). MouseDown, MouseUp and Click in this
// order for one click; a disabled surface disables the widget, so none then.
#include "backends/qt/qt_child.h"

namespace tavo {

class QtImage : public QtChild<Image> {
public:
    QtImage(const ChildDesign& d, QtHost& host, QWidget* parent);
    ~QtImage() override;

    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override;
    std::string toolTipText() const override { return toolTip_; }
    void setToolTipText(const std::string& t) override;
    void refresh() override;

    // Called by the widget.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos, bool inside);

private:
    PictureRef picture_;
    std::string toolTip_;
};

}  // namespace tavo
