#include "apps/tavo_run/demo_form.h"

#include <array>
#include <cmath>

#include "tavo/host/date.h"

namespace tavo::demo {

namespace {

constexpr std::array<TreeNode, 37> kTree = {{
    {"year", "", "Geschäftsjahr 2024"},
    {"q1", "year", "1. Quartal"},
    {"jan", "q1", "Januar"},
    {"feb", "q1", "Februar"},
    {"mar", "q1", "März"},
    {"q2", "year", "2. Quartal"},
    {"apr", "q2", "April"},
    {"may", "q2", "Mai"},
    {"jun", "q2", "Juni"},
    {"q3", "year", "3. Quartal"},
    {"jul", "q3", "Juli"},
    {"aug", "q3", "August"},
    {"sep", "q3", "September"},
    {"q4", "year", "4. Quartal"},
    {"oct", "q4", "Oktober"},
    {"nov", "q4", "November"},
    {"dec", "q4", "Dezember"},
    {"depts", "", "Abteilungen"},
    {"buying", "depts", "Einkauf"},
    {"sales", "depts", "Vertrieb"},
    {"north", "sales", "Region Nord"},
    {"south", "sales", "Region Süd"},
    {"west", "sales", "Region West"},
    {"dev", "depts", "Entwicklung"},
    {"teamA", "dev", "Team Kalender"},
    {"teamB", "dev", "Team Baum"},
    {"admin", "depts", "Verwaltung"},
    {"sites", "", "Standorte"},
    {"berlin", "sites", "Berlin"},
    {"berlinStore", "berlin", "Lager"},
    {"berlinOffice", "berlin", "Büro"},
    {"hamburg", "sites", "Hamburg"},
    {"hamburgStore", "hamburg", "Lager"},
    {"hamburgOffice", "hamburg", "Büro"},
    {"munich", "sites", "München"},
    {"munichStore", "munich", "Lager"},
    {"munichOffice", "munich", "Büro"},
}};

constexpr std::array<Label, 3> kLabels = {{
    {"lblDate", "Datum:", 240, 285, 900, 255},
    {"lblTree", "Baum:", 240, 840, 900, 255},
    {"lblHint", "Der Knopf rechts im Datumsfeld öffnet den Kalender; die vier Knöpfe über dem Baum öffnen und "
                "schließen den gewählten Zweig oder den ganzen Baum.",
     240, 5985, 5160, 720},
}};

}  // namespace

std::string formText(double valueSerial) {
    const std::string value = formatDateCanonical(std::floor(valueSerial));
    return std::string("VERSION 1.00\n"
                       "Begin Form frmDemo\n"
                       "   Begin TavoCalendar.TavoCalendarDropDown Cal1\n"
                       "      Left = 1200\n"
                       "      Top = 240\n"
                       "      Width = 2700\n"
                       "      Height = 330\n"
                       // A blue title, as the calendar's own title bar has it,
                       // so that weekday names, week numbers and the chosen
                       // day stand out from the white months.
                       "      CalendarTitleBackColor = 10841658&\n"
                       "      CalendarTitleForeColor = 16777215&\n"
                       "      Value = #") +
           value +
           "#\n"
           "   End\n"
           "   Begin TavoSSAddOn.TavoSSTreeController Ctl1\n"
           "      Left = 1200\n"
           "      Top = 840\n"
           "      Width = 1080\n"
           "      Height = 225\n"
           "      mySSTree = Control SSTree1\n"
           "   End\n"
           "   Begin SSActiveTreeView.SSTree SSTree1\n"
           "      Left = 1200\n"
           "      Top = 1140\n"
           "      Width = 4200\n"
           "      Height = 4650\n"
           "   End\n"
           "End\n";
}

std::span<const TreeNode> sampleTree() { return kTree; }

std::span<const Label> labels() { return kLabels; }

}  // namespace tavo::demo
