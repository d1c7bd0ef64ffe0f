// The console engine: output conversion and flushing, progress in the
// terminal title, the optional 1 ms sleep per step, and early stops.
#include "engine/mylog.h"

#include <time.h>

namespace {
constexpr auto kTitleInterval = std::chrono::milliseconds(50);
constexpr auto kFlushInterval = std::chrono::milliseconds(50);
// Polls between two readings of the clock for the flush and the deadline:
// a search step takes about a microsecond, and reading the clock costs as
// much where it is a call into JavaScript (the WebAssembly build).
constexpr unsigned kClockPolls = 256;
}  // namespace

volatile std::sig_atomic_t MyLog::s_interrupted = 0;

MyLog::MyLog(const char* option)
    : m_option(option), m_sleep(option != nullptr && option[0] == '-' && option[1] == 's') {
    if (m_option != nullptr) {
        m_terminal = std::fopen("/dev/tty", "w");
        if (m_terminal != nullptr) ShowCount(0);
    }
}

MyLog::~MyLog() {
    std::fflush(stdout);
    if (m_terminal == nullptr) return;
    if (m_latest != m_shown) ShowCount(m_latest);
    std::fclose(m_terminal);
}

void MyLog::Output(const char* text) {
    Encoding from = CurrentEncoding();
    if (m_target && *m_target != from) {
        if (!m_converter || m_converterFrom != from) {
            m_converter = std::make_unique<Converter>(from, *m_target);
            m_converterFrom = from;
        }
        m_converter->Convert(text, m_converted);
        std::fwrite(m_converted.data(), 1, m_converted.size(), stdout);
    } else {
        std::fputs(text, stdout);
    }
    if (!m_pending) {
        m_pending = true;
        m_lastFlush = Clock::now();
    }
}

bool MyLog::IsCancel() {
    if (m_stopped != Stop::None) return true;
    if (s_interrupted)
        m_stopped = Stop::Interrupt;
    else if (m_limit >= 0 && Solutions() >= m_limit)
        m_stopped = Stop::Limit;
    else if (m_deadline && m_deadlinePolls++ % kClockPolls == 0 && Clock::now() >= *m_deadline)
        m_stopped = Stop::Time;
    return m_stopped != Stop::None;
}

void MyLog::ShowCount(unsigned count) {
    // OSC 0: set the window title; the count is shown as a signed 32-bit number.
    std::fprintf(m_terminal, "\033]0;%d\007", static_cast<int>(count));
    std::fflush(m_terminal);
    m_shown = count;
    m_lastTitle = Clock::now();
}

void MyLog::OnProgress(unsigned count) {
    // Pending output goes out once it has waited long enough; lines that come
    // fast still share one write.
    if (m_pending && m_flushPolls++ % kClockPolls == 0 &&
        Clock::now() - m_lastFlush >= kFlushInterval) {
        std::fflush(stdout);
        m_pending = false;
    }
    if (m_option == nullptr) return;
    m_latest = count;
    if (m_terminal != nullptr && Clock::now() - m_lastTitle >= kTitleInterval) ShowCount(count);
    if (m_sleep) {
        timespec pause{0, 1000000};
        while (nanosleep(&pause, &pause) != 0) {}
    }
}
