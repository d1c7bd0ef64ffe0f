// StepClock: the console engine's clock, read once every few steps instead of
// at every one: a clock read costs about as much as a cheap search step. The
// stride between reads adapts to how long steps take, so that reads stay
// between about 0.5 and 4 ms apart (and the flush, title and deadline checks
// that use them stay timely) whether a step takes 0.1 us or 1 ms.
#pragma once

#include <chrono>
#include <optional>

class StepClock {
public:
    using Clock = std::chrono::steady_clock;

    // Called once per step: the time now when the clock is due to be read at
    // this step, otherwise none. The first call reads it.
    std::optional<Clock::time_point> Tick() {
        if (!Due()) return std::nullopt;
        return Read();
    }
    // Tick in two halves, for callers with a fast path: Due counts the step
    // and says whether the clock is due; if it is, Read must follow at once.
    bool Due() { return --m_countdown == 0; }
    Clock::time_point Read() {
        const Clock::time_point now = Clock::now();
        const Clock::duration gap = now - m_last;
        if (gap < kShortGap && m_stride < kMaxStride)
            m_stride *= 2;
        else if (gap > kLongGap && m_stride > 1)
            m_stride /= 2;
        m_last = now;
        m_countdown = m_stride;
        return now;
    }

private:
    static constexpr unsigned kMaxStride = 512;
    static constexpr auto kShortGap = std::chrono::microseconds(500);
    static constexpr auto kLongGap = std::chrono::milliseconds(4);

    unsigned m_stride = 1;
    unsigned m_countdown = 1;
    Clock::time_point m_last{};
};
