#pragma once
// The surface of a control on Qt: a QWidget placed in its form window (or an
// application's own widget, for controls used from Qt code), holding the
// control's children. Its size in twips is kept exactly as set; a size that
// changes, by a put or by the application's layout, delivers Resize.
#include <QPointer>
#include <QWidget>
#include <memory>

#include "backends/qt/qt_container.h"
#include "tavo/host/host.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class QtHost;
class QtWindow;

class TAVO_QT_INTERNAL QtControlSite : public ControlSite {
public:
    // A new surface on a host form window.
    QtControlSite(QtHost& host, Window& form, const std::string& name, const Placement& p);
    // An existing widget as the surface; its top-level widget is the form.
    QtControlSite(QtHost& host, QWidget* surface, const std::string& name);
    ~QtControlSite() override;

    Host& host() override;
    const std::string& controlName() const override { return name_; }
    float left() const override { return left_; }
    float top() const override { return top_; }
    void setLeft(float v) override;
    void setTop(float v) override;
    Window& window() override;
    float scaleWidth() const override { return width_; }
    float scaleHeight() const override { return height_; }
    float width() const override { return width_; }
    float height() const override { return height_; }
    void setWidth(float v) override;
    void setHeight(float v) override;
    uint32_t backColor() const override { return backColor_; }
    void setBackColor(uint32_t c) override;
    bool enabled() const override { return enabled_; }
    void setEnabled(bool e) override;
    void refresh() override;
    FontRef ambientFont() override;

    std::shared_ptr<PushButton> addButton(const ChildDesign& d) override { return container_.addButton(d); }
    std::shared_ptr<Image> addImage(const ChildDesign& d) override { return container_.addImage(d); }
    std::shared_ptr<Timer> addTimer(const ChildDesign& d) override { return container_.addTimer(d); }
    std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d) override {
        return container_.addComponent(className, d);
    }

    QWidget* surface() const { return surface_; }

private:
    void watch();
    void applyGeometry();
    void applyBackColor();
    void surfaceResized();

    QtHost& host_;
    QPointer<QWidget> surface_;
    bool owned_;
    std::string name_;
    Window* form_ = nullptr;
    std::shared_ptr<QtWindow> adoptedForm_;
    QtContainer container_;
    QPointer<QObject> hook_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    uint32_t backColor_ = 0x8000000Fu;
    bool enabled_ = true;
    bool placing_ = false;
};

}  // namespace tavo
