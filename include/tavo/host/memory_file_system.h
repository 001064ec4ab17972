#pragma once
// Files held in memory, by path: what a test or a tool reads and writes
// without touching the disk. A replacement shows its temporary file among the
// files until it is committed or dropped, as on the disk. The file system must
// outlive the replacements it starts.
#include <map>
#include <string>

#include "tavo/host/file_system.h"
#include "tavo/host/host_export.h"

namespace tavo {

class TAVO_HOST_EXPORT MemoryFileSystem : public FileSystem {
public:
    std::string readFile(const std::string& path, std::size_t maxBytes) override;
    std::unique_ptr<FileReplacement> startReplacing(const std::string& path) override;

    void setFile(const std::string& path, std::string contents) { files_[path] = std::move(contents); }
    // Every file, temporary ones included.
    const std::map<std::string, std::string>& files() const { return files_; }

private:
    class Replacement;
    std::map<std::string, std::string> files_;
    unsigned nextTemporary_ = 0;
};

}  // namespace tavo
