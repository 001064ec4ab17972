#pragma once
// `tavo-run` with real windows: the form (or the built-in demo) in a window
// of its own, driven by the user, or by a script in the headless runner's
// language; optionally a picture of the screen at the end.
#include <string>

namespace tavo {

struct WindowRunOptions {
    std::string formPath;        // empty: the demo form
    std::string scriptPath;      // empty: the user drives the window
    std::string screenshotPath;  // empty: no picture
};

// Returns the exit status: the script's, 1 when the picture could not be
// written, 2 when there is no display to open a window on.
int runInWindows(int argc, char** argv, const WindowRunOptions& options);

}  // namespace tavo
