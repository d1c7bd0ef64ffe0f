// Characters of a puzzle's text as its author sees them: code points, how
// wide a terminal draws them, and the full-width punctuation that a Chinese
// input method types in place of the language's ASCII punctuation.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/encoding.h"

// The code points of UTF-8 text; a byte that starts no valid sequence counts
// as one code point of its own value.
std::vector<char32_t> CodePoints(std::string_view utf8);

// The cells a terminal draws the character in: 2 for East Asian wide and
// full-width characters, 1 otherwise.
int DisplayWidth(char32_t code);

// `text` in `encoding` as UTF-8.
std::string ToUtf8(std::string_view text, Encoding encoding);

// A full-width punctuation character or an ideographic space inside a text.
struct FullWidthMark {
    size_t offset = 0;  // its first byte
    size_t length = 0;  // its bytes
    int charactersBefore = 0;
    std::string character;  // UTF-8
    char ascii = 0;         // what to type instead
};

// The first full-width punctuation character (（）；，：｛｝［］＂“”‘’！＝＜＞＋－＊／)
// or ideographic space in `text`, or none.
std::optional<FullWidthMark> FindFullWidth(std::string_view text, Encoding encoding);
