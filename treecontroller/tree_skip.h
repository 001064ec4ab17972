#pragma once
// Skip-on-error over the bound tree view. The tree is the application's
// component, reached through an adapter that may fail with exceptions of its
// own rather than the host's error; none of them may reach the application,
// so here every exception counts as a failed step. The tree controller never
// looks at the error itself, only at whether steps failed.
#include <cstdint>
#include <utility>

namespace tavo {

class TreeSkip {
public:
    template <class F>
    void step(F&& f) {
        try {
            std::forward<F>(f)();
        } catch (...) {
            ++failures_;
        }
    }
    // A test that fails counts as passed.
    template <class F>
    bool test(F&& f) {
        try {
            return static_cast<bool>(std::forward<F>(f)());
        } catch (...) {
            ++failures_;
            return true;
        }
    }
    // Steps and tests that have failed so far.
    uint64_t failures() const { return failures_; }

private:
    uint64_t failures_ = 0;
};

// What f answers, or `otherwise` when asking fails: for the questions whose
// answer only spares work, where not knowing is no failed step.
template <class T, class F>
T answerOr(T otherwise, F&& f) {
    try {
        return std::forward<F>(f)();
    } catch (...) {
        return otherwise;
    }
}

}  // namespace tavo
