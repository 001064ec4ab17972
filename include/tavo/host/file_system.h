#pragma once
// File access behind a small interface: read a whole file up to a limit, and
// replace a file so that a reader finds the old one or the new one, whole,
// never a mix. The disk, memory and (in the tests) a file system that fails on
// purpose stand behind it, so what a save leaves behind on failure can be
// shown at every step.
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tavo/host/host_export.h"

namespace tavo {

// The steps of reading a file and of replacing one, as a failure names them.
// Replace is the check before anything is written: whether the file may be
// replaced at all (a name, not a folder, not read-only).
enum class FileStep { Open, Read, Replace, Create, Write, Sync, Close, Rename };

// "open", "read", "replace", "create", "write", "flush", "close", "rename".
TAVO_HOST_EXPORT const char* fileStepVerb(FileStep step);

class TAVO_HOST_EXPORT FileError : public std::runtime_error {
public:
    // `path` is the file the step worked on (a replacement's temporary file
    // from Create on); `reason` says why, in the system's words.
    FileError(FileStep step, std::string path, std::string reason);
    FileStep step() const { return step_; }
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }

private:
    FileStep step_;
    std::string path_;
    std::string reason_;
};

// A file that holds more than the reader's limit; reading stopped there.
class TAVO_HOST_EXPORT FileTooLarge : public FileError {
public:
    FileTooLarge(std::string path, std::size_t limit);
    std::size_t limit() const { return limit_; }

private:
    std::size_t limit_;
};

// "64 MiB", "1000 bytes": a limit in the words an error uses.
TAVO_HOST_EXPORT std::string byteSizeText(std::size_t bytes);

// New contents on their way to a file's place. Until commit the old file
// stands as it was; destroying a replacement that was not committed removes
// whatever it had written.
class TAVO_HOST_EXPORT FileReplacement {
public:
    virtual ~FileReplacement() = default;
    // The name beside the file under which the new contents stand just before
    // they take its place (a file system may keep them nameless until then).
    virtual const std::string& temporaryPath() const = 0;
    virtual void write(std::string_view bytes) = 0;
    // Makes the new contents durable, then puts them in the old file's place
    // in one step.
    virtual void commit() = 0;
};

class TAVO_HOST_EXPORT FileSystem {
public:
    virtual ~FileSystem() = default;
    // The whole file; FileTooLarge, without reading further, when it holds
    // more than `maxBytes`.
    virtual std::string readFile(const std::string& path, std::size_t maxBytes) = 0;
    // Starts replacing the file at `path` (a file that does not exist yet is
    // created at commit).
    virtual std::unique_ptr<FileReplacement> startReplacing(const std::string& path) = 0;
};

// Puts `contents` in the place of the file at `path`. On failure (a FileError
// naming the step) the old file is unchanged and nothing is left beside it.
TAVO_HOST_EXPORT void replaceFile(FileSystem& files, const std::string& path, std::string_view contents);

// The disk, through the operating system's calls (disk_file_system.h).
TAVO_HOST_EXPORT FileSystem& diskFileSystem();

}  // namespace tavo
