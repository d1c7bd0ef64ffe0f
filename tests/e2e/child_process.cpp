// Child-process plumbing for the end-to-end tests: posix_spawn with both
// output streams on pipes, drained with poll() so that neither pipe can fill
// up and stall the child.
#include "child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
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

} // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds) {
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

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.failure = "cannot start " + program + ": " + strerror(spawned);
        return result;
    }
    // Only the child holds the write ends now, so end of file means it is done writing.
    out.CloseWrite();
    err.CloseWrite();

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[2] = {{out_open ? out.Read() : -1, POLLIN, 0},
                         {err_open ? err.Read() : -1, POLLIN, 0}};
        int ready = poll(fds, 2, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (out_open && fds[0].revents != 0) out_open = Drain(out.Read(), result.out);
        if (err_open && fds[1].revents != 0) err_open = Drain(err.Read(), result.err);
    }

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
