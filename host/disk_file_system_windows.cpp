// The disk through the Windows API; disk_file_system_posix.cpp is POSIX's.
// Names are UTF-8 in the program and UTF-16 for the system: every call takes
// the name converted, and a name that is not UTF-8 is refused, by name.
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <optional>

#include "host/replacement_names.h"
#include "tavo/host/disk_file_system.h"

namespace tavo {

namespace {

constexpr int kNameAttempts = 16;
// As many bytes as one ReadFile or WriteFile call takes here.
constexpr std::size_t kChunk = 1u << 30;

std::string narrow(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    const int wideLength = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text, wideLength, out.data(), n, nullptr, nullptr);
    return out;
}

// The name as the system takes it; a FileError at `step` when it is no
// UTF-8 text or holds a zero byte, which no file name does.
std::wstring widen(const std::string& path, FileStep step) {
    if (path.find('\0') != std::string::npos) throw FileError(step, path, "the name holds a zero byte");
    if (path.size() > INT_MAX) throw FileError(step, path, "the name is too long");
    if (path.empty()) return {};
    const int size = static_cast<int>(path.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (n <= 0) throw FileError(step, path, "the name is not valid UTF-8");
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, out.data(), n);
    return out;
}

// The failures the POSIX build meets as well read in its words, so that a
// message is the same on every system; the rest in Windows' own.
std::string systemReason(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "No such file or directory";
    case ERROR_ACCESS_DENIED: return "Permission denied";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "File exists";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "No space left on device";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "another program holds the file open";
    default: break;
    }
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = text ? narrow(text, n) : std::string();
    ::LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.' ||
                               reason.back() == ' '))
        reason.pop_back();
    return reason.empty() ? "Windows error " + std::to_string(error) : reason;
}

// What the call just before failed with, as a FileError at `step`.
[[noreturn]] void fail(FileStep step, const std::string& path) {
    const DWORD error = ::GetLastError();
    throw FileError(step, path, systemReason(error));
}

// Closes the handle on every way out.
class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    // Closes now, for the caller to see the result.
    bool close() {
        const bool closed = !valid() || ::CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE h_;
};

std::string hostName() {
    wchar_t buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(buf, &size) || size == 0) return "host";
    return narrow(buf, size);
}

std::string savePrefix(const std::string& name) {
    static const std::string host = hostName();
    return temporaryPrefix(name, host);
}

std::string nextTemporaryName(const std::string& prefix) { return temporaryName(prefix, ::GetCurrentProcessId()); }

bool processIsGone(DWORD id) {
    Handle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    if (!process.valid()) return ::GetLastError() == ERROR_INVALID_PARAMETER;
    return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// Removes the temporaries of this file that a process of this machine left
// behind when it was killed mid-save. A live process's are its own business.
void removeStaleTemporaries(const std::string& folder, const std::string& prefix) {
    WIN32_FIND_DATAW entry{};
    const HANDLE find = ::FindFirstFileW(widen(folder + prefix + "*", FileStep::Replace).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = narrow(entry.cFileName, std::wcslen(entry.cFileName));
        if (!name.starts_with(prefix)) continue;
        const std::optional<unsigned long> maker = makerOf(std::string_view(name).substr(prefix.size()));
        if (!maker || *maker == ::GetCurrentProcessId()) continue;
        if (processIsGone(static_cast<DWORD>(*maker))) ::DeleteFileW(widen(folder + name, FileStep::Replace).c_str());
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

// The file a link (or a chain of them) leads to; the path itself when it is
// no link.
std::string followLink(const std::string& path, const std::wstring& wide) {
    Handle file(::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) fail(FileStep::Replace, path);
    std::wstring resolved(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = ::GetFinalPathNameByHandleW(file.get(), resolved.data(), static_cast<DWORD>(resolved.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) fail(FileStep::Replace, path);
        if (n < resolved.size()) return narrow(resolved.data(), n);
        resolved.resize(n);
    }
    return path;
}

class WindowsReplacement : public FileReplacement {
public:
    WindowsReplacement(std::string target, std::string temporary, HANDLE file)
        : target_(std::move(target)),
          temporary_(std::move(temporary)),
          wideTarget_(widen(target_, FileStep::Replace)),
          wideTemporary_(widen(temporary_, FileStep::Create)),
          file_(file) {}

    ~WindowsReplacement() override {
        file_.close();
        if (!keep_) ::DeleteFileW(wideTemporary_.c_str());
    }

    const std::string& temporaryPath() const override { return temporary_; }

    void write(std::string_view bytes) override {
        while (!bytes.empty()) {
            DWORD n = 0;
            const auto size = static_cast<DWORD>(std::min(bytes.size(), kChunk));
            if (!::WriteFile(file_.get(), bytes.data(), size, &n, nullptr)) fail(FileStep::Write, temporary_);
            bytes.remove_prefix(n);
        }
    }

    void commit() override {
        if (!::FlushFileBuffers(file_.get())) fail(FileStep::Sync, temporary_);
        if (!file_.close()) fail(FileStep::Close, temporary_);
        // The old file's attributes and access rights go to the new one.
        if (::ReplaceFileW(wideTarget_.c_str(), wideTemporary_.c_str(), nullptr,
                           REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr)) {
            keep_ = true;
            return;
        }
        const DWORD error = ::GetLastError();
        // No file to replace (yet, or no longer: a replacement that could not
        // be moved leaves it gone): the new contents move into its place.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            throw FileError(FileStep::Rename, temporary_, systemReason(error));
        if (::MoveFileExW(wideTemporary_.c_str(), wideTarget_.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            keep_ = true;
            return;
        }
        // Where the old file is gone, the temporary is all that holds the
        // contents: it stays, and the error says where.
        keep_ = error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
        fail(FileStep::Rename, temporary_);
    }

private:
    std::string target_;
    std::string temporary_;
    std::wstring wideTarget_;
    std::wstring wideTemporary_;
    Handle file_;
    bool keep_ = false;
};

}  // namespace

std::string DiskFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    if (path.empty()) throw FileError(FileStep::Open, path, "the file name is empty");
    const std::wstring wide = widen(path, FileStep::Open);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw FileError(FileStep::Read, path, "it is a folder");
    Handle file(::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) fail(FileStep::Open, path);
    std::string text;
    LARGE_INTEGER size{};
    if (::GetFileType(file.get()) == FILE_TYPE_DISK && ::GetFileSizeEx(file.get(), &size)) {
        if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) throw FileTooLarge(path, maxBytes);
        text.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    // One byte past the limit tells a file of exactly the limit from a longer
    // one (a device has no size to ask).
    char buf[65536];
    while (true) {
        const std::size_t room = maxBytes - text.size();
        DWORD n = 0;
        const auto want = static_cast<DWORD>(room >= sizeof buf ? sizeof buf : room + 1);
        if (!::ReadFile(file.get(), buf, want, &n, nullptr) && ::GetLastError() != ERROR_BROKEN_PIPE)
            fail(FileStep::Read, path);
        if (n == 0) return text;
        if (n > room) throw FileTooLarge(path, maxBytes);
        text.append(buf, n);
    }
}

std::unique_ptr<FileReplacement> DiskFileSystem::startReplacing(const std::string& path) {
    if (path.empty()) throw FileError(FileStep::Replace, path, "the file name is empty");
    std::wstring wide = widen(path, FileStep::Replace);
    std::string target = path;
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        target = followLink(path, wide);
        attributes = ::GetFileAttributesW(widen(target, FileStep::Replace).c_str());
    }
    const std::string name = nameOf(target);
    if (name.empty()) throw FileError(FileStep::Replace, path, "the name ends in \"/\": it names a folder");
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) throw FileError(FileStep::Replace, path, "it is a folder");
        if (attributes & FILE_ATTRIBUTE_DEVICE) throw FileError(FileStep::Replace, path, "it is not a plain file");
        // A file nobody may write is not overwritten behind its owner's back.
        if (attributes & FILE_ATTRIBUTE_READONLY) throw FileError(FileStep::Replace, path, "it is read-only");
    }

    // Windows has no nameless files: the temporary is named from the start.
    const std::string folder = folderPrefix(target);
    const std::string prefix = savePrefix(name);
    removeStaleTemporaries(folder, prefix);
    std::string temporary;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = folder + nextTemporaryName(prefix);
        const HANDLE file = ::CreateFileW(widen(temporary, FileStep::Create).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return std::make_unique<WindowsReplacement>(target, temporary, file);
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            throw FileError(FileStep::Create, temporary, systemReason(error));
    }
    throw FileError(FileStep::Create, temporary, systemReason(ERROR_FILE_EXISTS));
}

FileSystem& diskFileSystem() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace tavo
#endif  // _WIN32
