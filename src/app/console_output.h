// ConsoleOutput: standard output as the console engine writes it. Texts are
// converted to the reader's encoding when they come in the other one, and
// gathered in a buffer of our own that goes to the stream when it fills, at
// the end of each line on a terminal (where the stream would hand over lines
// as they end), and whenever output is flushed. Solution lines come whole
// unless they are converted (then item by item), and appending to the buffer
// costs far less than a stream call per line. Pending output is flushed once
// it has waited 50 ms, so that a pipe sees solution lines while the search
// runs and lines that come fast still share one write.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/encoding.h"

class ConsoleOutput {
public:
    // `target`: the reader's encoding, or none to write the bytes as they are.
    explicit ConsoleOutput(std::optional<Encoding> target);
    ~ConsoleOutput() { Flush(); }
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

    // Writes `text`, which is in the encoding `from`.
    void Write(const char* text, Encoding from);
    // Whether text in the encoding `from` is converted on its way out.
    bool Converts(Encoding from) const { return m_target && *m_target != from; }
    // Flushes when pending output has waited long enough by `now`; called
    // whenever the engine reads its clock.
    void FlushIfDue(std::chrono::steady_clock::time_point now);
    // Hands everything written so far to standard output and flushes it:
    // whatever is written to standard error next comes after it.
    void Flush();

private:
    using Clock = std::chrono::steady_clock;

    void Append(std::string_view bytes);
    // Hands the buffer to the stream, without flushing the stream.
    void Drain();

    std::optional<Encoding> m_target;
    std::unique_ptr<Converter> m_converter;
    Encoding m_converterFrom = Encoding::Gbk;
    std::string m_converted;
    std::string m_buffer;
    bool m_terminal;         // standard output is a terminal
    bool m_pending = false;  // output written since the last flush
    Clock::time_point m_firstPending{};
};
