// MyLog: the console engine of `tovik`. With a progress option it shows the
// search's step count in the terminal's title, and with an option beginning
// with "-s" it sleeps 1 ms per step so that the count can be followed. Output
// through a pipe is flushed within a tenth of a second of being printed, so a
// reader sees solutions while the search goes on.
#pragma once

#include <chrono>
#include <cstdio>

#include "engine/tovik.h"

class MyLog : public CTovik {
public:
    // `option` is the second command-line argument, or null.
    explicit MyLog(const char* option);
    ~MyLog() override;

    void Output(const char* text) override;
    void OnProgress(unsigned count) override;

private:
    void ShowCount(unsigned count);

    const char* m_option;
    bool m_sleep;
    FILE* m_terminal = nullptr;  // the controlling terminal, when one can be opened
    unsigned m_shown = 0;
    unsigned m_latest = 0;
    std::chrono::steady_clock::time_point m_lastTitle{};
    bool m_pending = false;  // output written since the last flush
    std::chrono::steady_clock::time_point m_lastFlush{};
};
