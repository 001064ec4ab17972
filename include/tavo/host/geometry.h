#pragma once
#include "tavo/host/host_export.h"
// Where a control stands on its form.

namespace tavo {

struct TAVO_HOST_EXPORT Placement {
    float left = 0, top = 0, width = 0, height = 0;  // twips on the form
};

}  // namespace tavo
