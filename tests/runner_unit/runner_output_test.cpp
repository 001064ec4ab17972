// tavo-run as another program meets it: its script comes down one pipe and
// its lines go up another, and each line is there while the runner still
// waits for the next line of the script. (Pipes to a child process are
// POSIX's here; on Windows the checked scripts meet the runner.)
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {
namespace {

// Only a guard against a hung test: a line that does not come fails long
// before this would matter, since the runner then waits for the script.
constexpr int kGuardMs = 30000;

class RunnerProcess {
public:
    // stdinFrom: a file for the runner's standard input instead of the pipe.
    explicit RunnerProcess(std::vector<std::string> args, const char* stdinFrom = nullptr) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(stdinFrom ? open(stdinFrom, O_RDONLY) : in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDERR_FILENO);
            for (int fd : {in[0], in[1], out[0], out[1], null}) close(fd);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv{const_cast<char*>(TAVO_RUN)};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(TAVO_RUN, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        script_ = in[1];
        output_ = out[0];
    }
    ~RunnerProcess() {
        if (script_ >= 0) close(script_);
        if (output_ >= 0) close(output_);
        if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool started() const { return pid_ > 0 && script_ >= 0 && output_ >= 0; }
    void send(std::string_view lines) { ASSERT_EQ(write(script_, lines.data(), lines.size()), ssize_t(lines.size())); }

    // Reads up to and including `line`; false when the output ends (or the
    // guard runs out) first.
    bool awaitLine(const std::string& line) {
        for (;;) {
            for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
                const std::string got = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                if (got == line) return true;
            }
            pollfd p{output_, POLLIN, 0};
            if (poll(&p, 1, kGuardMs) != 1) return false;
            char buffer[4096];
            const ssize_t n = read(output_, buffer, sizeof buffer);
            if (n <= 0) return false;
            pending_.append(buffer, std::size_t(n));
        }
    }

    // Ends the script and returns the runner's exit status.
    int finish() {
        close(script_);
        script_ = -1;
        char buffer[4096];
        while (read(output_, buffer, sizeof buffer) > 0) {
        }
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int script_ = -1, output_ = -1;
    std::string pending_;
};

struct Mode {
    const char* name;
    std::vector<std::string> args;
};

void PrintTo(const Mode& mode, std::ostream* os) { *os << mode.name; }

class RunnerOutput : public ::testing::TestWithParam<Mode> {};

// A modal popup waits for the user, so the runner reads the next line of the
// script inside the command that opened it: the lines that command printed
// must be out by then, or whoever feeds the script waits for them in vain.
TEST_P(RunnerOutput, EveryLineIsOutWhileTheRunnerWaitsForTheScript) {
#ifndef TAVO_RUN_WITH_WINDOWS
    if (GetParam().args[0] != "--headless") GTEST_SKIP() << "this build has no real windows";
#endif
    RunnerProcess runner(GetParam().args);
    ASSERT_TRUE(runner.started());
    runner.send("refuse-modeless on\n"
                "new TavoCalendar.TavoCalendarDropDown Cal9 600 600 3015 330\n"
                "mousedown Cal9.cmd\n");
    EXPECT_TRUE(runner.awaitLine("show frmCalendar modal")) << "the line did not come while the popup waited";
    runner.send("expect frmCalendar.Visible True\n"
                "mousedown frmCalendar.cmdCancel\n");
    EXPECT_TRUE(runner.awaitLine("unload frmCalendar"));
    EXPECT_EQ(runner.finish(), 0);
}

// A script that cannot be run to its end is a failure, never a success:
// a folder, a file that is not there or cannot be read, a standard input
// that cannot be read, a line past the limit (the runner reads a line at a
// time, so this bounds its memory).
TEST_P(RunnerOutput, AScriptThatCannotBeReadEndsWithStatus2) {
#ifndef TAVO_RUN_WITH_WINDOWS
    if (GetParam().args[0] != "--headless") GTEST_SKIP() << "this build has no real windows";
#endif
    struct Case {
        const char* script;  // nullptr: the standard input, headless
        std::string input;
        const char* stdinFrom = nullptr;
    };
    const Case cases[] = {
        {TAVO_SOURCE_DIR "/tests", ""},
        {TAVO_SOURCE_DIR "/tests/no-such-script.tavo", ""},
        {"/proc/self/mem", ""},
        {"/dev/stdin", std::string(std::size_t{1} << 20, ' ') + "get Screen.Width\n"},
        {nullptr, "", TAVO_SOURCE_DIR "/tests"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = GetParam().args;
        if (c.script) args.back() = c.script;
        else args = {"--headless"};
        RunnerProcess runner(args, c.stdinFrom);
        ASSERT_TRUE(runner.started());
        runner.send(c.input);
        EXPECT_EQ(runner.finish(), 2) << (c.script ? c.script : c.stdinFrom);
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, RunnerOutput,
                         ::testing::Values(Mode{"Headless", {"--headless", "--script", "/dev/stdin"}},
                                           Mode{"RealWindows", {"--script", "/dev/stdin"}}),
                         [](const auto& mode) { return std::string(mode.param.name); });

}  // namespace
}  // namespace tavo
#endif  // _WIN32
