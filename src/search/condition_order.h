// ConditionOrder: the array of conditions that every level of the search
// works on a sub-range of and permutes in place (permutations are never
// undone), with each condition's position in it and a bitset of the
// positions whose condition ranks high (consists of candidates only). The
// search settles only the conditions a step can change, marked in a second
// bitset; the first finds the first high-ranking condition among those the
// settling's sweep passes over without visiting them. The sweep itself lives
// here too: it is nothing but moves within the array and its two bitsets.
//
// Some variables also have a watcher row: a bitset of the positions of the
// conditions that watch them (VariableState::watchers), kept through every
// exchange. Touching those watchers is then an OR of the row's words in the
// range instead of a walk over a list, reading each condition's position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "search/search_records.h"

class ConditionOrder {
public:
    // Takes the conditions in their initial order.
    void Assign(std::vector<CCondition*> conditions);

    size_t Size() const { return m_conditions.size(); }
    CCondition* At(size_t i) const { return m_conditions[i]; }
    // Makes `rows` watcher rows, each empty but for the conditions whose
    // `row` is already set (those that watch their variable from the start).
    void MakeRows(size_t rows);
    // Words of one row or bitset.
    size_t Words() const { return m_words; }
    // k, a condition of the order, starts or stops watching the variable
    // of `row`.
    void Track(CCondition* k, uint32_t row) {
        k->row = row;
        SetBit(Row(row), k->position);
    }
    void Untrack(CCondition* k) {
        Clear(Row(k->row), k->position);
        k->row = kNoIndex;
    }
    // Marks, in the touched bitset, the positions in [first, last) that `row` holds.
    void TouchRow(uint32_t row, size_t first, size_t last);

    // To be called whenever the rank of a condition may have changed.
    void Update(const CCondition* k) {
        if (k->position < m_conditions.size()) Set(m_high.data(), k->position, High(k));
    }

    // The marks of the positions the next sweep visits, set with Mark.
    uint64_t* TouchedWords() { return m_touched.data(); }
    static void Mark(uint64_t* bits, size_t i) { bits[i / 64] |= uint64_t{1} << (i % 64); }
    static bool Marked(const uint64_t* bits, size_t i) { return (bits[i / 64] >> (i % 64)) & 1; }

    // The sweep of a settling over [first, last) (settle.cpp says why it
    // visits only the marked positions): `check(k)` settles a marked
    // condition and says whether it failed, stays open or is satisfied.
    // Returns the new end, or `failed`; no mark is left in [first, last).
    // The conditions the sweep satisfied stand from the new end to `last`.
    template <class Check>
    size_t Sweep(size_t first, size_t last, size_t failed, Check check) {
        return SweepMarks<false>(m_touched.data(), kNoIndex, first, last, failed, check);
    }
    // The same sweep with `row`'s positions for marks, read and never
    // cleared, when the condition at `first` is not in the row. Every
    // exchange carries the row's bits with the conditions, so the bit at the
    // reading position is always that of the condition there, and no
    // condition of the row reaches a position the sweep has yet to read
    // once it has been read (see below).
    template <class Check>
    size_t SweepRow(uint32_t row, size_t first, size_t last, size_t failed, Check check) {
        return SweepMarks<true>(Row(row), row, first, last, failed, check);
    }
    bool InRow(uint32_t row, size_t i) const { return m_conditions[i]->row == row; }

    // The first set bit of `bits` in [from, to), or `to`. Inline: every
    // settling starts with one, and most ranges span a word or two.
    static size_t First(const uint64_t* bits, size_t from, size_t to) {
        if (from >= to) return to;
        size_t word = from / 64;
        uint64_t found = bits[word] & (~uint64_t{0} << (from % 64));
        const size_t lastWord = (to - 1) / 64;
        while (found == 0) {
            if (word == lastWord) return to;
            found = bits[++word];
        }
        const size_t at = word * 64 + static_cast<size_t>(__builtin_ctzll(found));
        return at < to ? at : to;
    }
    // Clears the bits of [from, to); inline for the same reason.
    static void ClearRange(uint64_t* bits, size_t from, size_t to) {
        ForWords(from, to, [bits](size_t w, uint64_t mask) { bits[w] &= ~mask; });
    }
    // Calls f(w, mask) for each word w that [from, to) meets, `mask` the
    // range's bits in it.
    template <class F>
    static void ForWords(size_t from, size_t to, F f) {
        if (from >= to) return;
        const size_t firstWord = from / 64, lastWord = (to - 1) / 64;
        const uint64_t low = ~uint64_t{0} << (from % 64);
        const uint64_t high = ~uint64_t{0} >> (63 - (to - 1) % 64);
        if (firstWord == lastWord) {
            f(firstWord, low & high);
            return;
        }
        f(firstWord, low);
        for (size_t w = firstWord + 1; w < lastWord; ++w) f(w, ~uint64_t{0});
        f(lastWord, high);
    }

private:
    static void Set(uint64_t* bits, size_t i, bool on) {
        const uint64_t bit = uint64_t{1} << (i % 64);
        bits[i / 64] = on ? bits[i / 64] | bit : bits[i / 64] & ~bit;
    }
    static void Clear(uint64_t* bits, size_t i) { bits[i / 64] &= ~(uint64_t{1} << (i % 64)); }
    static void SetBit(uint64_t* bits, size_t i) { bits[i / 64] |= uint64_t{1} << (i % 64); }
    uint64_t* Row(uint32_t row) { return m_rows.data() + row * m_words; }
    // Exchanges the conditions at i and j, both without a touched mark; their
    // rank bits and row bits go with them. A position's rank bit is its
    // condition's rank, so the bits need moving only when the two ranks
    // differ, which the conditions tell more cheaply than the bitset; the
    // same holds for rows.
    void Exchange(size_t i, size_t j) {
        CCondition* a = m_conditions[i];
        CCondition* b = m_conditions[j];
        Place(i, b);
        Place(j, a);
        MoveRanks(i, j, a, b);
        MoveRows(i, j, a, b);
    }
    // The bits of an exchange of a, at i, and b, at j: rank bits, and row
    // bits (two of one row, or of none, both stay as they are).
    void MoveRanks(size_t i, size_t j, const CCondition* a, const CCondition* b) {
        if (High(a) != High(b)) {
            m_high[i / 64] ^= uint64_t{1} << (i % 64);
            m_high[j / 64] ^= uint64_t{1} << (j % 64);
        }
    }
    void MoveRows(size_t i, size_t j, const CCondition* a, const CCondition* b) {
        if (const uint32_t ra = a->row, rb = b->row; ra != rb) {
            if (ra != kNoIndex) {
                uint64_t* row = Row(ra);
                Clear(row, i);
                SetBit(row, j);
            }
            if (rb != kNoIndex) {
                uint64_t* row = Row(rb);
                Clear(row, j);
                SetBit(row, i);
            }
        }
    }

    void Place(size_t i, CCondition* k) {
        m_conditions[i] = k;
        k->position = static_cast<uint32_t>(i);
    }

    std::vector<CCondition*> m_conditions;
    std::vector<uint64_t> m_high;
    std::vector<uint64_t> m_touched;
    std::vector<uint64_t> m_rows;  // the watcher rows, Words() each
    size_t m_words = 0;

    // The sweep over `marks`: the touched bitset, whose marks it clears as
    // it goes, or a watcher row (kRow), which it only reads.
    template <bool kRow, class Check>
    size_t SweepMarks(uint64_t* marks, uint32_t row, size_t first, size_t last, size_t failed,
                      Check check);
};

// The rank rule moves the first high-ranking condition met to `first` while
// a low-ranking one stands there. It is applied to the unmarked stretches
// through the rank bitset (a high-ranking condition is met there only while
// first's is low, and then first's becomes high), and to each marked
// condition that stays open. Ranks do not change during a sweep: a check
// removes candidates only. The marks of `first` and of a position the sweep
// has passed are clear, so the rank rule's exchanges move no mark; the only
// mark that moves is that of the condition pulled in from the end, which is
// examined at once and so is carried in `marked` instead. With a row for
// marks, nothing is cleared: the exchange moves the pulled condition's bit
// with it. The rank rule's exchanges with `first` move no condition of the
// row ahead of the reading position: the one at `first` is not in the row
// until a condition read and left open takes its place, which ranks high
// and so ends the rule.
template <bool kRow, class Check>
size_t ConditionOrder::SweepMarks(uint64_t* marks, uint32_t row, size_t first, size_t last,
                                  size_t failed, Check check) {
    size_t r = first, e = last;
    // The rank at first changes only when another condition takes its place
    // (a check removes candidates only, which leaves ranks as they are).
    bool firstHigh = first == last || High(m_conditions[first]);
    for (;;) {
        const size_t t = First(marks, r, e);
        if (r < t && !firstHigh) {
            const size_t h = First(m_high.data(), r, t);
            if (h < t) {
                Exchange(first, h);
                firstHigh = true;
            }
        }
        if (t == e) return e;
        r = t;
        if (!kRow) Clear(marks, r);
        // The conditions examined at r one after another are written there
        // only once the last of them is known: each one satisfied goes to
        // the end at once, and the one pulled in takes its place at r without
        // being written there. No check reads a position (it unlinks
        // candidates only, which leaves the ranks as they are).
        CCondition* k = m_conditions[r];
        for (;;) {
            // k is the condition at r, marked, its touched mark cleared.
            const Verdict verdict = check(k);
            if (verdict == Verdict::Failed) {
                Place(r, k);
                if (!kRow) ClearRange(marks, r, e);
                return failed;
            }
            if (verdict == Verdict::Open) break;
            // Satisfied: it goes behind the end, the condition at e - 1 takes
            // its place and is examined next.
            if (r == --e) {
                Place(r, k);
                return e;
            }
            CCondition* pulled = m_conditions[e];
            Place(e, k);
            MoveRanks(r, e, k, pulled);
            bool marked;
            if constexpr (kRow) {
                // What its bit says. k is in the row as well, so the rows'
                // bits move only when pulled is not.
                marked = pulled->row == row;
                if (!marked) MoveRows(r, e, k, pulled);
            } else {
                uint64_t& word = marks[e / 64];
                const uint64_t bit = uint64_t{1} << (e % 64);
                marked = (word & bit) != 0;
                word &= ~bit;
                MoveRows(r, e, k, pulled);
            }
            k = pulled;
            if (!marked) break;
        }
        Place(r, k);
        if (r == first) firstHigh = High(k);
        // k stays open at r.
        if (!firstHigh && High(k)) {
            Exchange(first, r);
            firstHigh = true;
        }
        if (++r == e) return e;
    }
}
