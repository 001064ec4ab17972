// The tree controller widget's view named as a form names it (treeViewName):
// bound when the window is first shown, or at once once it is, to the
// QTreeView of that name in the widget's own window, and to nothing else; an
// unbound strip shows the control's hint on a click.
#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <memory>

#include "backends/qt/qt_image.h"
#include "qt_test_support.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"
#include "tavo/widgets/tree_controller.h"

namespace tavo {
namespace {

enum class When { BeforeShow, AfterShow };
enum class Holds { TreeView, Label, TreeViewInAnotherWindow };

struct NameCase {
    const char* what;
    QString name;  // the name the strip is given; the window's widget is "tvOffices"
    When when;
    Holds holds;
    bool bound;
};

TEST(TreeControllerViewName, BindsTheTreeViewOfThatNameInItsWindowOnly) {
    QtHost host;
    std::vector<std::string> traced;
    host.msgBoxAnswer = 1;
    host.onTrace = [&](const std::string& line) { traced.push_back(line); };
    const QString named = QStringLiteral("tvOffices");
    const NameCase cases[] = {
        {"named before the show, the view made after the strip", named, When::BeforeShow, Holds::TreeView, true},
        {"named once shown", named, When::AfterShow, Holds::TreeView, true},
        {"a name nothing has", QStringLiteral("tvNothing"), When::BeforeShow, Holds::TreeView, false},
        {"a name nothing has, once shown", QStringLiteral("tvNothing"), When::AfterShow, Holds::TreeView, false},
        {"the name of a label", named, When::BeforeShow, Holds::Label, false},
        {"the name of a view in another window", named, When::BeforeShow, Holds::TreeViewInAnotherWindow, false},
    };
    for (const NameCase& c : cases) {
        QWidget window;
        QWidget other;
        auto* layout = new QVBoxLayout(&window);
        auto* strip = new TreeController(&window);
        layout->addWidget(strip);
        QSignalSpy nameChanged(strip, &TreeController::treeViewNameChanged);
        if (c.when == When::BeforeShow) strip->setTreeViewName(c.name);
        QWidget* target = nullptr;
        if (c.holds == Holds::Label) target = new QLabel(&window);
        else target = new QTreeWidget(c.holds == Holds::TreeView ? &window : &other);
        target->setObjectName(named);
        if (target->parent() == &window) layout->addWidget(target);
        window.show();
        pump();
        if (c.when == When::AfterShow) strip->setTreeViewName(c.name);
        EXPECT_EQ(strip->treeViewName(), c.name) << c.what;
        EXPECT_EQ(nameChanged.count(), 1) << c.what;
        EXPECT_EQ(strip->treeView(), c.bound ? target : nullptr) << c.what;

        traced.clear();
        auto& control = static_cast<TavoSSTreeController&>(strip->control());
        click(static_cast<QtImage&>(*control.img(1)).widget(), {4, 4});
        EXPECT_EQ(traced.size(), c.bound ? 0u : 1u) << c.what << ": the hint only while unbound";
    }
    host.onTrace = nullptr;
}

}  // namespace
}  // namespace tavo
