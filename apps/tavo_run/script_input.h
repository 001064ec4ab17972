#pragma once
// A script's bytes as the system hands them over. Whatever one read returns
// is there at once, so that a program feeding the script down a pipe gets
// the answer to each line before it sends the next; and a read that fails is
// an error, never the end of the script. The standard file streams promise
// neither: some fill a whole buffer before they hand anything on, and some
// take a failed read for the end of the file.
#include <array>
#include <streambuf>
#include <string>

namespace tavo {

class ScriptInput final : public std::streambuf {
public:
    // The standard input.
    ScriptInput();
    // The file at path; problem() says whether it could be opened.
    explicit ScriptInput(const std::string& path);
    ~ScriptInput() override;
    ScriptInput(const ScriptInput&) = delete;
    ScriptInput& operator=(const ScriptInput&) = delete;

    // Empty when the script can be read; else what is wrong with it (a
    // folder, a file that cannot be opened).
    const std::string& problem() const { return problem_; }

protected:
    // Throws std::ios_base::failure, with the system's reason, when a read fails.
    int_type underflow() override;

private:
    int fd_ = -1;
    bool owned_ = false;
    std::string problem_;
    std::array<char, 4096> buffer_{};
};

}  // namespace tavo
