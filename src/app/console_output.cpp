// Standard output with conversion and timed flushing.
#include "app/console_output.h"

#include <cstdio>

namespace {
constexpr auto kFlushInterval = std::chrono::milliseconds(50);
}  // namespace

void ConsoleOutput::Write(const char* text, Encoding from) {
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
        m_firstPending = Clock::now();
    }
}

void ConsoleOutput::FlushIfDue(Clock::time_point now) {
    if (m_pending && now - m_firstPending >= kFlushInterval) Flush();
}

void ConsoleOutput::Flush() {
    std::fflush(stdout);
    m_pending = false;
}
