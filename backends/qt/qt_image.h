#pragma once
// An image on Qt: draws its picture at its top-left corner at the picture's
// own size, 15 twips a picture pixel, drawn afresh for the screen's pixel
// ratio (a disabled image is not greyed by Qt: controls bring their own
// disabled pictures). MouseDown, MouseUp and Click in this order for one
// click; a disabled surface disables the widget, so none then. An image
// whose clicks are handled is a button to assistive tools.
#include "backends/qt/qt_child.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class TAVO_QT_INTERNAL QtImage : public QtChild<Image> {
public:
    QtImage(const ChildDesign& d, QtHost& host, QWidget* parent);
    ~QtImage() override;

    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override;
    std::string toolTipText() const override { return toolTip_; }
    void setToolTipText(const std::string& t) override;
    void refresh() override;

    // Called by the widget.
    bool clickable() const { return live() && (onClick || onMouseDown); }
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos, bool inside);

private:
    PictureRef picture_;
    std::string toolTip_;
};

}  // namespace tavo
