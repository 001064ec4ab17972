#pragma once
// What the headless host records for tests: the trace of calls the controls
// make, the message boxes, the keys sent and the errors handlers let out.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "backends/headless/headless_host.h"
#include "tavo/host/error.h"

namespace tavo {

class Recorder {
public:
    using TraceSink = std::function<void(const std::string& line)>;
    // `onTrace` is the host's observer; it is read at each line, so that a
    // test may set or replace it at any time.
    explicit Recorder(const TraceSink& onTrace) : onTrace_(onTrace) {}

    // Adds a line to the trace and passes it to the observer.
    void record(const std::string& line);
    void recordMessageBox(std::string_view text, int style);
    void recordSentKeys(std::string_view keys);
    void recordHandlerError(const HostError& e);

    const std::vector<std::string>& trace() const { return trace_; }
    void clearTrace() { trace_.clear(); }
    const std::vector<HeadlessHost::MsgBoxRecord>& messageBoxes() const { return messageBoxes_; }
    const std::vector<std::string>& keysSent() const { return keysSent_; }
    const std::vector<HostError>& handlerErrors() const { return handlerErrors_; }
    void clearHandlerErrors() { handlerErrors_.clear(); }
    // Lines recorded since the host started; clearing the trace keeps the count.
    std::size_t recorded() const { return recorded_; }

private:
    const TraceSink& onTrace_;
    std::vector<std::string> trace_;
    std::vector<HeadlessHost::MsgBoxRecord> messageBoxes_;
    std::vector<std::string> keysSent_;
    std::vector<HostError> handlerErrors_;
    std::size_t recorded_ = 0;
};

}  // namespace tavo
