// ProgressTitle: the progress option of the command line. When it is given,
// the search's step count is shown in the terminal's title (at most every
// 50 ms), and an option beginning with "-s" makes every step sleep 1 ms so
// that the count can be followed. The terminal's own title is pushed on its
// title stack first and popped back at the end, however the run ends (the
// Ctrl+C handler only stops the search, so this object is destroyed too).
#pragma once

#include <chrono>
#include <cstdio>

class ProgressTitle {
public:
    // `option`: the progress argument, or null for no title and no sleep.
    explicit ProgressTitle(const char* option);
    ~ProgressTitle();
    ProgressTitle(const ProgressTitle&) = delete;
    ProgressTitle& operator=(const ProgressTitle&) = delete;

    // Called once per search step with the new count.
    void Step(unsigned count);

private:
    using Clock = std::chrono::steady_clock;
    void Show(unsigned count);

    bool m_active;
    bool m_sleep;
    FILE* m_terminal = nullptr;  // the controlling terminal, when one can be opened
    Clock::time_point m_lastShown{};
};
