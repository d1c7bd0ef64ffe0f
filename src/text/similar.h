// Similar spellings: the edit distance between two UTF-8 texts counted in
// code points (a Chinese character is one edit, not two or three bytes), and
// the candidate closest to a misspelt word, for "did you mean ...?" hints.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Insertions, deletions, substitutions and swaps of two neighbours, each one
// edit.
size_t EditDistance(std::string_view a, std::string_view b);

// The candidate nearest to `word`, when it is near enough to be a likely
// misspelling (one edit in a short word, about one in three in a longer
// one); the first of equally near ones. Never `word` itself.
std::optional<std::string> ClosestMatch(std::string_view word,
                                        const std::vector<std::string>& candidates);
