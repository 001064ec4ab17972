#pragma once
// Names of files as the runner gets them and hands them to the system. The
// runner speaks UTF-8, as form files and scripts do. POSIX hands a program
// its arguments as they were typed and takes names as bytes; Windows hands
// main() the arguments in the local code page and takes names beyond it
// only in UTF-16.
#include <string>
#include <vector>

namespace tavo {

// The command line's arguments after the program's name, in UTF-8.
std::vector<std::string> utf8Arguments(int argc, char** argv);

#ifdef _WIN32
// A UTF-8 name as Windows' wide calls take it; empty when it is not UTF-8.
std::wstring wideName(const std::string& utf8);
#endif

}  // namespace tavo
