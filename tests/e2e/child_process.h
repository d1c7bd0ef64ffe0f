// Runs the built tovik as a child process and captures what it prints; used
// by every test of this directory.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovik_e2e {

struct ChildResult {
    std::string out, err;    // every byte written to standard output and error
    int exit_status = -1;    // valid when the child exited normally
    int signal = 0;          // non-zero when a signal ended the child
    bool timed_out = false;  // the child was killed after the time limit
    std::string failure;     // why the child could not be started, if it could not
    // Each time standard output grew: the time since the start and the size
    // `out` had reached.
    std::vector<std::pair<std::chrono::milliseconds, size_t>> out_arrivals;
};

struct ChildOptions {
    // Changes to the test's own environment: a value sets the variable, no
    // value removes it.
    std::vector<std::pair<std::string, std::optional<std::string>>> environment;
    // When non-zero, this signal is sent `signal_delay` after the child's
    // first write to standard output (by then it is past its start-up), or
    // after its start when `delay_from_start` is set.
    int signal = 0;
    std::chrono::milliseconds signal_delay{0};
    bool delay_from_start = false;
    // When set, the child starts in this directory (RunChild only).
    std::string working_directory;
    // Standard error goes into the pipe of standard output (RunChild only),
    // so `out` shows the order in which a shared terminal would see both.
    bool merge_error = false;
};

// Runs `program` with `args` (no shell) and standard input from /dev/null
// until it ends or `timeout_seconds` pass, when it is killed.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds, const ChildOptions& options = {});

// The same on a new pseudo-terminal in raw mode (no line end translation) as
// standard input, output and error; `out` gets every byte the child wrote to
// it, its title sequences included.
ChildResult RunInTerminal(const std::string& program, const std::vector<std::string>& args,
                          int timeout_seconds, const ChildOptions& options);

// Both texts with CR, LF and non-ASCII bytes escaped (\r, \n, \xHH), and the
// offset of the first differing byte.
std::string DescribeMismatch(const std::string& expected, const std::string& actual);
std::string Escape(const std::string& bytes);

}  // namespace tovik_e2e
