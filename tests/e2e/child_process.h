// Runs the built tovik as a child process and captures what it prints.
// Used by the golden-file runner, the command-line and the options tests of
// this directory.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tovik_e2e {

struct ChildResult {
    std::string out;        // every byte written to standard output
    std::string err;        // every byte written to standard error
    int exit_status = -1;   // valid when the child exited normally
    int signal = 0;         // non-zero when a signal ended the child
    bool timed_out = false; // the child was killed after the time limit
    std::string failure;    // why the child could not be started, if it could not
    // When standard output grew: each entry is the time since the start and
    // the size `out` had reached then, in order of arrival.
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
};

// Starts `program` with `args` (argv[1] onwards, no shell), standard input
// from /dev/null, and collects its two output streams until it ends. A child
// still running after `timeout_seconds` is killed.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds, const ChildOptions& options = {});

// Starts `program` with `args` on a new pseudo-terminal in raw mode (no line
// end translation), which is its standard input, output and error, with the
// environment changed as `options` says (its signal is not used). `out` gets
// every byte the child wrote to the terminal.
ChildResult RunInTerminal(const std::string& program, const std::vector<std::string>& args,
                          int timeout_seconds, const ChildOptions& options);

// Renders bytes so that a mismatch can be read in a terminal: printable ASCII
// stays, CR and LF show as \r and \n (LF also breaks the line), every other
// byte shows as \xHH.
std::string Escape(const std::string& bytes);

// Explains how `actual` differs from `expected`: both escaped, and the offset
// of the first differing byte.
std::string DescribeMismatch(const std::string& expected, const std::string& actual);

} // namespace tovik_e2e
