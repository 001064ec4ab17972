#pragma once
// The parts behind HeadlessHost, one concern each: the recorder, the loop and
// its clock, the screen, the windows with activation and focus, and input.
// The host's windows, surfaces and children hold these to reach the parts.
#include "backends/headless/event_loop.h"
#include "backends/headless/headless_screen.h"
#include "backends/headless/input_router.h"
#include "backends/headless/recorder.h"
#include "backends/headless/window_manager.h"
#include "tavo/host/font.h"

namespace tavo {

class HeadlessHost;

struct HeadlessHostParts {
    explicit HeadlessHostParts(HeadlessHost& host, const Recorder::TraceSink& onTrace)
        : owner(host),
          recorder(onTrace),
          loop(recorder),
          windows(loop),
          input(loop, windows, screen),
          ambientFont(std::make_shared<Font>()) {
        loop.outlook = [this] {
            return EventLoop::Outlook{recorder.recorded(), windows.active(), windows.focusedChild().get()};
        };
    }

    HeadlessHost& owner;
    Recorder recorder;
    EventLoop loop;
    HeadlessScreen screen;
    WindowManager windows;
    InputRouter input;
    const FontRef ambientFont;
};

}  // namespace tavo
