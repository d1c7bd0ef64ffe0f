// Lazy value sets of the arithmetic operators: the values of a + b, a - b,
// a * b, a / b or a % b over two large sets, answered from the operands
// without forming their cross product, under 32-bit wrap-around.
//
// Every question reduces to one: the smallest, the largest or any value of
// the operation that lies in [lo, hi]. One operand is walked, the other is
// asked, and what is asked of it is again a question of that kind:
//   + and -   walk the intervals I of one operand; the values of I + y that
//             fall in [lo, hi] (within each of the three 2^32 windows a sum
//             can reach) need y in one interval, so the other operand
//             answers with its smallest or largest element there.
//   *         walk the elements x of one operand; x * y in window k is
//             monotone in y and meets [lo, hi] for y in one interval, found
//             by division: one question per window that the other
//             operand's range reaches (one or two for puzzle-sized values),
//             or, when there are more windows than the other operand has
//             elements, a walk of its intervals instead.
//   /         walk the elements of either operand: the quotient is monotone
//             in the other operand on at most four pieces (negative, -1, 0,
//             positive), whose part inside [lo, hi] a binary search finds.
//   %         walk the divisors b: a % b over an interval of a is at most
//             two intervals of remainders per sign, found from the interval's
//             ends; or walk the dividends x when they are small: x % b is x
//             for |b| > |x| and is tried divisor by divisor below.
// The walked operand is the one whose walk costs less. Every question is
// first clamped to a cheap hull of the set (the corners of a sum, difference
// or product that cannot wrap; for a remainder, the largest divisor and the
// dividend's sign), so questions outside it cost nothing, and walks poll the
// compile phase's stop every 1024 steps.
#include <algorithm>
#include <climits>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "expr/operators.h"

namespace {

constexpr int64_t kWrap = int64_t{1} << 32;
constexpr int64_t kMin = INT32_MIN;
constexpr int64_t kMax = INT32_MAX;
constexpr uint64_t kHuge = uint64_t{1} << 62;

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) --q;
    return q;
}
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

uint64_t Times(uint64_t a, uint64_t b) {
    return a != 0 && b > kHuge / a ? kHuge : std::min(a * b, kHuge);
}

enum class Want { Any, Lowest, Highest };

// The best value offered so far for a question about [lo, hi].
struct Answer {
    Want want;
    int32_t lo, hi;
    std::optional<int32_t> value;

    // True when nothing better can come.
    bool Offer(int64_t v) {
        const auto w = static_cast<int32_t>(v);
        if (!value || (want == Want::Lowest ? w < *value : w > *value)) value = w;
        return want == Want::Any || *value == (want == Want::Lowest ? lo : hi);
    }
};

// The first y in [a, b] for which `holds` is true (it is false, then true
// from some point on); b + 1 when there is none.
template <class Holds>
int64_t FirstHolding(int64_t a, int64_t b, Holds holds) {
    int64_t lo = a, hi = b + 1;
    while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (holds(mid))
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo;
}

class OperatorSet final : public ValueSet::Lazy {
public:
    OperatorSet(Operator op, ValueSet l, ValueSet r, const std::function<void()>* poll)
        : m_op(op), m_l(std::move(l)), m_r(std::move(r)), m_poll(poll) {}

    std::optional<int32_t> Extreme(int32_t lo, int32_t hi, bool highest) const override {
        const bool whole = lo == INT32_MIN && hi == INT32_MAX;
        std::optional<int32_t>& cached = highest ? m_max : m_min;
        if (whole && cached) return cached;
        std::optional<int32_t> found = whole ? Corner(highest) : std::nullopt;
        if (!found) found = Find(lo, hi, highest ? Want::Highest : Want::Lowest);
        if (whole) cached = found;
        return found;
    }

    bool Meets(int32_t lo, int32_t hi) const override {
        if (m_min && m_max && (hi < *m_min || lo > *m_max)) return false;
        return Find(lo, hi, Want::Any).has_value();
    }

    // The cross product, pair by pair (intervals for sums and differences).
    bool ForEach(const ValueSet::Visit& visit) const override {
        if (Additive()) {
            return m_l.ForEach([&](ValueSet::Interval a) {
                return m_r.ForEach([&](ValueSet::Interval b) {
                    Tick();
                    std::vector<ValueSet::Interval> pieces;
                    if (m_op == Operator::Add)
                        AppendWrapped(int64_t{a.lo} + b.lo, int64_t{a.hi} + b.hi, pieces);
                    else
                        AppendWrapped(int64_t{a.lo} - b.hi, int64_t{a.hi} - b.lo, pieces);
                    for (const ValueSet::Interval& p : pieces)
                        if (visit(p)) return true;
                    return false;
                });
            });
        }
        return m_l.ForEach([&](ValueSet::Interval a) {
            for (int64_t x = a.lo; x <= a.hi; ++x) {
                const bool stop = m_r.ForEach([&](ValueSet::Interval b) {
                    for (int64_t y = b.lo; y <= b.hi; ++y) {
                        Tick();
                        const int32_t v =
                            Apply(m_op, static_cast<int32_t>(x), static_cast<int32_t>(y));
                        if (visit({v, v})) return true;
                    }
                    return false;
                });
                if (stop) return true;
            }
            return false;
        });
    }

    uint64_t SizeBound() const override {
        return std::min<uint64_t>(Times(m_l.SizeBound(), m_r.SizeBound()), kWrap);
    }

private:
    // One step of a walk: every 1024 of them the compile phase may stop here.
    void Tick() const {
        if (m_poll != nullptr && ++m_ticks % 1024 == 0 && *m_poll) (*m_poll)();
    }

    bool Additive() const { return m_op == Operator::Add || m_op == Operator::Subtract; }

    // The image of the integers lo..hi under wrap-around.
    static void AppendWrapped(int64_t lo, int64_t hi, std::vector<ValueSet::Interval>& out) {
        if (hi - lo + 1 >= kWrap) {
            out.push_back({INT32_MIN, INT32_MAX});
            return;
        }
        auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
        const int32_t a = wrap(lo), b = wrap(hi);
        if (a <= b) {
            out.push_back({a, b});
        } else {
            out.push_back({a, INT32_MAX});
            out.push_back({INT32_MIN, b});
        }
    }

    // The bounds of a sum, difference or product that cannot wrap: an
    // extreme of a bilinear function is taken at the operands' extremes.
    std::optional<int32_t> Corner(bool highest) const {
        if (m_op == Operator::Divide || m_op == Operator::Remainder) return std::nullopt;
        const int64_t l[] = {m_l.Min(), m_l.Max()};
        const int64_t r[] = {m_r.Min(), m_r.Max()};
        int64_t lo = INT64_MAX, hi = INT64_MIN;
        for (int64_t a : l) {
            for (int64_t b : r) {
                const int64_t v = m_op == Operator::Add        ? a + b
                                  : m_op == Operator::Subtract ? a - b
                                                               : a * b;
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        if (lo < kMin || hi > kMax) return std::nullopt;
        return static_cast<int32_t>(highest ? hi : lo);
    }

    std::optional<int32_t> Find(int32_t lo, int32_t hi, Want want) const {
        // A question about values outside a cheap hull of the set is
        // answered at once, and a search for the lowest or highest value
        // stops when it reaches the hull's edge.
        if (m_op == Operator::Remainder) {
            const auto [hullLo, hullHi] = RemainderHull();
            lo = std::max(lo, hullLo);
            hi = std::min(hi, hullHi);
        } else if (const std::optional<int32_t> hullLo = Corner(false)) {
            lo = std::max(lo, *hullLo);
            hi = std::min(hi, *Corner(true));
        }
        Answer answer{want, lo, hi, std::nullopt};
        if (lo > hi) return std::nullopt;
        if (Additive())
            FindAdditive(answer);
        else if (WalkLeft())
            FindWalking(m_l, m_r, true, answer);
        else if (m_op == Operator::Remainder)
            FindByDivisor(answer);
        else
            FindWalking(m_r, m_l, false, answer);
        return answer.value;
    }

    // Bounds of a % b: between -(|b| - 1) and |b| - 1 for the largest |b|,
    // of the sign of a (0 included: b may be 0) and no larger than |a|.
    std::pair<int32_t, int32_t> RemainderHull() const {
        const int64_t m = std::max(std::abs(int64_t{m_r.Min()}), std::abs(int64_t{m_r.Max()}));
        const int64_t top = std::max<int64_t>(m - 1, 0);
        const int64_t lo = m_l.Min() >= 0 ? 0 : std::max<int64_t>(m_l.Min(), -top);
        const int64_t hi = m_l.Max() <= 0 ? 0 : std::min<int64_t>(m_l.Max(), top);
        return {static_cast<int32_t>(lo), static_cast<int32_t>(hi)};
    }

    // Which operand a walk over * / % takes, decided once from what it costs:
    // the walked elements times the work each needs.
    bool WalkLeft() const {
        if (!m_walkLeft) m_walkLeft = WalkCost(m_l, m_r, true) <= WalkCost(m_r, m_l, false);
        return *m_walkLeft;
    }

    uint64_t WalkCost(const ValueSet& walked, const ValueSet& asked, bool walkedLeft) const {
        const uint64_t n = walked.SizeBound();
        const auto magnitude = static_cast<uint64_t>(
            std::max(std::abs(int64_t{walked.Min()}), std::abs(int64_t{walked.Max()})));
        switch (m_op) {
            case Operator::Multiply: {
                const auto span = static_cast<uint64_t>(int64_t{asked.Max()} - asked.Min());
                return Times(n, std::min(Times(magnitude, span) / kWrap + 2, asked.SizeBound()));
            }
            case Operator::Divide:
                return Times(n, 4 * 64);
            default:  // remainder
                return walkedLeft ? Times(n, 2 * magnitude + 4)
                                  : Times(n, asked.IsLazy() ? asked.SizeBound()
                                                            : asked.Intervals().size());
        }
    }

    // + and -: walk the intervals of the operand with fewer of them.
    void FindAdditive(Answer& answer) const {
        auto intervals = [](const ValueSet& s) -> uint64_t {
            return s.IsLazy() ? s.SizeBound() : s.Intervals().size();
        };
        const bool walkLeft = intervals(m_l) <= intervals(m_r);
        const ValueSet& walked = walkLeft ? m_l : m_r;
        const ValueSet& asked = walkLeft ? m_r : m_l;
        const int64_t askedMin = asked.Min(), askedMax = asked.Max();
        const bool add = m_op == Operator::Add;
        // The result grows with the asked operand, except in x - y.
        const bool increasing = add || !walkLeft;
        walked.ForEach([&](ValueSet::Interval i) {
            Tick();
            for (int64_t k = -1; k <= 1; ++k) {
                const int64_t tl = answer.lo + k * kWrap, th = answer.hi + k * kWrap;
                int64_t ylo, yhi;
                if (add) {
                    ylo = tl - i.hi;
                    yhi = th - i.lo;
                } else if (walkLeft) {
                    ylo = i.lo - th;
                    yhi = i.hi - tl;
                } else {
                    ylo = tl + i.lo;
                    yhi = th + i.hi;
                }
                ylo = std::max(ylo, askedMin);
                yhi = std::min(yhi, askedMax);
                if (ylo > yhi) continue;
                const auto a = static_cast<int32_t>(ylo), b = static_cast<int32_t>(yhi);
                if (answer.want == Want::Any) {
                    if (asked.Meets(a, b) && answer.Offer(answer.lo)) return true;
                    continue;
                }
                const bool lowest = answer.want == Want::Lowest;
                const std::optional<int32_t> y = asked.Extreme(a, b, lowest != increasing);
                if (!y) continue;
                int64_t z;
                if (add)
                    z = lowest ? std::max(tl, *y + int64_t{i.lo})
                               : std::min(th, *y + int64_t{i.hi});
                else if (walkLeft)
                    z = lowest ? std::max(tl, i.lo - int64_t{*y})
                               : std::min(th, i.hi - int64_t{*y});
                else
                    z = lowest ? std::max(tl, *y - int64_t{i.hi})
                               : std::min(th, *y - int64_t{i.lo});
                if (answer.Offer(z - k * kWrap)) return true;
            }
            return false;
        });
    }

    // *, / and % walking the elements x of one operand.
    void FindWalking(const ValueSet& walked, const ValueSet& asked, bool walkedLeft,
                     Answer& answer) const {
        const int64_t askedMin = asked.Min(), askedMax = asked.Max();
        walked.ForEach([&](ValueSet::Interval i) {
            for (int64_t x = i.lo; x <= i.hi; ++x) {
                Tick();
                const bool done = m_op == Operator::Multiply
                                      ? Product(x, asked, askedMin, askedMax, answer)
                                      : Pieces(static_cast<int32_t>(x), walkedLeft, asked, askedMin,
                                               askedMax, answer);
                if (done) return true;
            }
            return false;
        });
    }

    // The number of 2^32 windows that x * y reaches for y in [ylo, yhi].
    static uint64_t Windows(int64_t x, int64_t ylo, int64_t yhi) {
        const int64_t z1 = x * ylo, z2 = x * yhi;
        return static_cast<uint64_t>(FloorDiv(std::max(z1, z2) - kMin, kWrap) -
                                     FloorDiv(std::min(z1, z2) - kMin, kWrap)) +
               1;
    }

    // x * y for y in the asked operand; true when the answer is final. When
    // the products reach more windows than the operand has elements (a large
    // x over a wide, sparse operand), its intervals are walked instead.
    bool Product(int64_t x, const ValueSet& asked, int64_t askedMin, int64_t askedMax,
                 Answer& answer) const {
        if (x == 0) return answer.lo <= 0 && 0 <= answer.hi && answer.Offer(0);
        if (Windows(x, askedMin, askedMax) <= asked.SizeBound())
            return ProductWindows(x, &asked, askedMin, askedMax, answer);
        return asked.ForEach([&](ValueSet::Interval i) {
            if (Windows(x, i.lo, i.hi) <= static_cast<uint64_t>(int64_t{i.hi} - i.lo))
                return ProductWindows(x, nullptr, i.lo, i.hi, answer);
            for (int64_t y = i.lo; y <= i.hi; ++y) {
                Tick();
                const auto v = static_cast<int32_t>(static_cast<uint32_t>(x * y));
                if (answer.lo <= v && v <= answer.hi && answer.Offer(v)) return true;
            }
            return false;
        });
    }

    // x * y for y in [ylo, yhi] (of `asked`, or every integer there when it
    // is null), one 2^32 window of the exact product at a time: within a
    // window the product is monotone in y and meets [lo, hi] for y in one
    // interval, found by division.
    bool ProductWindows(int64_t x, const ValueSet* asked, int64_t ylo0, int64_t yhi0,
                        Answer& answer) const {
        const int64_t z1 = x * ylo0, z2 = x * yhi0;
        const int64_t first = FloorDiv(std::min(z1, z2) - kMin, kWrap);
        const int64_t last = FloorDiv(std::max(z1, z2) - kMin, kWrap);
        const bool lowest = answer.want == Want::Lowest;
        for (int64_t k = first; k <= last; ++k) {
            Tick();
            const int64_t tl = answer.lo + k * kWrap, th = answer.hi + k * kWrap;
            int64_t ylo = x > 0 ? CeilDiv(tl, x) : CeilDiv(th, x);
            int64_t yhi = x > 0 ? FloorDiv(th, x) : FloorDiv(tl, x);
            ylo = std::max(ylo, ylo0);
            yhi = std::min(yhi, yhi0);
            if (ylo > yhi) continue;
            const auto a = static_cast<int32_t>(ylo), b = static_cast<int32_t>(yhi);
            if (answer.want == Want::Any) {
                if ((asked == nullptr || asked->Meets(a, b)) && answer.Offer(answer.lo))
                    return true;
                continue;
            }
            const bool highestY = lowest != (x > 0);
            const std::optional<int32_t> y =
                asked != nullptr ? asked->Extreme(a, b, highestY) : std::optional(highestY ? b : a);
            if (y && answer.Offer(x * *y - k * kWrap)) return true;
        }
        return false;
    }

    // / and % with x fixed on one side: the operation is monotone in the
    // other operand on each piece; true when the answer is final.
    bool Pieces(int32_t x, bool xLeft, const ValueSet& asked, int64_t askedMin, int64_t askedMax,
                Answer& answer) const {
        auto g = [&](int64_t y) -> int64_t {
            const auto v = static_cast<int32_t>(y);
            return xLeft ? Apply(m_op, x, v) : Apply(m_op, v, x);
        };
        auto piece = [&](int64_t p1, int64_t p2) {
            p1 = std::max(p1, askedMin);
            p2 = std::min(p2, askedMax);
            if (p1 > p2) return false;
            const bool increasing = g(p1) <= g(p2);
            const int64_t lo = answer.lo, hi = answer.hi;
            int64_t ya, yb;
            if (increasing) {
                ya = FirstHolding(p1, p2, [&](int64_t y) { return g(y) >= lo; });
                yb = FirstHolding(p1, p2, [&](int64_t y) { return g(y) > hi; }) - 1;
            } else {
                ya = FirstHolding(p1, p2, [&](int64_t y) { return g(y) <= hi; });
                yb = FirstHolding(p1, p2, [&](int64_t y) { return g(y) < lo; }) - 1;
            }
            if (ya > yb) return false;
            const auto a = static_cast<int32_t>(ya), b = static_cast<int32_t>(yb);
            if (answer.want == Want::Any) return asked.Meets(a, b) && answer.Offer(answer.lo);
            const bool lowest = answer.want == Want::Lowest;
            const std::optional<int32_t> y = asked.Extreme(a, b, lowest != increasing);
            return y && answer.Offer(g(*y));
        };
        if (m_op == Operator::Divide) {
            if (xLeft) return piece(kMin, -2) || piece(-1, -1) || piece(0, 0) || piece(1, kMax);
            if (x == -1) return piece(kMin, kMin) || piece(kMin + 1, kMax);
            return piece(kMin, kMax);
        }
        // x % b: x itself for |b| > |x|, 0 for b = 0 and b = -1, and divisor
        // by divisor in between.
        if (!xLeft) return piece(kMin, kMax);  // not reached: divisors are walked by FindByDivisor
        const int64_t m = std::abs(int64_t{x});
        if (piece(kMin, -m - 1) || piece(m + 1, kMax) || piece(-1, 0)) return true;
        for (int64_t b = std::max<int64_t>(2, askedMin); b <= std::min(m, askedMax); ++b) {
            Tick();
            if (piece(b, b)) return true;
        }
        for (int64_t b = std::max<int64_t>(2, -askedMax); b <= std::min(m, -askedMin); ++b) {
            Tick();
            if (piece(-b, -b)) return true;
        }
        return false;
    }

    // a % b walking the divisors b: over an interval of dividends the
    // remainders are one or two intervals per sign.
    void FindByDivisor(Answer& answer) const {
        auto offer = [&answer](int64_t s, int64_t t) {
            s = std::max<int64_t>(s, answer.lo);
            t = std::min<int64_t>(t, answer.hi);
            if (s > t) return false;
            return answer.Offer(answer.want == Want::Highest ? t : s);
        };
        // The remainders of the non-negative dividends p..q by m, negated
        // for negative dividends.
        auto residues = [&offer](int64_t p, int64_t q, int64_t m, bool negate) {
            auto emit = [&](int64_t s, int64_t t) { return negate ? offer(-t, -s) : offer(s, t); };
            if (q - p + 1 >= m) return emit(0, m - 1);
            const int64_t r1 = p % m, r2 = q % m;
            if (r1 <= r2) return emit(r1, r2);
            return emit(r1, m - 1) || emit(0, r2);
        };
        m_r.ForEach([&](ValueSet::Interval divisors) {
            for (int64_t b = divisors.lo; b <= divisors.hi; ++b) {
                if (b == 0 || b == -1) {
                    if (offer(0, 0)) return true;
                    continue;
                }
                Tick();
                // Remainders by b lie in [-(|b| - 1), |b| - 1]: a divisor whose
                // remainders all miss [lo, hi] needs no walk of the dividends.
                const int64_t m = std::abs(b);
                if (answer.hi <= -m || answer.lo >= m) continue;
                const bool done = m_l.ForEach([&](ValueSet::Interval a) {
                    Tick();
                    if (a.hi >= 0 && residues(std::max<int64_t>(a.lo, 0), a.hi, m, false))
                        return true;
                    return a.lo < 0 &&
                           residues(-std::min<int64_t>(a.hi, -1), -int64_t{a.lo}, m, true);
                });
                if (done) return true;
            }
            return false;
        });
    }

    Operator m_op;
    ValueSet m_l, m_r;
    mutable std::optional<int32_t> m_min, m_max;
    mutable std::optional<bool> m_walkLeft;
    const std::function<void()>* m_poll;
    mutable unsigned m_ticks = 0;
};

}  // namespace

ValueSet LazyOperatorValues(Operator op, const ValueSet& l, const ValueSet& r,
                            const std::function<void()>* poll) {
    return ValueSet::FromLazy(std::make_shared<const OperatorSet>(op, l, r, poll));
}
