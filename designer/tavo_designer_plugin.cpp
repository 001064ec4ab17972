#include "designer/tavo_designer_plugin.h"

#include <QMetaProperty>
#include <QPixmap>

#include "backends/qt/qt_picture.h"
#include "datecontrol/button_pictures.h"
#include "datecontrol/drop_down_design.h"
#include "tavo/calendar/register.h"
#include "tavo/calendar/tavo_calendar_drop_down.h"
#include "tavo/qt/qt_host.h"
#include "tavo/widgets/date_drop_down.h"
#include "tavo/widgets/tree_controller.h"
#include "treecontroller/tree_pictures.h"

namespace tavo {

namespace {

// The button a tree controller is known by: two plus signs, "open every node".
constexpr int kExpandAllButton = 1;
// Twips a picture pixel covers, as the host measures pictures.
constexpr int kTwipsPerPicturePixel = 15;

// The control's picture, doubled by whole pixels so that the widget box's
// larger icon sizes stay sharp.
QIcon iconOf(const PictureRef& picture) {
    const QImage image = pictureImage(picture);
    return QIcon(QPixmap::fromImage(image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

// A widget placed anew: its object name and its size at the screen's density.
QString domXml(const QString& className, const QString& objectName, QSizeF twips) {
    const auto host = QtHost::forThisThread();
    return QStringLiteral(
               "<ui language=\"c++\">\n"
               " <widget class=\"%1\" name=\"%2\">\n"
               "  <property name=\"geometry\">\n"
               "   <rect><x>0</x><y>0</y><width>%3</width><height>%4</height></rect>\n"
               "  </property>\n"
               " </widget>\n"
               "</ui>\n")
        .arg(className, objectName)
        .arg(host->toPixelsX(float(twips.width())))
        .arg(host->toPixelsY(float(twips.height())));
}

QString html(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped().replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
}

// The control member a property of the date widget stands for: the same
// name capitalised, but for the date and its range.
std::string dateMemberOf(const char* property) {
    const QByteArray name(property);
    if (name == "date") return "Value";
    if (name == "minimumDate") return "MinDate";
    if (name == "maximumDate") return "MaxDate";
    std::string member = name.toStdString();
    member[0] = char(std::toupper(static_cast<unsigned char>(member[0])));
    return member;
}

// The date widget's properties with the control's descriptions of them, as the
// property browsers of form designers show them.
QString dateWhatsThis() {
    ComponentRegistry& registry = ComponentRegistry::global();
    if (!registry.typeInfo(TavoCalendarDropDown::kProgId)) registerTavoCalendar(registry);
    const TypeInfo* info = registry.typeInfo(TavoCalendarDropDown::kProgId);
    QString rows;
    const QMetaObject& meta = DateDropDown::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        const MemberInfo* member = info ? info->member(dateMemberOf(property.name())) : nullptr;
        if (!property.isDesignable() || !member || member->description.empty()) continue;
        rows += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QLatin1String(property.name()), html(member->description));
    }
    return QStringLiteral(
               "<p><b>DateDropDown</b> (TavoCalendarDropDown): a date box with a button that drops down a "
               "calendar of up to 3 x 3 months.</p><table>%1</table>")
        .arg(rows);
}

DesignerWidget dateWidget() {
    const ChildDesign box = dropDownDesign::cal();
    return {QStringLiteral("tavo::DateDropDown"),
            QStringLiteral("<tavo/widgets/date_drop_down.h>"),
            QStringLiteral("Drop-down date control: a date box with a month calendar"),
            dateWhatsThis(),
            iconOf(calendarSheetPicture()),
            domXml(QStringLiteral("tavo::DateDropDown"), QStringLiteral("dateDropDown"), QSizeF(box.width, box.height)),
            [](QWidget* parent) { return new DateDropDown(parent); }};
}

DesignerWidget treeWidget() {
    // The strip is as large as its background picture.
    const QSize strip = pictureImage(treeBackgroundPicture()).size() * kTwipsPerPicturePixel;
    return {QStringLiteral("tavo::TreeController"),
            QStringLiteral("<tavo/widgets/tree_controller.h>"),
            QStringLiteral("Tree controller: four buttons that open and close the nodes of a tree view"),
            QStringLiteral(
                "<p><b>TreeController</b> (TavoSSTreeController): a strip of four buttons that open the selected "
                "node and everything below it, open every node, close every node, and close the selected node and "
                "everything below it, in a QTreeView of the same window.</p>"
                "<p><b>treeViewName</b>: the object name of that QTreeView; it is bound when the form is shown. "
                "<b>toolTipTextPlus</b>, <b>toolTipTextPlusPlus</b>, <b>toolTipTextMinusMinus</b>, "
                "<b>toolTipTextMinus</b>: the buttons' tooltips, left to right.</p>"),
            iconOf(treeButtonPicture(kExpandAllButton, TreeButtonLook::Normal)),
            domXml(QStringLiteral("tavo::TreeController"), QStringLiteral("treeController"), QSizeF(strip)),
            [](QWidget* parent) { return new TreeController(parent); }};
}

}  // namespace

TavoDesignerPlugin::TavoDesignerPlugin(QObject* parent) : QObject(parent) {
    widgets_ = {new DesignerWidgetInterface(dateWidget()), new DesignerWidgetInterface(treeWidget())};
}

TavoDesignerPlugin::~TavoDesignerPlugin() { qDeleteAll(widgets_); }

}  // namespace tavo
