#pragma once
// std::from_chars for a float or a double. libc++ before 20 has none; there
// the text goes through strtof or strtod in the "C" locale's terms, with
// from_chars' results. The callers check the number's shape themselves
// first, so strtod's wider grammar (leading spaces, "+", hex) never comes
// into play.
#include <charconv>
#include <string>
#include <system_error>
#include <type_traits>

#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 200000
#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#define TAVO_FLOATING_FROM_STRTOD 1
#endif

namespace tavo {

template <class T>
std::from_chars_result floatingFromChars(const char* first, const char* last, T& value) {
    static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>);
#ifdef TAVO_FLOATING_FROM_STRTOD
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string text(first, last);
    char* end = nullptr;
    errno = 0;
    T v;
    if constexpr (std::is_same_v<T, float>) v = ::strtof_l(text.c_str(), &end, c);
    else v = ::strtod_l(text.c_str(), &end, c);
    const char* stop = first + (end - text.c_str());
    if (stop == first) return {first, std::errc::invalid_argument};
    // strtod says ERANGE of a subnormal result too, which from_chars takes.
    if (errno == ERANGE && (v == 0 || std::isinf(v))) return {stop, std::errc::result_out_of_range};
    value = v;
    return {stop, std::errc()};
#else
    return std::from_chars(first, last, value);
#endif
}

}  // namespace tavo
