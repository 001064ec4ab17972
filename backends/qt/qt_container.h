#pragma once
// Creating children on a Qt surface, shared by windows and control sites:
// the widgets, their stacking and their tab order by design, and cutting them
// all off when the surface is unloaded.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string_view>
#include <vector>

#include "tavo/host/children.h"
#include "tavo/qt/qt_export.h"

namespace tavo {

class QtHost;
class QtChildLink;

class TAVO_QT_INTERNAL QtContainer {
public:
    QtContainer(QtHost& host, QWidget* surface);

    std::shared_ptr<PushButton> addButton(const ChildDesign& d);
    std::shared_ptr<Image> addImage(const ChildDesign& d);
    std::shared_ptr<Timer> addTimer(const ChildDesign& d);
    // "MSComCtl2.DTPicker" and "MSComCtl2.MonthView"; others are HostError 429.
    std::shared_ptr<Child> addComponent(std::string_view className, const ChildDesign& d);

    void detachAll();
    QWidget* surface() const { return surface_; }

private:
    void adopt(const std::shared_ptr<QtChildLink>& child, QWidget* widget, const ChildDesign& d);

    QtHost& host_;
    QPointer<QWidget> surface_;
    std::vector<std::weak_ptr<QtChildLink>> children_;
    struct TabStop {
        int index;
        QPointer<QWidget> widget;
    };
    std::vector<TabStop> tabOrder_;
    // The first windowed child (push button or component): new ones stack
    // above it, images below it.
    QPointer<QWidget> lowestWindowed_;
};

}  // namespace tavo
