#pragma once
// How a save names what it writes beside the file it replaces, on every
// system: ".<name>.tavo-save-<host>-<process>-<counter>", so that the next
// save of the same file can tell a temporary that a process now gone left
// behind (docs/form-files.md, "Saving").
#include <optional>
#include <string>
#include <string_view>

namespace tavo {

// "dir/" of "dir/name", "" of "name". On Windows "\" ends a folder as well.
std::string folderPrefix(const std::string& path);
// "name" of "dir/name".
std::string nameOf(const std::string& path);

// ".<name>.tavo-save-<host>-": how every temporary of the file `name` begins.
// The name is cut (at the start of a character) so that the whole temporary
// name, with "<process>-<counter>" after this, still fits in a folder entry.
std::string temporaryPrefix(const std::string& name, std::string host);
// The prefix with this process's number and the next counter after it.
std::string temporaryName(const std::string& prefix, unsigned long process);
// The process that made a temporary, from the "<process>-<counter>" after its
// prefix; nothing when the rest is not of that form.
std::optional<unsigned long> makerOf(std::string_view rest);

}  // namespace tavo
