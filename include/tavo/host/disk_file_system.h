#pragma once
// The disk behind FileSystem, through POSIX calls or, on Windows, the Windows
// API (names in UTF-8 here, UTF-16 there). A save does what careful editors
// do (docs/form-files.md, "Saving"):
// - the new contents are written beside the file, flushed to disk and renamed
//   over it in one step, so a reader finds the old file or the new one;
// - while they are written they have no name where the file system offers
//   that (O_TMPFILE; not on Windows), so a save killed mid-way leaves nothing
//   behind; where it does not, they have a name that says whose they are, and
//   the next save of the same file removes those that a process now gone left
//   behind;
// - a symbolic link is written through: the file it points to is replaced and
//   the link stays;
// - the new file keeps the old one's permissions, and its owner and group
//   where the system lets it (on Windows: attributes and access rights, by
//   ReplaceFileW);
// - a read-only file is not replaced.
#include "tavo/host/file_system.h"
#include "tavo/host/host_export.h"

namespace tavo {

class TAVO_HOST_EXPORT DiskFileSystem : public FileSystem {
public:
    // How the new contents stand before they take the file's place.
    enum class Temporaries {
        Unnamed,  // nameless until just before the rename, where the file system offers it; else Named
        Named,    // named from the start
    };

    explicit DiskFileSystem(Temporaries temporaries = Temporaries::Unnamed) : temporaries_(temporaries) {}

    std::string readFile(const std::string& path, std::size_t maxBytes) override;
    std::unique_ptr<FileReplacement> startReplacing(const std::string& path) override;

private:
    Temporaries temporaries_;
};

}  // namespace tavo
