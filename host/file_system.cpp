#include "tavo/host/file_system.h"

namespace tavo {

const char* fileStepVerb(FileStep step) {
    switch (step) {
    case FileStep::Open: return "open";
    case FileStep::Read: return "read";
    case FileStep::Replace: return "replace";
    case FileStep::Create: return "create";
    case FileStep::Write: return "write";
    case FileStep::Sync: return "flush";
    case FileStep::Close: return "close";
    case FileStep::Rename: return "rename";
    }
    return "use";
}

FileError::FileError(FileStep step, std::string path, std::string reason)
    : std::runtime_error(std::string("cannot ") + fileStepVerb(step) + " " + path + ": " + reason),
      step_(step),
      path_(std::move(path)),
      reason_(std::move(reason)) {}

std::string byteSizeText(std::size_t bytes) {
    constexpr std::size_t kMiB = std::size_t(1) << 20;
    if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

FileTooLarge::FileTooLarge(std::string path, std::size_t limit)
    : FileError(FileStep::Read, std::move(path), "it holds more than " + byteSizeText(limit)), limit_(limit) {}

void replaceFile(FileSystem& files, const std::string& path, std::string_view contents) {
    const std::unique_ptr<FileReplacement> replacement = files.startReplacing(path);
    replacement->write(contents);
    replacement->commit();
}

}  // namespace tavo
