#include "tavo/host/file_system.h"

#include <gtest/gtest.h>
#include <unistd.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "support/failing_file_system.h"
#include "tavo/host/disk_file_system.h"
#include "tavo/host/memory_file_system.h"

namespace tavo {
namespace {

namespace fs = std::filesystem;
using Temporaries = DiskFileSystem::Temporaries;

enum class Kind { Memory, DiskUnnamed, DiskNamed };
#ifdef _WIN32
constexpr bool kNamelessFiles = false;  // there a replacement is named from the start
#else
constexpr bool kNamelessFiles = true;
#endif

// Names are UTF-8 in the program on every system (on Windows a path's own
// narrow string is in the local code page).
std::string utf8(const fs::path& p) {
    const std::u8string text = p.u8string();
    return std::string(text.begin(), text.end());
}
fs::path pathOf(const std::string& utf8Name) { return fs::path(std::u8string(utf8Name.begin(), utf8Name.end())); }

// A folder of its own for each test on the disk.
class TestFolder {
public:
    TestFolder() : dir_(fs::temp_directory_path() / ("tavo-file-system-" + std::to_string(::getpid()))) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~TestFolder() {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    std::string operator/(const std::string& name) const { return utf8(dir_) + "/" + name; }
    std::set<std::string> listing() const {
        std::set<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir_)) out.insert(*this / utf8(entry.path().filename()));
        return out;
    }

private:
    fs::path dir_;
};

// The same contract on the disk and in memory: what a replacement leaves
// beside the file, and what a reader finds, at every step.
class FileSystems : public ::testing::TestWithParam<Kind> {
protected:
    void SetUp() override {
        if (GetParam() == Kind::Memory) path = "forms/main.frm";
        else folder.emplace(), path = *folder / "main.frm";
    }

    FileSystem& files() {
        switch (GetParam()) {
        case Kind::Memory: return memory;
        case Kind::DiskUnnamed: return unnamed;
        case Kind::DiskNamed: return named;
        }
        return memory;
    }
    // Every file beside (and including) the target.
    std::set<std::string> listing() const {
        if (folder) return folder->listing();
        std::set<std::string> out;
        for (const auto& [name, contents] : memory.files()) out.insert(name);
        return out;
    }

    MemoryFileSystem memory;
    DiskFileSystem unnamed{Temporaries::Unnamed};
    DiskFileSystem named{Temporaries::Named};
    std::optional<TestFolder> folder;
    std::string path;
};

TEST_P(FileSystems, AReplacementTakesTheOldFilesPlaceWhenCommittedAndNotBefore) {
    replaceFile(files(), path, "old");
    EXPECT_EQ(files().readFile(path, 100), "old");

    auto replacement = files().startReplacing(path);
    replacement->write("new ");
    replacement->write("text");
    if (GetParam() == Kind::DiskUnnamed && kNamelessFiles)
        EXPECT_EQ(listing(), std::set<std::string>{path}) << "the new contents have no name yet";
    else
        EXPECT_EQ(listing(), (std::set<std::string>{path, replacement->temporaryPath()}));
    EXPECT_EQ(files().readFile(path, 100), "old");
    replacement->commit();
    EXPECT_EQ(files().readFile(path, 100), "new text");
    EXPECT_EQ(listing(), std::set<std::string>{path});

    files().startReplacing(path)->write("dropped");
    EXPECT_EQ(files().readFile(path, 100), "new text");
    EXPECT_EQ(listing(), std::set<std::string>{path});
}

TEST_P(FileSystems, AReplacementFailingAtAnyStepLeavesTheOldFileAndNothingBesideIt) {
    replaceFile(files(), path, "old");
    for (FileStep step : {FileStep::Replace, FileStep::Create, FileStep::Write, FileStep::Sync, FileStep::Close,
                          FileStep::Rename}) {
        FailingFileSystem failing(files(), step);
        try {
            replaceFile(failing, path, "new contents");
            ADD_FAILURE() << fileStepVerb(step);
        } catch (const FileError& e) {
            EXPECT_EQ(e.step(), step);
            EXPECT_EQ(std::string(e.what()), std::string("cannot ") + fileStepVerb(step) + " " + e.path() +
                                                  ": Input/output error");
        }
        EXPECT_EQ(files().readFile(path, 100), "old") << fileStepVerb(step);
        EXPECT_EQ(listing(), std::set<std::string>{path}) << fileStepVerb(step);
    }
}

TEST_P(FileSystems, ReadingStopsAtTheLimit) {
    replaceFile(files(), path, "");
    EXPECT_EQ(files().readFile(path, 0), "");
    const std::string text(70000, 'x');  // more than one read of the disk's
    replaceFile(files(), path, text);
    EXPECT_EQ(files().readFile(path, text.size()), text);
    EXPECT_EQ(files().readFile(path, text.size() + 1), text);
    try {
        files().readFile(path, text.size() - 1);
        FAIL();
    } catch (const FileTooLarge& e) {
        EXPECT_EQ(e.limit(), text.size() - 1);
        EXPECT_EQ(std::string(e.what()), "cannot read " + path + ": it holds more than 69999 bytes");
    }

    try {
        files().readFile(path + ".missing", 100);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.step(), FileStep::Open);
        EXPECT_EQ(e.reason(), "No such file or directory");
    }
}

INSTANTIATE_TEST_SUITE_P(DiskAndMemory, FileSystems,
                         ::testing::Values(Kind::Memory, Kind::DiskUnnamed, Kind::DiskNamed),
                         [](const auto& param) {
                             return param.param == Kind::Memory        ? "Memory"
                                    : param.param == Kind::DiskUnnamed ? "DiskUnnamed"
                                                                       : "DiskNamed";
                         });

// ---- The disk's own rules ---------------------------------------------------

class DiskSaves : public ::testing::TestWithParam<Temporaries> {
protected:
    DiskSaves() : disk(GetParam()) {}
    std::string contents(const std::string& p) {
        std::ifstream in(pathOf(p), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The listing holds `path` and, where `stale`, one temporary named after it.
    void expectBeside(const std::string& path, bool stale) {
        const std::set<std::string> names = folder.listing();
        ASSERT_EQ(names.size(), stale ? 2u : 1u);
        EXPECT_TRUE(names.count(path));
        if (stale) {
            const std::string other = *names.begin() == path ? *names.rbegin() : *names.begin();
            EXPECT_EQ(other.rfind(folder / ".main.frm.tavo-save-", 0), 0u) << other;
        }
    }

    TestFolder folder;
    DiskFileSystem disk;
};

#ifndef _WIN32
// A save in a child process that stops when its parent says so: it writes
// half its contents, then waits; the parent lets it go on to be killed.
class SaveInAnotherProcess {
public:
    SaveInAnotherProcess(FileSystem& files, const std::string& path) {
        int ready[2], go[2];
        if (::pipe(ready) != 0 || ::pipe(go) != 0) throw std::runtime_error("pipe");
        child_ = ::fork();
        if (child_ == 0) {
            ::close(ready[0]);
            ::close(go[1]);
            try {
                auto replacement = files.startReplacing(path);
                replacement->write(std::string(1 << 20, 'x'));
                char c = 1;
                if (::write(ready[1], &c, 1) == 1 && ::read(go[0], &c, 1) >= 0) ::raise(SIGKILL);
            } catch (...) {
            }
            ::_exit(1);
        }
        ::close(ready[1]);
        ::close(go[0]);
        char c = 0;
        started_ = ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        go_ = go[1];
    }
    bool started() const { return started_; }
    // Lets the child go on, into its SIGKILL, and waits for it.
    bool kill() {
        ::close(go_);
        int status = 0;
        return ::waitpid(child_, &status, 0) == child_ && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t child_ = -1;
    int go_ = -1;
    bool started_ = false;
};

TEST_P(DiskSaves, ASaveKilledMidWayLeavesNothingOrTheNextSaveClearsIt) {
    const std::string path = folder / "main.frm";
    replaceFile(disk, path, "old");
    const bool named = GetParam() == Temporaries::Named;

    SaveInAnotherProcess other(disk, path);
    ASSERT_TRUE(other.started());
    expectBeside(path, named);
    replaceFile(disk, path, "mine");
    expectBeside(path, named);  // a live process's temporary is its own
    ASSERT_TRUE(other.kill());
    expectBeside(path, named);
    EXPECT_EQ(contents(path), "mine");

    replaceFile(disk, path, "next");
    expectBeside(path, false);
    EXPECT_EQ(contents(path), "next");
}

#endif  // _WIN32

struct Refusal {
    const char* name;
    const char* path;  // in the test's folder, but for the absolute ones
    const char* reason;
};

TEST_P(DiskSaves, WhatIsNotAWritableFileIsNotReplaced) {
    const std::string readOnly = folder / "read-only.frm";
    replaceFile(disk, readOnly, "old");
    fs::permissions(pathOf(readOnly), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_directories(pathOf(folder / "sub"));
    std::vector<Refusal> refusals = {{"read-only", "read-only.frm", "it is read-only"},
                                     {"folder", "sub", "it is a folder"},
                                     {"slash", "sub/", "the name ends in \"/\": it names a folder"},
                                     {"empty", "", "the file name is empty"}};
#ifndef _WIN32
    fs::create_symlink("loop-b", folder / "loop-a");
    fs::create_symlink("loop-a", folder / "loop-b");
    refusals.push_back({"loop", "loop-a", "too many levels of symbolic links"});
    refusals.push_back({"device", "/dev/null", "it is not a plain file"});
#endif
    const std::set<std::string> before = folder.listing();

    for (const Refusal& r : refusals) {
        const std::string path = *r.path == '/' || !*r.path ? r.path : folder / r.path;
        try {
            replaceFile(disk, path, "new");
            ADD_FAILURE() << r.name;
        } catch (const FileError& e) {
            EXPECT_EQ(e.step(), FileStep::Replace) << r.name;
            EXPECT_EQ(e.reason(), r.reason) << r.name;
        }
    }
    EXPECT_EQ(contents(readOnly), "old");
    EXPECT_EQ(folder.listing(), before);
    fs::permissions(pathOf(readOnly), fs::perms::owner_write, fs::perm_options::add);
}

TEST_P(DiskSaves, TheLongestNamesSave) {
    // 250 bytes each: one letter a byte, and two-byte letters that a
    // shortened temporary name must not cut in half.
    std::string umlauts;
    for (int i = 0; i < 123; ++i) umlauts += "\xC3\xA4";
    for (const std::string& name : {std::string(246, 'a') + ".frm", umlauts + ".frm"}) {
        const std::string path = folder / name;
        replaceFile(disk, path, "first");
        replaceFile(disk, path, "second");
        EXPECT_EQ(contents(path), "second");
        fs::remove(path);
    }
}

// Links, modes, owners, devices and processes killed mid-way are POSIX's.
#ifndef _WIN32
TEST_P(DiskSaves, ASymbolicLinkIsWrittenThroughAndStays) {
    fs::create_directories(folder / "real");
    const std::string target = folder / "real/target.frm";
    replaceFile(disk, target, "old");
    fs::create_symlink("real/target.frm", folder / "relative.frm");
    fs::create_symlink(folder / "relative.frm", folder / "absolute.frm");
    fs::create_symlink("real/later.frm", folder / "dangling.frm");

    replaceFile(disk, folder / "absolute.frm", "through two links");
    EXPECT_EQ(contents(target), "through two links");
    EXPECT_TRUE(fs::is_symlink(folder / "absolute.frm"));
    EXPECT_TRUE(fs::is_symlink(folder / "relative.frm"));

    replaceFile(disk, folder / "dangling.frm", "made");
    EXPECT_TRUE(fs::is_symlink(folder / "dangling.frm"));
    EXPECT_EQ(contents(folder / "real/later.frm"), "made");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 2);
}

TEST_P(DiskSaves, TheNewFileKeepsTheOldOnesPermissionsAndOwner) {
    const std::string path = folder / "main.frm";
    const mode_t oldMask = ::umask(022);
    for (mode_t mode : {0600, 0640, 0666, 0755}) {
        replaceFile(disk, path, "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        replaceFile(disk, path, "new");
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode) << std::oct << mode;
    }
    fs::remove(path);
    replaceFile(disk, path, "a new file");
    struct stat fresh {};
    ASSERT_EQ(::stat(path.c_str(), &fresh), 0);
    EXPECT_EQ(fresh.st_mode & 07777, 0644u) << "a new file takes the umask, as any other";
    ::umask(oldMask);

    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
        replaceFile(disk, path, "new");
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
}

#endif  // _WIN32

INSTANTIATE_TEST_SUITE_P(Temporaries, DiskSaves, ::testing::Values(Temporaries::Unnamed, Temporaries::Named),
                         [](const auto& param) { return param.param == Temporaries::Named ? "Named" : "Unnamed"; });

#ifndef _WIN32
TEST(DiskReads, ADeviceWithoutEndIsReadOnlyToTheLimit) {
    try {
        diskFileSystem().readFile("/dev/zero", 1 << 20);
        FAIL();
    } catch (const FileTooLarge& e) {
        EXPECT_EQ(e.reason(), "it holds more than 1 MiB");
    }
    TestFolder folder;
    try {
        diskFileSystem().readFile(folder / "", 100);
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.reason(), "it is a folder");
    }
}

#endif  // _WIN32

// A name beyond ASCII is the same name on the disk as in the program, where
// the system takes names as bytes and where it takes them as UTF-16.
TEST(DiskNames, ANameBeyondAsciiSavesAndReadsBackUnderThatName) {
    TestFolder folder;
    for (const std::string name : {"\xC3\x9C" "bersicht.frm", "\xE6\x97\xA5\xE4\xBB\x98 \xE2\x82\xAC.frm"}) {
        const std::string path = folder / name;
        replaceFile(diskFileSystem(), path, "first");
        replaceFile(diskFileSystem(), path, "second");
        EXPECT_EQ(diskFileSystem().readFile(path, 100), "second") << name;
        EXPECT_EQ(folder.listing(), std::set<std::string>{path}) << name;
        EXPECT_TRUE(fs::is_regular_file(pathOf(path))) << name;
        fs::remove(pathOf(path));
    }
}

#ifdef _WIN32
// Where names are UTF-16, bytes that are no UTF-8 name no file at all.
TEST(DiskNames, ANameThatIsNoUtf8IsRefusedByName) {
    TestFolder folder;
    const std::string path = folder / "bad\xFF.frm";
    for (FileStep step : {FileStep::Open, FileStep::Replace}) {
        try {
            if (step == FileStep::Open) diskFileSystem().readFile(path, 100);
            else replaceFile(diskFileSystem(), path, "new");
            ADD_FAILURE() << fileStepVerb(step);
        } catch (const FileError& e) {
            EXPECT_EQ(e.step(), step);
            EXPECT_EQ(e.path(), path);
            EXPECT_EQ(e.reason(), "the name is not valid UTF-8");
        }
    }
    EXPECT_TRUE(folder.listing().empty());
}
#endif

}  // namespace
}  // namespace tavo
