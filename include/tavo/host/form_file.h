#pragma once
// Form files: one form a file, a block per control named by its registered
// class and instance name, its properties in the order they were written.
// The grammar is documented in the README. Every malformed input is a
// FormFileError naming the file, the line and (where there is one) the key.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tavo/host/file_system.h"
#include "tavo/host/form_data.h"
#include "tavo/host/host_export.h"

namespace tavo {

// The most a form file may hold. Far above any real form (100,000 controls
// with a font each take about 40 MB), and low enough that a wrong name (a
// device, a disk image) fails at once instead of filling the memory. The
// writer keeps to it too, so whatever is saved loads again.
inline constexpr std::size_t kMaxFormFileBytes = std::size_t(256) << 20;

class TAVO_HOST_EXPORT FormFileError : public std::runtime_error {
public:
    FormFileError(std::string file, int line, std::string key, const std::string& what);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& key() const { return key_; }

private:
    std::string file_;
    int line_;
    std::string key_;
};

// "<file>:<line>: <key>: <what>", leaving out what is empty or 0: the shape of
// every error that points into a form file.
TAVO_HOST_EXPORT std::string formFileMessage(const std::string& file, int line, const std::string& key,
                                             const std::string& what);

// The data's file is `fileName`.
TAVO_HOST_EXPORT FormData parseFormText(std::string_view text, const std::string& fileName);
TAVO_HOST_EXPORT FormData readFormFile(const std::string& path, FileSystem& files = diskFileSystem());
// Throws FormFileError, naming `fileName`, when a value cannot be written (an
// object that is neither a font, a picture nor a named control).
TAVO_HOST_EXPORT std::string formatFormText(const FormData& form, const std::string& fileName = "");
// Writes the whole text first, then replaces the old file in one step, so a
// failed save leaves the old file whole and nothing beside it.
TAVO_HOST_EXPORT void saveFormFile(const std::string& path, const FormData& form, FileSystem& files = diskFileSystem());

}  // namespace tavo
