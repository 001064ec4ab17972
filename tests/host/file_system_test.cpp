#include "host/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "host/memory_file_system.h"
#include "support/failing_file_system.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;

// The same contract on the disk and in memory: what a replacement leaves
// beside the file, and what a reader finds, at every step.
class FileSystems : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!onDisk()) {
            path = "forms/main.frm";
            return;
        }
        dir = fs::temp_directory_path() / ("tavo-file-system-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "main.frm").string();
    }
    void TearDown() override {
        if (onDisk()) fs::remove_all(dir);
    }

    bool onDisk() const { return GetParam(); }
    FileSystem& files() { return onDisk() ? diskFileSystem() : memory; }
    // Every file beside (and including) the target.
    std::set<std::string> listing() const {
        std::set<std::string> out;
        if (onDisk()) {
            for (const auto& entry : fs::directory_iterator(dir)) out.insert(entry.path().string());
        } else {
            for (const auto& [name, contents] : memory.files()) out.insert(name);
        }
        return out;
    }

    MemoryFileSystem memory;
    fs::path dir;
    std::string path;
};

TEST_P(FileSystems, AReplacementTakesTheOldFilesPlaceWhenCommittedAndNotBefore) {
    replaceFile(files(), path, "old");
    EXPECT_EQ(files().readFile(path), "old");

    auto replacement = files().startReplacing(path);
    replacement->write("new ");
    replacement->write("text");
    EXPECT_EQ(listing(), (std::set<std::string>{path, replacement->temporaryPath()}));
    EXPECT_EQ(files().readFile(path), "old");
    replacement->commit();
    EXPECT_EQ(files().readFile(path), "new text");
    EXPECT_EQ(listing(), std::set<std::string>{path});

    files().startReplacing(path)->write("dropped");
    EXPECT_EQ(files().readFile(path), "new text");
    EXPECT_EQ(listing(), std::set<std::string>{path});
}

TEST_P(FileSystems, AReplacementFailingAtAnyStepLeavesTheOldFileAndNothingBesideIt) {
    replaceFile(files(), path, "old");
    for (FileStep step : {FileStep::Create, FileStep::Write, FileStep::Sync, FileStep::Close, FileStep::Rename}) {
        FailingFileSystem failing(files(), step);
        try {
            replaceFile(failing, path, "new contents");
            ADD_FAILURE() << fileStepVerb(step);
        } catch (const FileError& e) {
            EXPECT_EQ(e.step(), step);
            EXPECT_EQ(e.path().rfind(path, 0), 0u) << "the temporary file stands beside the target: " << e.path();
            EXPECT_EQ(std::string(e.what()), std::string("cannot ") + fileStepVerb(step) + " " + e.path() +
                                                  ": Input/output error");
        }
        EXPECT_EQ(files().readFile(path), "old") << fileStepVerb(step);
        EXPECT_EQ(listing(), std::set<std::string>{path}) << fileStepVerb(step);
    }
}

TEST_P(FileSystems, AMissingFileFailsToOpen) {
    try {
        files().readFile(path + ".missing");
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.step(), FileStep::Open);
        EXPECT_EQ(e.path(), path + ".missing");
        EXPECT_EQ(e.reason(), "No such file or directory");
    }
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, FileSystems, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Disk" : "Memory"; });

}  // namespace
}  // namespace tavo
