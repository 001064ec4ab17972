#pragma once
// The Tavo widgets in Qt Designer: one plugin, a group "Tavo" in the widget
// box with tavo::DateDropDown and tavo::TreeController, each with the
// control's own picture, its design size and its header.
#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

namespace tavo {

// What Designer asks of one widget class, as plain values.
struct DesignerWidget {
    QString name;         // the class, with its namespace
    QString includeFile;  // <tavo/widgets/...>
    QString toolTip;
    QString whatsThis;
    QIcon icon;
    QString domXml;  // object name and default geometry
    std::function<QWidget*(QWidget*)> create;
};

class DesignerWidgetInterface : public QDesignerCustomWidgetInterface {
public:
    explicit DesignerWidgetInterface(DesignerWidget widget) : widget_(std::move(widget)) {}

    QString name() const override { return widget_.name; }
    QString group() const override { return QStringLiteral("Tavo"); }
    QString toolTip() const override { return widget_.toolTip; }
    QString whatsThis() const override { return widget_.whatsThis; }
    QString includeFile() const override { return widget_.includeFile; }
    QIcon icon() const override { return widget_.icon; }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return widget_.create(parent); }
    bool isInitialized() const override { return initialized_; }
    void initialize(QDesignerFormEditorInterface*) override { initialized_ = true; }
    QString domXml() const override { return widget_.domXml; }

private:
    DesignerWidget widget_;
    bool initialized_ = false;
};

class TavoDesignerPlugin : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TavoDesignerPlugin(QObject* parent = nullptr);
    ~TavoDesignerPlugin() override;
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return widgets_; }

private:
    QList<QDesignerCustomWidgetInterface*> widgets_;
};

}  // namespace tavo
