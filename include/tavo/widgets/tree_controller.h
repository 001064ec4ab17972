#pragma once
// TreeController: the tree controller as a Qt widget. A strip of four image
// buttons that open the selected node and everything below it, open every
// node, close every node, and close the selected node and everything below
// it, in a QTreeView placed elsewhere in the window. The control behind it is
// the same TavoSSTreeController that form files and scripts drive; this class
// gives it Qt's types and habits.
//
// The view may be any QTreeView on any item model: a QTreeWidget, a
// QStandardItemModel, a QFileSystemModel, a proxy model, the application's
// own model. The buttons act on the rows the model has loaded; a model that
// loads children on demand is never asked for more by them (docs/qt.md).
//
// Errors: no setter throws. A value the control refuses leaves the old one,
// emits no change signal, and is reported by valueRefused() and a warning in
// the logging category "tavo.widgets".
//
// Threads: GUI thread only. The first widget made on a thread makes that
// thread's host (unless the application made a tavo::QtHost before) and
// registers the tree controller's class.
#include <QColor>
#include <QString>
#include <QTreeView>
#include <QWidget>
#include <memory>

#include "tavo/widgets/widgets_export.h"

namespace tavo {

class Control;

class TAVO_WIDGETS_EXPORT TreeController : public QWidget {
    Q_OBJECT
    // A pointer has no place in a form file: forms name the view instead.
    Q_PROPERTY(QTreeView* treeView READ treeView WRITE setTreeView NOTIFY treeViewChanged DESIGNABLE false STORED false)
    Q_PROPERTY(QString treeViewName READ treeViewName WRITE setTreeViewName NOTIFY treeViewNameChanged)
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor NOTIFY backColorChanged)
    Q_PROPERTY(QString toolTipTextPlus READ toolTipTextPlus WRITE setToolTipTextPlus NOTIFY toolTipTextPlusChanged)
    Q_PROPERTY(QString toolTipTextPlusPlus READ toolTipTextPlusPlus WRITE setToolTipTextPlusPlus
                   NOTIFY toolTipTextPlusPlusChanged)
    Q_PROPERTY(QString toolTipTextMinusMinus READ toolTipTextMinusMinus WRITE setToolTipTextMinusMinus
                   NOTIFY toolTipTextMinusMinusChanged)
    Q_PROPERTY(QString toolTipTextMinus READ toolTipTextMinus WRITE setToolTipTextMinus
                   NOTIFY toolTipTextMinusChanged)
    // QWidget's own enabled state, with a change signal: it is the control's
    // Enabled (grey buttons that take no clicks).
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged)

public:
    // The four buttons, in the strip's order.
    enum Button { ExpandSelected, ExpandAll, CollapseAll, CollapseSelected };
    Q_ENUM(Button)

    explicit TreeController(QWidget* parent = nullptr);
    ~TreeController() override;

    // The view the buttons act on; nullptr for none, when a click shows the
    // control's hint how to bind one. A view that is destroyed unbinds itself.
    QTreeView* treeView() const;
    void setTreeView(QTreeView* view);

    // The view by its object name, as a form file names it (Qt Designer's
    // property editor, a .ui file): the QTreeView of that name in the
    // widget's window is bound when the widget is first shown, as a label
    // finds its buddy; until then, and when no view in the window has the
    // name, the binding stays as it is (a click without a view shows the
    // control's hint). Set once the widget is shown, the name is looked up at
    // once. Empty to start with; setTreeView() leaves the name as it is.
    QString treeViewName() const;
    void setTreeViewName(const QString& name);

    // The strip's background, the button face of the system's colours to
    // start with. Reading it while it follows the system's colours gives the
    // palette's Button colour; writing back the colour just read changes
    // nothing, so it goes on following the palette; an invalid QColor()
    // returns it to the button face. A translucent colour is refused.
    QColor backColor() const;
    void setBackColor(const QColor& colour);

    // The buttons' tooltips, in the strip's order: "Aktuelles Element
    // aufklappen", "Alle Elemente aufklappen", "Alle Elemente zuklappen",
    // "Aktuelles Element zuklappen" to start with.
    QString toolTipTextPlus() const;
    void setToolTipTextPlus(const QString& text);
    QString toolTipTextPlusPlus() const;
    void setToolTipTextPlusPlus(const QString& text);
    QString toolTipTextMinusMinus() const;
    void setToolTipTextMinusMinus(const QString& text);
    QString toolTipTextMinus() const;
    void setToolTipTextMinus(const QString& text);

    // Does what a click on the button does (a keyboard shortcut's or a
    // menu's way to it); nothing while the widget is disabled.
    void click(Button button);

    // The control behind the widget, by member name, for form files and
    // scripts. Its errors are tavo::HostError exceptions; a property written
    // through it emits the typed change signals as well.
    Control& control() const;

    // The control's design size, 1080 x 225 twips, at the screen's density.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void treeViewChanged(QTreeView* view);
    void treeViewNameChanged(const QString& name);
    void backColorChanged(const QColor& colour);
    void toolTipTextPlusChanged(const QString& text);
    void toolTipTextPlusPlusChanged(const QString& text);
    void toolTipTextMinusMinusChanged(const QString& text);
    void toolTipTextMinusChanged(const QString& text);
    void enabledChanged(bool enabled);

    // A value was refused and the old one kept: the property's name and why.
    void valueRefused(const QString& property, const QString& reason);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace tavo
