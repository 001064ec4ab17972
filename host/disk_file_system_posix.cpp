// The disk through POSIX calls; disk_file_system_windows.cpp is Windows'.
#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>

#include "host/replacement_names.h"
#include "tavo/host/disk_file_system.h"

namespace tavo {

namespace {

// As many links as the system itself follows before it gives up (ELOOP).
constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 16;

std::string systemReason(int error) { return std::strerror(error); }

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now, for the caller to see the result.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// The file a save replaces: the path itself or, when it is a symbolic link,
// the file at the end of its chain of links, which need not exist yet.
std::string followLinks(const std::string& path) {
    std::string p = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(p.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<std::size_t>(n) >= target.size()) return p;
        target.resize(static_cast<std::size_t>(n));
        p = target.front() == '/' ? target : folderPrefix(p) + target;
    }
    throw FileError(FileStep::Replace, path, "too many levels of symbolic links");
}

std::string hostName() {
    char buf[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || buf[0] == '\0') return "host";
    return buf;
}

// This process's temporaries of the file `name`: the prefix, then a name.
std::string savePrefix(const std::string& name) {
    static const std::string host = hostName();
    return temporaryPrefix(name, host);
}

std::string nextTemporaryName(const std::string& prefix) {
    return temporaryName(prefix, static_cast<unsigned long>(::getpid()));
}

// Removes the temporaries of this file that a process of this machine left
// behind when it was killed mid-save. A live process's are its own business.
void removeStaleTemporaries(const std::string& folder, const std::string& prefix) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix)) continue;
        const std::optional<unsigned long> maker = makerOf(name.substr(prefix.size()));
        if (!maker) continue;
        const auto pid = static_cast<pid_t>(*maker);  // nine digits at most
        if (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool canNameOpenFiles() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

class DiskReplacement : public FileReplacement {
public:
    DiskReplacement(std::string target, std::string prefix, std::string temporary, int fd, bool named)
        : target_(std::move(target)),
          prefix_(std::move(prefix)),
          temporary_(std::move(temporary)),
          fd_(fd),
          named_(named) {}

    ~DiskReplacement() override {
        if (named_ && !committed_) ::unlink(temporary_.c_str());
    }

    const std::string& temporaryPath() const override { return temporary_; }

    void write(std::string_view bytes) override {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw FileError(FileStep::Write, temporary_, systemReason(errno));
            done += static_cast<std::size_t>(n);
        }
    }

    void commit() override {
        if (::fsync(fd_.get()) != 0) throw FileError(FileStep::Sync, temporary_, systemReason(errno));
        if (!named_) giveName();
        if (fd_.close() != 0) throw FileError(FileStep::Close, temporary_, systemReason(errno));
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            throw FileError(FileStep::Rename, temporary_, systemReason(errno));
        committed_ = true;

        // Makes the rename itself survive a crash; a folder that cannot be
        // synced still holds a whole file, old or new.
        const std::string prefix = folderPrefix(target_);
        Descriptor dir(::open(prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dir.get() >= 0) ::fsync(dir.get());
    }

private:
    // The nameless file gets its name only now, just before the rename: a
    // save killed before this leaves nothing in the folder.
    void giveName() {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        int error = EEXIST;
        for (int attempt = 0; attempt < kNameAttempts && error == EEXIST; ++attempt) {
            if (attempt > 0) temporary_ = folderPrefix(target_) + nextTemporaryName(prefix_);
            error = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
        }
        if (error != 0) throw FileError(FileStep::Rename, temporary_, systemReason(error));
        named_ = true;
    }

    std::string target_;
    std::string prefix_;
    std::string temporary_;
    Descriptor fd_;
    bool named_;
    bool committed_ = false;
};

}  // namespace

std::string DiskFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    if (path.empty()) throw FileError(FileStep::Open, path, "the file name is empty");
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) throw FileError(FileStep::Open, path, systemReason(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw FileError(FileStep::Read, path, "it is a folder");
        if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > maxBytes) throw FileTooLarge(path, maxBytes);
    }
    std::string text;
    if (st.st_size > 0) text.reserve(static_cast<std::size_t>(st.st_size));
    // One byte past the limit tells a file of exactly the limit from a longer
    // one (a device such as /dev/zero has no size to ask).
    char buf[65536];
    while (true) {
        const std::size_t room = maxBytes - text.size();
        const ssize_t n = ::read(fd.get(), buf, room >= sizeof buf ? sizeof buf : room + 1);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw FileError(FileStep::Read, path, systemReason(errno));
        if (n == 0) return text;
        if (static_cast<std::size_t>(n) > room) throw FileTooLarge(path, maxBytes);
        text.append(buf, static_cast<std::size_t>(n));
    }
}

std::unique_ptr<FileReplacement> DiskFileSystem::startReplacing(const std::string& path) {
    if (path.empty()) throw FileError(FileStep::Replace, path, "the file name is empty");
    const std::string target = followLinks(path);
    const std::string name = nameOf(target);
    if (name.empty()) throw FileError(FileStep::Replace, path, "the name ends in \"/\": it names a folder");
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) throw FileError(FileStep::Replace, path, "it is a folder");
        if (!S_ISREG(old.st_mode)) throw FileError(FileStep::Replace, path, "it is not a plain file");
        // Even where the folder would let the rename replace it, a file
        // nobody may write is not overwritten behind its owner's back.
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            throw FileError(FileStep::Replace, path, "it is read-only");
    }

    const std::string folder = folderPrefix(target);
    const std::string prefix = savePrefix(name);
    removeStaleTemporaries(folder.empty() ? "." : folder, prefix);

    std::string temporary = folder + nextTemporaryName(prefix);
    int fd = -1;
    bool named = true;
    if (temporaries_ == Temporaries::Unnamed && canNameOpenFiles()) {
        fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        const int error = errno;
        if (fd >= 0) named = false;
        // Anything but a file system without nameless files is a real failure.
        else if (error != EOPNOTSUPP && error != EISDIR && error != EINVAL)
            throw FileError(FileStep::Create, temporary, systemReason(error));
    }
    int error = 0;
    for (int attempt = 0; fd < 0 && attempt < kNameAttempts; ++attempt) {
        if (attempt > 0) temporary = folder + nextTemporaryName(prefix);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (fd < 0 && error != EEXIST) break;
    }
    if (fd < 0) throw FileError(FileStep::Create, temporary, systemReason(error));

    if (exists) {
        // Owner and group first (as root, or the group where the saver is in
        // it), since a change of owner clears the set-ID bits that the mode
        // restores. Where the system refuses, the new file keeps the saver's.
        static_cast<void>(::fchown(fd, old.st_uid, old.st_gid) == 0 ||
                          ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0);
        ::fchmod(fd, old.st_mode & 07777);
    }
    return std::make_unique<DiskReplacement>(target, prefix, std::move(temporary), fd, named);
}

FileSystem& diskFileSystem() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace tavo
#endif  // _WIN32
