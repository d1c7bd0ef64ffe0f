// Similar spellings: edit distance over code points.
#include "text/similar.h"

#include <algorithm>

#include "text/encoding.h"

namespace {

// The code points of a UTF-8 text, each as the bytes that encode it; a byte
// that starts no valid sequence counts as one code point of its own.
std::vector<std::string_view> CodePoints(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        const size_t length = std::max<size_t>(Utf8SequenceLength(text), 1);
        out.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

}  // namespace

// Optimal string alignment over three rows of the table.
size_t EditDistance(std::string_view a, std::string_view b) {
    const std::vector<std::string_view> s = CodePoints(a), t = CodePoints(b);
    std::vector<size_t> before(t.size() + 1), previous(t.size() + 1), current(t.size() + 1);
    for (size_t j = 0; j <= t.size(); ++j) previous[j] = j;
    for (size_t i = 1; i <= s.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= t.size(); ++j) {
            const size_t cost = s[i - 1] == t[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && s[i - 1] == t[j - 2] && s[i - 2] == t[j - 1])
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[t.size()];
}

std::optional<std::string> ClosestMatch(std::string_view word,
                                        const std::vector<std::string>& candidates) {
    const size_t length = CodePoints(word).size();
    const size_t nearEnough = std::max<size_t>(1, length / 3);
    std::optional<std::string> best;
    size_t bestDistance = nearEnough + 1;
    for (const std::string& candidate : candidates) {
        if (candidate == word) continue;
        const size_t distance = EditDistance(word, candidate);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}
