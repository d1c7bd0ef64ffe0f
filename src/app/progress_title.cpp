// The step count in the terminal's title, and the optional sleep per step.
#include "app/progress_title.h"

#include <time.h>

namespace {
constexpr auto kTitleInterval = std::chrono::milliseconds(50);
}  // namespace

ProgressTitle::ProgressTitle(const char* option)
    : m_active(option != nullptr),
      m_sleep(option != nullptr && option[0] == '-' && option[1] == 's') {
    if (!m_active) return;
    m_terminal = std::fopen("/dev/tty", "w");
    if (m_terminal == nullptr) return;
    std::fputs("\033[22;0t", m_terminal);  // push the icon and window titles
    Show(0);
}

ProgressTitle::~ProgressTitle() {
    if (m_terminal == nullptr) return;
    std::fputs("\033[23;0t", m_terminal);  // pop them back
    std::fclose(m_terminal);
}

// OSC 0 sets the window title; the count is shown as a signed 32-bit number.
void ProgressTitle::Show(unsigned count) {
    std::fprintf(m_terminal, "\033]0;%d\007", static_cast<int>(count));
    std::fflush(m_terminal);
    m_lastShown = Clock::now();
}

void ProgressTitle::Step(unsigned count) {
    if (!m_active) return;
    if (m_terminal != nullptr && Clock::now() - m_lastShown >= kTitleInterval) Show(count);
    if (m_sleep) {
        timespec pause{0, 1000000};
        while (nanosleep(&pause, &pause) != 0) {}
    }
}
