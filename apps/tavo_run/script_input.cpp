#include "apps/tavo_run/script_input.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ios>
#include <string_view>

#include "apps/tavo_run/system_names.h"
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tavo {

namespace {

#ifdef _WIN32
int openForReading(const std::string& path) { return ::_wopen(wideName(path).c_str(), _O_RDONLY | _O_BINARY); }
long readSome(int fd, char* to, unsigned size) { return ::_read(fd, to, size); }
void closeFile(int fd) { ::_close(fd); }
#else
int openForReading(const std::string& path) { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); }
long readSome(int fd, char* to, std::size_t size) { return ::read(fd, to, size); }
void closeFile(int fd) { ::close(fd); }
#endif

}  // namespace

ScriptInput::ScriptInput() : fd_(0) {}

ScriptInput::ScriptInput(const std::string& path) {
    std::error_code ec;
    const std::u8string_view name(reinterpret_cast<const char8_t*>(path.data()), path.size());
    if (std::filesystem::is_directory(std::filesystem::path(name), ec)) {
        problem_ = "the script " + path + " is a folder, not a file";
        return;
    }
    fd_ = openForReading(path);
    if (fd_ < 0) {
        problem_ = "cannot open the script " + path + ": " + std::strerror(errno);
        return;
    }
    owned_ = true;
}

ScriptInput::~ScriptInput() {
    if (owned_) closeFile(fd_);
}

ScriptInput::int_type ScriptInput::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (fd_ < 0) return traits_type::eof();
    for (;;) {
        const long got = readSome(fd_, buffer_.data(), static_cast<unsigned>(buffer_.size()));
        if (got > 0) {
            setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
            return traits_type::to_int_type(*gptr());
        }
        if (got == 0) return traits_type::eof();
        if (errno != EINTR) throw std::ios_base::failure(std::strerror(errno));
    }
}

}  // namespace tavo
