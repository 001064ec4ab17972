#pragma once
// The error number a call ends with, for tests that check which error a bad
// call raises without caring for its text.
#include "tavo/host/error.h"

namespace tavo {

// The HostError number that running `f` throws, or 0 when it throws none.
template <class F>
int errorNumberOf(F&& f) {
    try {
        f();
    } catch (const HostError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace tavo
