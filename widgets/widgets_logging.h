#pragma once
// The Qt widgets' logging category, "tavo.widgets": each value a widget
// refuses is a warning here (QT_LOGGING_RULES="tavo.widgets.warning=false"
// silences them).
#include <QLoggingCategory>

namespace tavo {
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
}  // namespace tavo
