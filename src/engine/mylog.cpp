// Progress display of the console engine: terminal title updates, at most
// about 20 a second, and the optional 1 ms sleep per search step.
#include "engine/mylog.h"

#include <time.h>

namespace {
constexpr auto kTitleInterval = std::chrono::milliseconds(50);
constexpr auto kFlushInterval = std::chrono::milliseconds(50);
}

MyLog::MyLog(const char* option)
    : m_option(option), m_sleep(option != nullptr && option[0] == '-' && option[1] == 's') {
    if (m_option != nullptr) {
        m_terminal = std::fopen("/dev/tty", "w");
        if (m_terminal != nullptr) ShowCount(0);
    }
}

MyLog::~MyLog() {
    if (m_terminal == nullptr) return;
    if (m_latest != m_shown) ShowCount(m_latest);
    std::fclose(m_terminal);
}

void MyLog::ShowCount(unsigned count) {
    // OSC 0: set the window title; the count is shown as a signed 32-bit number.
    std::fprintf(m_terminal, "\033]0;%d\007", static_cast<int>(count));
    std::fflush(m_terminal);
    m_shown = count;
    m_lastTitle = std::chrono::steady_clock::now();
}

void MyLog::Output(const char* text) {
    std::fputs(text, stdout);
    if (!m_pending) {
        m_pending = true;
        m_lastFlush = std::chrono::steady_clock::now();
    }
}

void MyLog::OnProgress(unsigned count) {
    // Pending output goes out once it has waited long enough; lines that come
    // fast still share one write.
    if (m_pending && std::chrono::steady_clock::now() - m_lastFlush >= kFlushInterval) {
        std::fflush(stdout);
        m_pending = false;
    }
    if (m_option == nullptr) return;
    m_latest = count;
    if (m_terminal != nullptr) {
        auto now = std::chrono::steady_clock::now();
        if (now - m_lastTitle >= kTitleInterval) ShowCount(count);
    }
    if (m_sleep) {
        timespec pause{0, 1000000};
        while (nanosleep(&pause, &pause) != 0) {
        }
    }
}
