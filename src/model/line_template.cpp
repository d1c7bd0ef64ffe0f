// The prepared solution line.
#include "model/line_template.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>

#include "model/program.h"

namespace {

// Bytes a block copy may read past a piece or write past the line's end.
constexpr size_t kBlock = 16;
// The longest number: "-2147483648".
constexpr size_t kNumberSize = 11;

// Copies `size` bytes in whole blocks: the source is readable and the
// destination writable up to the next multiple of kBlock.
char* CopyBlocks(char* to, const char* from, size_t size) {
    for (size_t i = 0; i < size; i += kBlock) std::memcpy(to + i, from + i, kBlock);
    return to + size;
}

}  // namespace

LineTemplate::Piece LineTemplate::Add(std::string_view text) {
    const Piece piece{static_cast<uint32_t>(m_texts.size()), static_cast<uint32_t>(text.size())};
    m_texts.insert(m_texts.end(), text.begin(), text.end());
    m_texts.resize(m_texts.size() + kBlock);
    return piece;
}

void LineTemplate::Prepare(const CProgram& program, std::string_view end) {
    m_texts.clear();
    m_pooled.clear();
    m_items.clear();
    for (const PooledText* pooled : program.byHandle) m_pooled.push_back(Add(pooled->text));
    // The longest text each family of string variables can print.
    std::unordered_map<const CVarDecl*, size_t> longestValue;
    auto longest = [&](const CVarDecl* family) {
        auto [at, added] = longestValue.try_emplace(family, 0);
        if (added)
            for (int32_t value : family->domain)
                if (const PooledText* pooled = program.Pooled(value))
                    at->second = std::max(at->second, pooled->text.size());
        return at->second;
    };
    size_t longestLine = 0;
    for (const COutputItem& item : program.output.items) {
        Item prepared;
        prepared.variable = item.variable;
        prepared.symbolic = item.symbolic;
        if (item.variable == nullptr) {
            prepared.piece = Add(item.text->text);
            longestLine += item.text->text.size();
        } else {
            longestLine += item.symbolic ? longest(item.variable->family) : kNumberSize;
        }
        m_items.push_back(prepared);
    }
    m_end = Add(end);
    longestLine += end.size();
    m_line.assign(longestLine + kBlock + 1, '\0');
}

const char* LineTemplate::Write() {
    const char* texts = m_texts.data();
    char* out = m_line.data();
    for (const Item& item : m_items) {
        if (item.variable == nullptr) {
            out = CopyBlocks(out, texts + item.piece.at, item.piece.size);
            continue;
        }
        const int32_t value = item.variable->Value();
        if (!item.symbolic) {
            out = std::to_chars(out, out + kNumberSize, value).ptr;
            continue;
        }
        // A value that is no handle prints nothing.
        const uint32_t index = static_cast<uint32_t>(value) - static_cast<uint32_t>(kFirstHandle);
        if (index < m_pooled.size())
            out = CopyBlocks(out, texts + m_pooled[index].at, m_pooled[index].size);
    }
    out = CopyBlocks(out, texts + m_end.at, m_end.size);
    *out = '\0';
    return m_line.data();
}
