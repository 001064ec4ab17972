#include "apps/tavo_run/system_names.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#endif

namespace tavo {

#ifdef _WIN32

namespace {

std::string utf8Name(const wchar_t* wide) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string out(static_cast<std::size_t>(n - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int n = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n);
    if (!wide) return {argv + (argc > 0 ? 1 : 0), argv + argc};
    std::vector<std::string> out;
    for (int i = 1; i < n; ++i) out.push_back(utf8Name(wide[i]));
    ::LocalFree(wide);
    return out;
}

std::wstring wideName(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n);
    return out;
}

#else

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv + (argc > 0 ? 1 : 0), argv + argc}; }

#endif

}  // namespace tavo
