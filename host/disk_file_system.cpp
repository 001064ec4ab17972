// The disk behind FileSystem, through POSIX calls. A replacement writes a
// temporary file beside the target, flushes it, and renames it over the old
// file; a replacement that fails or is dropped closes and removes its
// temporary file, so the old file stays whole and nothing is left behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "host/file_system.h"

namespace tavo {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

std::string temporaryPathFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    return path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(salt) + "-" +
           std::to_string(counter.fetch_add(1));
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class DiskReplacement : public FileReplacement {
public:
    DiskReplacement(std::string target, std::string temporary, int fd)
        : target_(std::move(target)), temporary_(std::move(temporary)), fd_(fd) {}

    ~DiskReplacement() override {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_) ::unlink(temporary_.c_str());
    }

    const std::string& temporaryPath() const override { return temporary_; }

    void write(std::string_view bytes) override {
        size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw FileError(FileStep::Write, temporary_, systemReason(errno));
            done += static_cast<size_t>(n);
        }
    }

    void commit() override {
        if (::fsync(fd_) != 0) throw FileError(FileStep::Sync, temporary_, systemReason(errno));
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0) throw FileError(FileStep::Close, temporary_, systemReason(errno));
        if (::rename(temporary_.c_str(), target_.c_str()) != 0)
            throw FileError(FileStep::Rename, temporary_, systemReason(errno));
        committed_ = true;

        // Makes the rename itself survive a crash; a folder that cannot be
        // synced still holds a whole file, old or new.
        const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

private:
    std::string target_;
    std::string temporary_;
    int fd_;
    bool committed_ = false;
};

class DiskFileSystem : public FileSystem {
public:
    std::string readFile(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw FileError(FileStep::Open, path, systemReason(errno));
        std::string text;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            throw FileError(FileStep::Read, path, "it is a folder");
        }
        if (st.st_size > 0) text.reserve(static_cast<size_t>(st.st_size));
        char buf[65536];
        while (true) {
            ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int error = errno;
                ::close(fd);
                throw FileError(FileStep::Read, path, systemReason(error));
            }
            if (n == 0) break;
            text.append(buf, static_cast<size_t>(n));
        }
        ::close(fd);
        return text;
    }

    std::unique_ptr<FileReplacement> startReplacing(const std::string& path) override {
        std::string temporary;
        int fd = -1;
        int error = 0;
        for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
            temporary = temporaryPathFor(path);
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            error = errno;
            if (fd < 0 && error != EEXIST) break;
        }
        if (fd < 0) throw FileError(FileStep::Create, temporary, systemReason(error));

        // The new file keeps the permissions of the one it replaces.
        struct stat old {};
        if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
        return std::make_unique<DiskReplacement>(path, std::move(temporary), fd);
    }
};

}  // namespace

FileSystem& diskFileSystem() {
    static DiskFileSystem disk;
    return disk;
}

}  // namespace tavo
