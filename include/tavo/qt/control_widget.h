#pragma once
// Controls for Qt applications: a control created by its registered class
// name on a QWidget of its own, which an application puts into its layouts
// like any widget. Events come out as Qt signals (key codes by reference, as
// the control raises them: a slot that changes or zeroes a code changes what
// the control sees); properties are read and written by name.
//
//   tavo::QtHost host;                                   // one per GUI thread
//   auto* date = new tavo::ControlWidget(host, "TavoCalendar.TavoCalendarDropDown", "Datum1");
//   QObject::connect(date, &tavo::ControlWidget::change, [date] { ... date->get("Value") ... });
//   layout->addWidget(date);
#include <QString>
#include <QWidget>
#include <memory>
#include <span>
#include <vector>

#include "tavo/qt/hosted_control.h"
#include "tavo/qt/qt_export.h"
#include "tavo/qt/qt_host.h"

class QTreeWidget;

namespace tavo {

class QtControlSite;
class QtTreeView;

class TAVO_QT_EXPORT ControlWidget : public QWidget {
    Q_OBJECT
public:
    // Creates the control (InitProperties, then Resize) at `initialSize`
    // pixels, or the widget's own size when that is not given. An unknown
    // class is HostError 429.
    ControlWidget(QtHost& host, const QString& progId, const QString& name, QWidget* parent = nullptr,
                  QSize initialSize = {}, const ComponentRegistry& registry = ComponentRegistry::global());
    ~ControlWidget() override;

    Control& control() const { return hosted_->control(); }
    const std::shared_ptr<Control>& controlRef() const { return hosted_->controlRef(); }
    ControlSite& site() const;

    Variant get(const QString& member, const Variant* arg = nullptr) const;
    void put(const QString& member, const Variant& value);
    void putRef(const QString& member, const Variant& value);
    Variant call(const QString& member, std::span<Variant> args = {});

    // Binds this control (a tree controller) to an application's tree widget:
    // the widget is wrapped as a tree view control and assigned to
    // "mySSTree", as the form's load code would. The wrapper lives as long as
    // this widget.
    std::shared_ptr<QtTreeView> bindTree(QTreeWidget* tree, const QString& name = QStringLiteral("SSTree1"));

    QSize sizeHint() const override;

signals:
    // Every event the control raises, with its arguments (by reference).
    void eventRaised(const QString& name, std::span<tavo::Variant> args);
    void change();
    void click();
    void dblClick();
    void keyDown(qint16& keyCode, qint16& shift);
    void keyPress(qint16& keyAscii);
    void keyUp(qint16& keyCode, qint16& shift);
    void propertyChanged(const QString& name);

private:
    std::unique_ptr<HostedControl> hosted_;
    struct Bound {
        std::unique_ptr<QtControlSite> site;
        std::shared_ptr<QtTreeView> view;
    };
    std::vector<Bound> bound_;
};

}  // namespace tavo
