#include "tavo/host/memory_file_system.h"

namespace tavo {

class MemoryFileSystem::Replacement : public FileReplacement {
public:
    Replacement(std::map<std::string, std::string>& files, std::string target, std::string temporary)
        : files_(files), target_(std::move(target)), temporary_(std::move(temporary)) {
        files_[temporary_];
    }
    ~Replacement() override {
        if (!committed_) files_.erase(temporary_);
    }

    const std::string& temporaryPath() const override { return temporary_; }
    void write(std::string_view bytes) override { files_[temporary_].append(bytes); }
    void commit() override {
        auto node = files_.extract(temporary_);
        if (node.empty()) throw FileError(FileStep::Rename, temporary_, "the replacement was committed already");
        files_[target_] = std::move(node.mapped());
        committed_ = true;
    }

private:
    std::map<std::string, std::string>& files_;
    std::string target_;
    std::string temporary_;
    bool committed_ = false;
};

std::string MemoryFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    auto it = files_.find(path);
    if (it == files_.end()) throw FileError(FileStep::Open, path, "No such file or directory");
    if (it->second.size() > maxBytes) throw FileTooLarge(path, maxBytes);
    return it->second;
}

std::unique_ptr<FileReplacement> MemoryFileSystem::startReplacing(const std::string& path) {
    return std::make_unique<Replacement>(files_, path, path + ".tmp-" + std::to_string(nextTemporary_++));
}

}  // namespace tavo
