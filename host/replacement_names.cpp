#include "host/replacement_names.h"

#include <algorithm>
#include <atomic>

namespace tavo {

namespace {

// The longest name a folder entry takes on the common file systems.
constexpr std::size_t kMaxNameBytes = 255;
constexpr std::string_view kTemporaryMark = ".tavo-save-";

bool endsFolder(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

}  // namespace

std::string folderPrefix(const std::string& path) {
    const auto end = std::find_if(path.rbegin(), path.rend(), endsFolder);
    return std::string(path.begin(), end.base());
}

std::string nameOf(const std::string& path) { return path.substr(folderPrefix(path).size()); }

std::string temporaryPrefix(const std::string& name, std::string host) {
    std::replace_if(host.begin(), host.end(), endsFolder, '_');
    const std::string mark = std::string(kTemporaryMark) + host + "-";
    constexpr std::size_t kNumbers = 10 + 1 + 10;
    const std::size_t room = kMaxNameBytes - 1 - mark.size() - kNumbers;
    std::size_t keep = std::min(name.size(), room);
    while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
    return "." + name.substr(0, keep) + mark;
}

std::string temporaryName(const std::string& prefix, unsigned long process) {
    static std::atomic<unsigned> counter{0};
    return prefix + std::to_string(process) + "-" + std::to_string(counter.fetch_add(1));
}

std::optional<unsigned long> makerOf(std::string_view rest) {
    const std::size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size() || dash > 9) return std::nullopt;
    const auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
    if (!digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1))) return std::nullopt;
    return std::stoul(std::string(rest.substr(0, dash)));
}

}  // namespace tavo
