#pragma once
// A file system that passes everything to another one, except one chosen step,
// which fails as the disk would: a write fails after half of its bytes, a
// refused Replace starts nothing, and a failing Create, Sync, Close or Rename
// drops the replacement the other file system started, so its own clean-up
// runs as after a real failure.
#include <string>

#include "tavo/host/file_system.h"

namespace tavo {

class FailingFileSystem : public FileSystem {
public:
    FailingFileSystem(FileSystem& inner, FileStep failAt, std::string reason = "Input/output error")
        : inner_(inner), failAt_(failAt), reason_(std::move(reason)) {}

    std::string readFile(const std::string& path, std::size_t maxBytes) override;
    std::unique_ptr<FileReplacement> startReplacing(const std::string& path) override;

private:
    class Replacement;
    FileSystem& inner_;
    FileStep failAt_;
    std::string reason_;
};

}  // namespace tavo
