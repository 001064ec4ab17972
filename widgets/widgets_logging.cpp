#include "widgets/widgets_logging.h"

namespace tavo {
Q_LOGGING_CATEGORY(lcWidgets, "tavo.widgets")
}  // namespace tavo
