// The Designer plugin as Qt Designer and QUiLoader meet it, from the folder
// it is installed in: the collection holds both widgets with what Designer
// shows of them, creates them with their defaults, and a form file made with
// them loads with its values. Knows the widgets only by Qt's meta objects.
//   tests_designer_plugin <plugin folder> <form.ui>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>
#include <QTreeView>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

int failures = 0;

void check(bool ok, const QString& what) {
    if (ok) return;
    std::fprintf(stderr, "designer plugin: %s\n", qPrintable(what));
    ++failures;
}

struct PropertyCase {
    const char* property;
    QVariant value;
};

void checkProperties(QObject* object, const std::vector<PropertyCase>& cases, const QString& where) {
    for (const auto& c : cases) {
        QVariant actual = object->property(c.property);
        // Enums are compared by number, as a form file and uic know them.
        if (c.value.typeId() == QMetaType::Int && actual.metaType().flags() & QMetaType::IsEnumeration)
            actual = actual.toInt();
        check(actual == c.value, QStringLiteral("%1: %2 is %3, expected %4")
                                     .arg(where, QLatin1String(c.property), actual.toString(), c.value.toString()));
    }
}

// What Designer shows of each widget, and the widget it creates.
struct WidgetCase {
    const char* name;
    const char* include;
    const char* geometry;  // in the widget's domXml, for a 96 dpi screen
    const char* inWhatsThis;
    std::vector<PropertyCase> defaults;
};

const std::vector<WidgetCase> kWidgets = {
    {"tavo::DateDropDown", "<tavo/widgets/date_drop_down.h>", "<width>201</width><height>22</height>",
     "Monats Spalten für aufgeklappte Auswahl.<br>Maximalwert ist 3",
     {{"date", QDate(2000, 8, 21)},
      {"minimumDate", QDate(1601, 1, 1)},
      {"maximumDate", QDate(9999, 12, 31)},
      {"format", 1},
      {"customFormat", QString()},
      {"calendarMonthBackColor", QColor(Qt::black)},
      {"monthRows", 3},
      {"monthColumns", 1},
      {"upDown", false},
      {"canOpen", true},
      {"showToday", true},
      {"showWeek", true},
      {"pictureType", 2}}},
    {"tavo::TreeController", "<tavo/widgets/tree_controller.h>", "<width>72</width><height>15</height>",
     "treeViewName",
     {{"treeViewName", QString()},
      {"toolTipTextPlus", QStringLiteral("Aktuelles Element aufklappen")},
      {"toolTipTextPlusPlus", QStringLiteral("Alle Elemente aufklappen")},
      {"toolTipTextMinusMinus", QStringLiteral("Alle Elemente zuklappen")},
      {"toolTipTextMinus", QStringLiteral("Aktuelles Element zuklappen")}}},
};

void checkCollection(QDesignerCustomWidgetCollectionInterface& collection) {
    const auto widgets = collection.customWidgets();
    for (const auto& expected : kWidgets) {
        const QString name = QLatin1String(expected.name);
        QDesignerCustomWidgetInterface* widget = nullptr;
        for (auto* w : widgets)
            if (w->name() == name) widget = w;
        check(widget, name + QStringLiteral(" is in the collection"));
        if (!widget) continue;
        check(widget->group() == QStringLiteral("Tavo"), name + QStringLiteral(" is in the group Tavo"));
        check(widget->includeFile() == QLatin1String(expected.include), name + QStringLiteral(": include file"));
        check(!widget->icon().isNull() && !widget->toolTip().isEmpty(), name + QStringLiteral(": icon and tooltip"));
        check(widget->whatsThis().contains(QString::fromUtf8(expected.inWhatsThis)),
              name + QStringLiteral(": what's this describes it"));
        QString xml = widget->domXml();
        xml.remove(QLatin1Char(' ')).remove(QLatin1Char('\n'));
        check(xml.contains(QLatin1String(expected.geometry)), name + QStringLiteral(": default geometry in ") + xml);
        QWidget parent;
        QWidget* made = widget->createWidget(&parent);
        check(made && made->metaObject()->className() == name, name + QStringLiteral(" is what createWidget makes"));
        if (made) checkProperties(made, expected.defaults, name + QStringLiteral(" placed anew"));
    }
}

void checkForm(const QString& pluginDir, const QString& formPath) {
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(pluginDir);
    const QStringList available = loader.availableWidgets();
    for (const auto& expected : kWidgets)
        check(available.contains(QLatin1String(expected.name)),
              QStringLiteral("QUiLoader offers ") + QLatin1String(expected.name));
    QFile file(formPath);
    check(file.open(QIODevice::ReadOnly), QStringLiteral("the form opens: ") + formPath);
    std::unique_ptr<QWidget> form(loader.load(&file));
    check(form != nullptr, QStringLiteral("the form loads: ") + loader.errorString());
    if (!form) return;
    form->show();
    QApplication::processEvents();
    struct Made {
        const char* objectName;
        const char* className;
        std::vector<PropertyCase> values;
    };
    auto* view = form->findChild<QTreeView*>(QStringLiteral("twOffices"));
    const std::vector<Made> made = {
        {"dtpSince", "tavo::DateDropDown",
         {{"date", QDate(2024, 2, 29)},
          {"format", 0},
          {"calendarTitleBackColor", QColor(0, 96, 160)},
          {"monthColumns", 2},
          {"monthRows", 1},
          {"showWeek", false},
          {"showToday", true}}},
        {"tcOffices", "tavo::TreeController",
         {{"treeViewName", QStringLiteral("twOffices")},
          {"toolTipTextPlusPlus", QStringLiteral("Alle Filialen aufklappen")},
          {"toolTipTextPlus", QStringLiteral("Aktuelles Element aufklappen")}}},
    };
    for (const auto& m : made) {
        auto* widget = form->findChild<QWidget*>(QLatin1String(m.objectName));
        check(widget && widget->metaObject()->className() == QLatin1String(m.className),
              QStringLiteral("the form makes %1 a %2").arg(QLatin1String(m.objectName), QLatin1String(m.className)));
        if (widget) checkProperties(widget, m.values, QStringLiteral("the form's ") + QLatin1String(m.objectName));
    }
    if (auto* strip = form->findChild<QWidget*>(QStringLiteral("tcOffices")))
        check(view && qvariant_cast<QObject*>(strip->property("treeView")) == view,
              QStringLiteral("the form's tree controller is bound to the view it names"));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tests_designer_plugin <plugin folder> <form.ui>\n");
        return 2;
    }
    const QString pluginDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QStringList plugins = QDir(pluginDir).entryList({QStringLiteral("*.so")}, QDir::Files);
    check(plugins.size() == 1, QStringLiteral("one plugin in ") + pluginDir + QStringLiteral(": ") + plugins.join(' '));
    if (plugins.size() != 1) return 1;
    QPluginLoader plugin(QDir(pluginDir).filePath(plugins.front()));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(plugin.instance());
    check(collection, QStringLiteral("the plugin is a widget collection: ") + plugin.errorString());
    if (collection) checkCollection(*collection);
    checkForm(pluginDir, QString::fromLocal8Bit(argv[2]));
    return failures == 0 ? 0 : 1;
}
