#include "backends/headless/recorder.h"

namespace tavo {

namespace {

std::string escapeForTrace(std::string_view text) {
    std::string out;
    for (const char ch : text) {
        if (ch == '\r')
            out += "\\r";
        else if (ch == '\n')
            out += "\\n";
        else
            out += ch;
    }
    return out;
}

}  // namespace

void Recorder::record(const std::string& line) {
    trace_.push_back(line);
    ++recorded_;
    // Through a copy: the observer may replace itself while it runs.
    if (const TraceSink sink = onTrace_) sink(line);
}

void Recorder::recordMessageBox(std::string_view text, int style) {
    messageBoxes_.push_back({std::string(text), style});
    record("msgbox " + std::to_string(style) + " \"" + escapeForTrace(text) + "\"");
}

void Recorder::recordSentKeys(std::string_view keys) {
    keysSent_.emplace_back(keys);
    record("sendkeys \"" + std::string(keys) + "\"");
}

void Recorder::recordHandlerError(const HostError& e) {
    handlerErrors_.push_back(e);
    record("error " + std::to_string(e.number()) + " " + e.what());
}

}  // namespace tavo
