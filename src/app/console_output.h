// ConsoleOutput: standard output as the console engine writes it. Texts are
// converted to the reader's encoding when they come in the other one, and
// pending output is flushed once it has waited 50 ms, so that a pipe sees
// solution lines while the search runs and lines that come fast still share
// one write.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "text/encoding.h"

class ConsoleOutput {
public:
    // `target`: the reader's encoding, or none to write the bytes as they are.
    explicit ConsoleOutput(std::optional<Encoding> target) : m_target(target) {}
    ~ConsoleOutput() { Flush(); }
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Writes `text`, which is in the encoding `from`.
    void Write(const char* text, Encoding from);
    // Flushes when pending output has waited long enough by `now`; called
    // whenever the engine reads its clock.
    void FlushIfDue(std::chrono::steady_clock::time_point now);
    void Flush();

private:
    using Clock = std::chrono::steady_clock;

    std::optional<Encoding> m_target;
    std::unique_ptr<Converter> m_converter;
    Encoding m_converterFrom = Encoding::Gbk;
    std::string m_converted;
    bool m_pending = false;  // output written since the last flush
    Clock::time_point m_firstPending{};
};
