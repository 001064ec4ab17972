#pragma once
// The error a call ends with: its number, for tests that check which error a
// bad call raises without caring for its text, or its text.
#include <string>

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

// The HostError's text that running `f` throws, or "" when it throws none.
template <class F>
std::string errorMessageOf(F&& f) {
    try {
        f();
    } catch (const HostError& e) {
        return e.what();
    }
    return {};
}

}  // namespace tavo
