#pragma once
// A push button on Qt: a QToolButton showing its picture when graphical (at
// the picture's own size, 15 twips a picture pixel, with its mask colour
// transparent when the design says so), a QPushButton with its caption
// otherwise. MouseDown is raised the moment a mouse button goes down, before
// Qt's own press handling; Click when the button is activated (released
// inside, or from the keyboard).
#include <optional>

#include "backends/qt/qt_child.h"
#include "tavo/qt/qt_export.h"

class QAbstractButton;
class QImage;

namespace tavo {

class TAVO_QT_INTERNAL QtPushButton : public QtChild<PushButton> {
public:
    QtPushButton(const ChildDesign& d, QtHost& host, QWidget* parent);
    ~QtPushButton() override;

    PictureRef picture() const override { return picture_; }
    void setPicture(PictureRef p) override;
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& c) override;

    QAbstractButton* button() const;
    // Called by the widget; public so that the widget class stays private.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos);
    void clicked();

private:
    void showFace(const QImage& picture);
    bool graphical_;
    std::optional<uint32_t> maskColour_;
    PictureRef picture_;
    std::string caption_;
};

}  // namespace tavo
