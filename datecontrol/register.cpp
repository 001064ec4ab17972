#include "tavo/calendar/register.h"

#include "tavo/calendar/tavo_calendar_drop_down.h"

namespace tavo {

namespace {

MemberInfo property(std::string name, std::string type, std::string description, bool byRef = false) {
    MemberInfo m;
    m.kind = MemberKind::Property;
    m.name = std::move(name);
    m.type = std::move(type);
    m.putByRef = byRef;
    m.description = std::move(description);
    return m;
}

EventInfo event(int number, std::string name, std::vector<std::string> params, std::string description) {
    EventInfo e;
    e.number = number;
    e.name = std::move(name);
    for (auto& p : params) e.params.push_back({std::move(p), "Integer", true});
    e.description = std::move(description);
    return e;
}

TypeInfo typeInfo() {
    TypeInfo t;
    t.progId = TavoCalendarDropDown::kProgId;
    t.members = {
        property("Enabled", "Boolean",
                 "Gibt einen Wert zurück, der bestimmt, ob ein Objekt auf vom Benutzer erzeugte Ereignisse reagieren "
                 "kann, oder legt diesen fest."),
        property("Font", "Font", "Gibt ein Font-Objekt zurück.", true),
        property("CalendarBackColor", "OLE_COLOR",
                 "Gibt die Hintergrundfarbe zurück, die zum Anzeigen des Monatsbereichs des Dropdown-Kalenders "
                 "verwendet wird, oder legt sie fest."),
        property("CalendarForeColor", "OLE_COLOR",
                 "Gibt die Vordergrundfarbe zurück, die zum Anzeigen von Text im Monatsbereichs des "
                 "Dropdown-Kalenders verwendet wird, oder legt sie fest."),
        property("CalendarTitleBackColor", "OLE_COLOR",
                 "Gibt die Hintergrundfarbe zurück, die zum Anzeigen des Titelbereichs des Dropdown-Kalenders "
                 "verwendet wird, oder legt sie fest."),
        property("CalendarTitleForeColor", "OLE_COLOR",
                 "Gibt die Vordergrundfarbe zurück, die zum Anzeigen des Titelbereichs des Dropdown-Kalenders "
                 "verwendet wird, oder legt sie fest."),
        property("CalendarTrailingForeColor", "OLE_COLOR",
                 "Gibt die Vordergrundfarbe zurück, die zum Anzeigen der Tage am Anfang und Ende des "
                 "Dropdown-Kalenders, die zum vorherigen und zum nächsten Monat gehören, verwendet wird, oder legt "
                 "sie fest."),
        property("CustomFormat", "String",
                 "Gibt die benutzerdefinerte Formatzeichenfolge, die zum Formatieren des Datums und/oder der Zeit "
                 "verwendet wird, die in dem Steuerelement angezeigt werden, oder legt sie fest."),
        property("Format", "Integer",
                 "Bestimmt, ob Daten und Zeiten unter Verwendung von standardmäßiger oder benutzerdefinierter "
                 "Formatierung angezeigt werden.\r\n0..Long Date Format\r\n1..Short Date Format\r\n2..Time "
                 "Format\r\n3..Custom format"),
        property("MaxDate", "Date",
                 "Legt das späteste Datum fest, das von dem Steuerelement angezeigt oder akzeptiert werden kann, "
                 "oder gibt es zurück."),
        property("MinDate", "Date",
                 "Legt das früheste Datum fest, das von dem Steuerelement angezeigt oder akzeptiert werden kann, "
                 "oder gibt es zurück."),
        property("Picture", "Picture",
                 "Gibt eine Grafik zurück, die in einer Befehlsschaltfläche oder einem Kontrolkästchen angezeigt "
                 "wird, wenn Style den Wert 1 hat.",
                 true),
        property("UpDown", "Boolean",
                 "Gibt einen Wert zurück oder legt einen Wert fest, der bestimmt, ob eine Richtungsschaltfläche "
                 "(bzw. Drehfeld) zum Verändern der Daten verwendet wird, anstatt eines Dropdown-Kalenders."),
        property("Value", "Variant", "Legt das aktuelle Datum fest oder gibt es zurück."),
        property("MonthColumns", "Integer", "Monats Spalten für aufgeklappte Auswahl.\r\nMaximalwert ist 3"),
        property("MonthRows", "Integer", "Monats Zeilen für aufgeklappte Auswahl.\r\nMaximalwert ist 3."),
        property("ShowToday", "Boolean", ""),
        property("ShowWeek", "Boolean", ""),
        property("PictureType", "Integer",
                 "0..Eigenes Bild aus Picture-Eigenschaft\r\n1..Standard Drop-Down Arrow\r\n2..Calender Picture"),
        property("CalendarMonthBackColor", "OLE_COLOR", ""),
        property("CanOpen", "Boolean", "If set to FALSE, the user can not use the drop down calendar"),
    };
    t.events = {
        event(1, "Click", {}, "Tritt auf, wenn der Benutzer eine Maustaste über einem Objekt drückt und wieder losläßt."),
        event(2, "DblClick", {},
              "Tritt auf, wenn man eine Maustaste drückt und wieder losläßt und nochmals über einem Objekt drückt "
              "und wieder losläßt."),
        event(3, "KeyDown", {"KeyCode", "Shift"},
              "Tritt auf, wenn der Benutzer eine Taste drückt, während ein Objekt den Fokus hat."),
        event(4, "KeyPress", {"KeyAscii"}, "Tritt auf, wenn der Benutzer eine ANSI-Taste drückt und losläßt."),
        event(5, "KeyUp", {"KeyCode", "Shift"},
              "Tritt auf, wenn der Benutzer eine Taste losläßt, während ein Objekt den Fokus hat."),
        event(6, "Change", {},
              "Tritt auf, wenn der Benutzer ein neues Datum auswählt oder ein Datum im Bearbeitungsbereich des "
              "Steuerelements ändert."),
    };
    return t;
}

}  // namespace

void registerTavoCalendar(ComponentRegistry& registry) {
    registry.add(typeInfo(), [](ControlSite& site) -> std::shared_ptr<Control> {
        return std::make_shared<TavoCalendarDropDown>(site);
    });
}

}  // namespace tavo
