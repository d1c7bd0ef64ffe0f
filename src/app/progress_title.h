// ProgressTitle: the progress option of the command line. When it is given,
// the search's step count is shown in the terminal's title (at most every
// 50 ms, and the final count at the end), and an option beginning with "-s"
// makes every step sleep 1 ms so that the count can be followed.
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

    using Clock = std::chrono::steady_clock;

    // Called once per search step with the new count.
    void Step(unsigned count);
    // Shows the latest count when the last one shown is old enough by `now`.
    void ShowIfDue(Clock::time_point now);

private:
    void Show(unsigned count);

    bool m_active;
    bool m_sleep;
    FILE* m_terminal = nullptr;  // the controlling terminal, when one can be opened
    unsigned m_shown = 0;
    unsigned m_latest = 0;
    Clock::time_point m_lastShown{};
};
