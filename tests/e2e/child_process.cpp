// Child-process plumbing for the end-to-end tests: posix_spawn with both
// output streams on pipes, or forkpty for a terminal, drained with poll() so
// that no pipe can fill up and stall the child; optionally a changed
// environment and a signal sent while the child runs.
#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace tovik_e2e {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The argument and environment vectors of a child, with the strings they
// point into, prepared before the child is started.
struct ChildCommand {
    ChildCommand(const std::string& program, const std::vector<std::string>& args,
                 const ChildOptions& options) {
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text = *entry;
            const std::string name = text.substr(0, text.find('='));
            if (std::none_of(options.environment.begin(), options.environment.end(),
                             [&](const auto& change) { return change.first == name; }))
                environment.push_back(text);
        }
        for (const auto& [name, value] : options.environment)
            if (value) environment.push_back(name + "=" + *value);
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        for (const std::string& entry : environment)
            envp.push_back(const_cast<char*>(entry.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
    }
    std::vector<std::string> environment;
    std::vector<char*> argv, envp;
};

// Reads what is available on `fd` into `sink`; false once the writer has gone
// (for a terminal's master side, reading then fails with EIO).
bool Drain(int fd, std::string& sink) {
    char buffer[8192];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) sink.append(buffer, static_cast<size_t>(n));
    return n > 0 || (n < 0 && (errno == EINTR || errno == EAGAIN));
}

// Collects the child's output from `out_fd` and, unless it is -1, `err_fd`
// until both close or the time runs out, sends the options' signal when it is
// due, closes both descriptors and waits for the child.
void Collect(pid_t pid, int out_fd, int err_fd, Clock::time_point start, int timeout_seconds,
             const ChildOptions& options, ChildResult& result) {
    const Clock::time_point deadline = start + std::chrono::seconds(timeout_seconds);
    // The signal is due at `signal_at` while `signal_pending` is set.
    bool signal_pending = options.signal != 0 && options.delay_from_start;
    Clock::time_point signal_at = start + options.signal_delay;
    bool out_open = true, err_open = err_fd >= 0;
    while (out_open || err_open) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        if (signal_pending && now >= signal_at) {
            kill(pid, options.signal);
            signal_pending = false;
        }
        const auto left = std::chrono::duration_cast<milliseconds>(
            (signal_pending ? std::min(deadline, signal_at) : deadline) - now);
        pollfd fds[2] = {{out_open ? out_fd : -1, POLLIN, 0}, {err_open ? err_fd : -1, POLLIN, 0}};
        int ready = poll(fds, 2, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (out_open && fds[0].revents != 0) {
            const size_t before = result.out.size();
            out_open = Drain(out_fd, result.out);
            if (result.out.size() > before) {
                result.out_arrivals.emplace_back(
                    std::chrono::duration_cast<milliseconds>(Clock::now() - start),
                    result.out.size());
                if (before == 0 && options.signal != 0 && !options.delay_from_start) {
                    signal_pending = true;
                    signal_at = Clock::now() + options.signal_delay;
                }
            }
        }
        if (err_open && fds[1].revents != 0) err_open = Drain(err_fd, result.err);
    }
    close(out_fd);
    if (err_fd >= 0) close(err_fd);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
}

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds, const ChildOptions& options) {
    ChildResult result;
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        result.failure = "cannot create pipes: " + std::string(strerror(errno));
        return result;
    }
    if (pipe2(err, O_CLOEXEC) != 0) {
        result.failure = "cannot create pipes: " + std::string(strerror(errno));
        close(out[0]);
        close(out[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, options.merge_error ? out[1] : err[1], 2);
    if (!options.working_directory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
    const ChildCommand command(program, args, options);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, command.argv.data(),
                              command.envp.data());
    posix_spawn_file_actions_destroy(&actions);
    // Only the child holds the write ends now, so end of file means it is done writing.
    close(out[1]);
    close(err[1]);
    if (spawned != 0) {
        result.failure = "cannot start " + program + ": " + strerror(spawned);
        close(out[0]);
        close(err[0]);
        return result;
    }
    Collect(pid, out[0], err[0], start, timeout_seconds, options, result);
    return result;
}

ChildResult RunInTerminal(const std::string& program, const std::vector<std::string>& args,
                          int timeout_seconds, const ChildOptions& options) {
    ChildResult result;
    // Everything the child needs is prepared before the fork.
    const ChildCommand command(program, args, options);
    int master = -1;
    pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    if (pid < 0) {
        result.failure = "cannot open a pseudo-terminal: " + std::string(strerror(errno));
        return result;
    }
    if (pid == 0) {
        termios mode{};
        if (tcgetattr(STDOUT_FILENO, &mode) == 0) {
            cfmakeraw(&mode);
            tcsetattr(STDOUT_FILENO, TCSANOW, &mode);
        }
        execve(program.c_str(), command.argv.data(), command.envp.data());
        _exit(127);
    }
    Collect(pid, master, -1, Clock::now(), timeout_seconds, options, result);
    return result;
}

std::string Escape(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        text += c == '\r'               ? "\\r"
                : c == '\n'             ? "\\n\n"
                : c == '\\'             ? "\\\\"
                : c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c))
                                        : hex;
    }
    return text;
}

std::string DescribeMismatch(const std::string& expected, const std::string& actual) {
    const size_t offset =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first -
        expected.begin();
    return "expected (" + std::to_string(expected.size()) + " bytes):\n" + Escape(expected) +
           "\nactual (" + std::to_string(actual.size()) + " bytes):\n" + Escape(actual) +
           "\nfirst difference at byte offset " + std::to_string(offset) + "\n";
}

}  // namespace tovik_e2e
