// Runs the built tovik as a child process and captures what it prints.
// Used by the golden-file runner and the command-line tests of this directory.
#pragma once

#include <string>
#include <vector>

namespace tovik_e2e {

struct ChildResult {
    std::string out;        // every byte written to standard output
    std::string err;        // every byte written to standard error
    int exit_status = -1;   // valid when the child exited normally
    int signal = 0;         // non-zero when a signal ended the child
    bool timed_out = false; // the child was killed after the time limit
    std::string failure;    // why the child could not be started, if it could not
};

// Starts `program` with `args` (argv[1] onwards, no shell), standard input
// from /dev/null, and collects its two output streams until it ends. A child
// still running after `timeout_seconds` is killed.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     int timeout_seconds);

// Renders bytes so that a mismatch can be read in a terminal: printable ASCII
// stays, CR and LF show as \r and \n (LF also breaks the line), every other
// byte shows as \xHH.
std::string Escape(const std::string& bytes);

// Explains how `actual` differs from `expected`: both escaped, and the offset
// of the first differing byte.
std::string DescribeMismatch(const std::string& expected, const std::string& actual);

} // namespace tovik_e2e
