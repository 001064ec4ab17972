#pragma once
// Where a control stands on its form.

namespace tavo {

struct Placement {
    float left = 0, top = 0, width = 0, height = 0;  // twips on the form
};

}  // namespace tavo
