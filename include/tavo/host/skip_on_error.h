#pragma once
// Skip-on-error mode: each step runs in a guard; a step that fails is abandoned
// and the next one runs; a failing test of a conditional counts as passed. Use
// it only where a handler is defined to run in that mode.
#include <optional>
#include <utility>

#include "tavo/host/error.h"
#include "tavo/host/host_export.h"

namespace tavo {

class TAVO_HOST_EXPORT SkipOnError {
public:
    template <class F>
    void step(F&& f) {
        try {
            std::forward<F>(f)();
        } catch (const HostError& e) {
            last_ = e;
        }
    }
    // Evaluates a condition; when evaluating it fails, the condition counts as passed.
    template <class F>
    bool test(F&& f) {
        try {
            return static_cast<bool>(std::forward<F>(f)());
        } catch (const HostError& e) {
            last_ = e;
            return true;
        }
    }
    bool failed() const { return last_.has_value(); }
    const std::optional<HostError>& lastError() const { return last_; }
    void clear() { last_.reset(); }

private:
    std::optional<HostError> last_;
};

}  // namespace tavo
