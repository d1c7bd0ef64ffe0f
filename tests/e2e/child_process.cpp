// Child-process plumbing for the end-to-end tests: posix_spawn with both
// output streams on pipes, drained with poll() so that neither pipe can fill
// up and stall the child; optionally a changed environment and a signal sent
// while the child runs. A second runner puts the child on a pseudo-terminal.
#include "child_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace tovik_e2e {
namespace {

class Pipe {
public:
    Pipe() {
        if (pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool Ok() const { return fds_[0] >= 0; }
    int Read() const { return fds_[0]; }
    int Write() const { return fds_[1]; }
    void CloseRead() { Close(fds_[0]); }
    void CloseWrite() { Close(fds_[1]); }

private:
    static void Close(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
    int fds_[2] = {-1, -1};
};

// Reads what is available on `fd` into `sink`; false once the writer has gone.
bool Drain(int fd, std::string& sink) {
    char buffer[8192];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
        sink.append(buffer, static_cast<size_t>(n));
        return true;
    }
    return n < 0 && (errno == EINTR || errno == EAGAIN);
}

// The test's environment with `changes` applied, as NAME=VALUE entries.
std::vector<std::string> ChildEnvironment(
    const std::vector<std::pair<std::string, std::optional<std::string>>>& changes) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        bool changed = false;
        for (const auto& change : changes) changed |= change.first == name;
        if (!changed) entries.push_back(text);
    }
    for (const auto& [name, value] : changes)
        if (value) entries.push_back(name + "=" + *value);
    return entries;
}

// The argument and environment vectors of a child, with the strings they
// point into, prepared before the child is started.
struct ChildCommand {
    ChildCommand(const std::string& program, const std::vector<std::string>& args,
                 const ChildOptions& options)
        : environment(ChildEnvironment(options.environment)) {
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        for (const std::string& entry : environment)
            envp.push_back(const_cast<char*>(entry.c_str()));
        envp.push_back(nullptr);
    }
    std::vector<std::string> environment;
    std::vector<char*> argv;
    std::vector<char*> envp;
};

} // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds, const ChildOptions& options) {
    ChildResult result;
    Pipe out, err;
    if (!out.Ok() || !err.Ok()) {
        result.failure = "cannot create pipes: " + std::string(strerror(errno));
        return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.Write(), 1);
    posix_spawn_file_actions_adddup2(&actions, err.Write(), 2);

    const ChildCommand command(program, args, options);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, command.argv.data(),
                              command.envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.failure = "cannot start " + program + ": " + strerror(spawned);
        return result;
    }
    // Only the child holds the write ends now, so end of file means it is done writing.
    out.CloseWrite();
    err.CloseWrite();

    const Clock::time_point deadline = start + std::chrono::seconds(timeout_seconds);
    // The signal is due at `signal_at` while `signal_pending` is set.
    bool signal_pending = options.signal != 0 && options.delay_from_start;
    Clock::time_point signal_at = start + options.signal_delay;
    bool out_open = true, err_open = true;
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
        const Clock::time_point wake = signal_pending ? std::min(deadline, signal_at) : deadline;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now);
        pollfd fds[2] = {{out_open ? out.Read() : -1, POLLIN, 0},
                         {err_open ? err.Read() : -1, POLLIN, 0}};
        int ready = poll(fds, 2, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (out_open && fds[0].revents != 0) {
            const size_t before = result.out.size();
            out_open = Drain(out.Read(), result.out);
            if (result.out.size() > before) {
                result.out_arrivals.emplace_back(
                    std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start),
                    result.out.size());
                if (before == 0 && options.signal != 0 && !options.delay_from_start) {
                    signal_pending = true;
                    signal_at = Clock::now() + options.signal_delay;
                }
            }
        }
        if (err_open && fds[1].revents != 0) err_open = Drain(err.Read(), result.err);
    }

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
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
        termios mode {};
        if (tcgetattr(STDOUT_FILENO, &mode) == 0) {
            cfmakeraw(&mode);
            tcsetattr(STDOUT_FILENO, TCSANOW, &mode);
        }
        execve(program.c_str(), command.argv.data(), command.envp.data());
        _exit(127);
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
    // Once the child has closed the terminal, reading the master side fails with EIO.
    for (bool open = true; open;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[1] = {{master, POLLIN, 0}};
        int ready = poll(fds, 1, static_cast<int>(left.count()) + 1);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) open = Drain(master, result.out);
    }
    close(master);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

std::string Escape(const std::string& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\r') {
            text += "\\r";
        } else if (c == '\n') {
            text += "\\n\n";
        } else if (c == '\\') {
            text += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            text += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

std::string DescribeMismatch(const std::string& expected, const std::string& actual) {
    size_t offset = 0;
    while (offset < expected.size() && offset < actual.size() && expected[offset] == actual[offset])
        ++offset;
    return "expected (" + std::to_string(expected.size()) + " bytes):\n" + Escape(expected) +
           "\nactual (" + std::to_string(actual.size()) + " bytes):\n" + Escape(actual) +
           "\nfirst difference at byte offset " + std::to_string(offset) + "\n";
}

} // namespace tovik_e2e
