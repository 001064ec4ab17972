#include "support/failing_file_system.h"

namespace tavo {

class FailingFileSystem::Replacement : public FileReplacement {
public:
    Replacement(std::unique_ptr<FileReplacement> inner, FileStep failAt, const std::string& reason)
        : inner_(std::move(inner)), failAt_(failAt), reason_(reason) {}

    const std::string& temporaryPath() const override { return inner_->temporaryPath(); }

    void write(std::string_view bytes) override {
        if (failAt_ != FileStep::Write) return inner_->write(bytes);
        inner_->write(bytes.substr(0, bytes.size() / 2));
        fail(FileStep::Write);
    }

    void commit() override {
        for (FileStep step : {FileStep::Sync, FileStep::Close, FileStep::Rename})
            if (failAt_ == step) fail(step);
        inner_->commit();
    }

private:
    [[noreturn]] void fail(FileStep step) const { throw FileError(step, inner_->temporaryPath(), reason_); }

    std::unique_ptr<FileReplacement> inner_;
    FileStep failAt_;
    const std::string& reason_;
};

std::string FailingFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    if (failAt_ == FileStep::Open || failAt_ == FileStep::Read) throw FileError(failAt_, path, reason_);
    return inner_.readFile(path, maxBytes);
}

std::unique_ptr<FileReplacement> FailingFileSystem::startReplacing(const std::string& path) {
    if (failAt_ == FileStep::Replace) throw FileError(FileStep::Replace, path, reason_);
    std::unique_ptr<FileReplacement> inner = inner_.startReplacing(path);
    if (failAt_ == FileStep::Create) throw FileError(FileStep::Create, inner->temporaryPath(), reason_);
    return std::make_unique<Replacement>(std::move(inner), failAt_, reason_);
}

}  // namespace tavo
