// LineTemplate: the solution line of the formats that hand a line over whole,
// prepared once per search. Every constant text of the output statement and
// every pooled text a string value can print is copied into one array, each
// followed by spare bytes, so that a piece goes into the line in 16-byte
// blocks of fixed size instead of a copy of its exact length; the line's
// buffer is sized once for the longest line. A line of many short pieces (a
// grid of colours and separators) costs a few instructions a piece. Pooled
// texts hold no NUL (the language has no escape for one), so a whole text is
// what an item's own Output call would print of it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class CProgram;
struct CVariable;

class LineTemplate {
public:
    // Takes the program's output items and pooled texts as they are now (the
    // texts must not change before the last line), each line ending in `end`.
    void Prepare(const CProgram& program, std::string_view end);
    bool Prepared() const { return !m_line.empty(); }
    // The line of the output variables' current values, as a C string that
    // stays valid until the next call. Prepared, and every output variable
    // is assigned.
    const char* Write();

private:
    struct Piece {
        uint32_t at = 0;  // offset in m_texts
        uint32_t size = 0;
    };
    struct Item {
        const CVariable* variable = nullptr;  // null: the constant text `piece`
        Piece piece;
        bool symbolic = false;  // the value is a string handle
    };

    Piece Add(std::string_view text);

    std::vector<char> m_texts;    // the pieces, each followed by spare bytes
    std::vector<Piece> m_pooled;  // the piece of each pooled text, by handle
    std::vector<Item> m_items;
    Piece m_end;
    std::vector<char> m_line;  // room for the longest line, spare bytes and NUL
};
