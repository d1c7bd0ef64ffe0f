// Standard output with conversion, our own buffer and timed flushing.
#include "app/console_output.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {
constexpr auto kFlushInterval = std::chrono::milliseconds(50);
constexpr size_t kBufferSize = size_t{1} << 16;
}  // namespace

ConsoleOutput::ConsoleOutput(std::optional<Encoding> target)
    : m_target(target), m_terminal(isatty(STDOUT_FILENO) != 0) {}

void ConsoleOutput::Write(const char* text, Encoding from) {
    if (Converts(from)) {
        if (!m_converter || m_converterFrom != from) {
            m_converter = std::make_unique<Converter>(from, *m_target);
            m_converterFrom = from;
        }
        m_converter->Convert(text, m_converted);
        Append(m_converted);
    } else {
        Append(std::string_view(text, std::strlen(text)));
    }
    if (!m_pending) {
        m_pending = true;
        m_firstPending = Clock::now();
    }
}

void ConsoleOutput::Append(std::string_view bytes) {
    m_buffer.append(bytes);
    if (m_terminal ? !bytes.empty() && bytes.back() == '\n' : m_buffer.size() >= kBufferSize)
        Drain();
}

void ConsoleOutput::Drain() {
    if (m_buffer.empty()) return;
    std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
    m_buffer.clear();
}

void ConsoleOutput::FlushIfDue(Clock::time_point now) {
    if (m_pending && now - m_firstPending >= kFlushInterval) Flush();
}

void ConsoleOutput::Flush() {
    Drain();
    std::fflush(stdout);
    m_pending = false;
}
