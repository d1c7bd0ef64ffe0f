// MyLog: the console engine of `tovik`. With a progress option it shows the
// search's step count in the terminal's title, and with an option beginning
// with "-s" it sleeps 1 ms per step so that the count can be followed. It
// converts the output for its reader when asked, flushes pending output
// within a tenth of a second so that a pipe sees solutions as they are found,
// and stops the search at a line limit, a deadline or an interrupt.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "engine/encoding.h"
#include "engine/tovik.h"

class MyLog : public CTovik {
public:
    using Clock = std::chrono::steady_clock;
    enum class Stop { None, Limit, Time, Interrupt };

    // `option` is the second command-line argument, or null.
    explicit MyLog(const char* option);
    ~MyLog() override;

    void Output(const char* text) override;
    bool IsCancel() override;
    void OnProgress(unsigned count) override;

    // Output is converted to this encoding when it is produced in the other.
    void SetOutputEncoding(std::optional<Encoding> target) { m_target = target; }
    void SetLimit(long long lines) { m_limit = lines; }
    void SetDeadline(Clock::time_point deadline) { m_deadline = deadline; }
    // Why the search was stopped early, if it was.
    Stop Stopped() const { return m_stopped; }

    // Set by the SIGINT handler; the search unwinds at its next step.
    static volatile std::sig_atomic_t s_interrupted;

private:
    void ShowCount(unsigned count);

    const char* m_option;
    bool m_sleep;
    FILE* m_terminal = nullptr;  // the controlling terminal, when one can be opened
    unsigned m_shown = 0;
    unsigned m_latest = 0;
    Clock::time_point m_lastTitle{};

    bool m_pending = false;  // output written since the last flush
    Clock::time_point m_lastFlush{};
    unsigned m_flushPolls = 0;     // OnProgress calls with output pending
    unsigned m_deadlinePolls = 0;  // IsCancel calls with a deadline set

    std::optional<Encoding> m_target;
    std::unique_ptr<Converter> m_converter;
    Encoding m_converterFrom = Encoding::Gbk;
    std::string m_converted;

    long long m_limit = -1;
    std::optional<Clock::time_point> m_deadline;
    Stop m_stopped = Stop::None;
};
