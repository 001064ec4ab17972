#pragma once
// What a form holds when it is loaded or saved: its name and, in order, a
// block per control with the control's class, name, place and stored properties.
#include <string>
#include <vector>

#include "tavo/host/geometry.h"
#include "tavo/host/host_export.h"
#include "tavo/host/property_store.h"

namespace tavo {

struct TAVO_HOST_EXPORT FormControlData {
    std::string className;  // "Library.Class"
    std::string name;
    Placement place;
    PropertyStore properties;
    int line = 0;
};

struct TAVO_HOST_EXPORT FormData {
    std::string name = "Form1";
    std::string file;  // where it was read from, for the errors of its load

    std::vector<FormControlData> controls;
};

}  // namespace tavo
