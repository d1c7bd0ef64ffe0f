// The compiled form of one puzzle: the name pool, the set / variable / inverse /
// bound-name tables, the variable list, the compiled conditions, the output
// section, and the arena that owns every expression node made for it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/condition_statement.h"
#include "model/key_set.h"
#include "model/line_template.h"
#include "model/node_arena.h"
#include "model/value_set.h"
#include "text/encoding.h"

class CExpression;
struct CVariable;

// A name or string literal stored once in the pool. Tables compare pooled texts
// by address; the handle is the 32-bit value a string constant stands for.
struct PooledText {
    std::string text;
    int32_t handle;
};

// First handle given out; the n-th distinct text interned gets kFirstHandle + n.
inline constexpr int32_t kFirstHandle = 0x40000000;

// One declared variable name: a simple variable, an array, or one of the two
// families of an ordering.
struct CVarDecl {
    std::vector<CVariable*> elements;       // direct elements, in creation order
    std::vector<CVariable*> indirect;       // elements selected by a variable subscript
    std::vector<int32_t> domain;            // ascending; the search tries it last to first
    CVarDecl* partner = nullptr;            // the other family of an ordering
    const PooledText* domainSet = nullptr;  // null for an ordering's forward family
    const PooledText* indexSet = nullptr;   // an array's index set; null otherwise
    const PooledText* name = nullptr;

    // The domain as a value set, made on first use (the domain never changes
    // once declared).
    const ValueSet& DomainValues() const;

    // The member of the domain equal to `value`, or null when it is no member.
    // Every binding asks, so a domain without gaps answers by subtraction.
    const int32_t* Member(int32_t value) const {
        const auto size = static_cast<int64_t>(domain.size());
        if (size != 0 && int64_t{domain.back()} - domain.front() + 1 == size) {
            const int64_t at = int64_t{value} - domain.front();
            return at >= 0 && at < size ? &domain[static_cast<size_t>(at)] : nullptr;
        }
        return SearchMember(value);
    }

    // The direct element whose key is `key`, or null.
    CVariable* ElementWithKey(int32_t key) const;

private:
    const int32_t* SearchMember(int32_t value) const;

    mutable std::unique_ptr<ValueSet> m_domainValues;
    // Key -> element, built on first use for large families (keys are unique).
    mutable std::unordered_map<int32_t, CVariable*> m_byKey;
};

// One search variable.
struct CVariable {
    CVarDecl* family = nullptr;
    CVariable* subscript = nullptr;      // set for an indirect element x(y): y
    int32_t key = 0;                     // subscript value selecting a direct element
    const int32_t* value = nullptr;      // points into family->domain; null = unassigned
    std::vector<CVariable*> dependents;  // indirect elements subscripted by it
    uint32_t index = 0;                  // position in the program's variable list
    uint32_t mark = 0;                   // scratch stamp for duplicate-free collection

    bool Assigned() const { return value != nullptr; }
    int32_t Value() const { return *value; }
};

struct COutputItem {
    const PooledText* text = nullptr;
    CVariable* variable = nullptr;
    bool symbolic = false;
};

// One variable as the machine-readable formats name it: "x" for a simple
// variable, "x[k]" for an element of an array or the forward family of an
// ordering, whose key k is a number or a string.
struct COutputColumn {
    std::string name;
    CVariable* variable = nullptr;
    bool symbolic = false;  // the value is a string handle
};

struct COutput {
    std::vector<COutputItem> items;
    std::vector<CVariable*> keyVariables;
    KeySet printedKeys;
    // Every direct variable, in declaration order; filled when a search
    // starts in a format that prints them.
    std::vector<COutputColumn> columns;
    LineTemplate line;  // the line of the formats that take it whole
};

using ValueList = std::vector<int32_t>;

class CProgram {
public:
    CProgram() = default;
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;
    ~CProgram();

    // Replaces escape sequences in place, strips the surrounding quotes and
    // returns the pooled text for what is left.
    const PooledText* Intern(char* text);
    // The text a string handle stands for, or null for a value that is no handle.
    const char* TextOf(int32_t handle) const {
        const PooledText* pooled = Pooled(handle);
        return pooled != nullptr ? pooled->text.c_str() : nullptr;
    }
    // The pool's entry for a string handle, or null for a value that is no
    // handle. Inline: the solution printer asks for every string it prints.
    const PooledText* Pooled(int32_t handle) const {
        const uint32_t index = static_cast<uint32_t>(handle) - static_cast<uint32_t>(kFirstHandle);
        return index < byHandle.size() ? byHandle[index] : nullptr;
    }
    // Converts every pooled text to `to` and makes it the program's encoding.
    // Names are compared by identity, so a compiled program can be converted.
    void ConvertTexts(Encoding to);

    CVariable* NewVariable(CVarDecl* decl, bool direct);
    // The indirect element x(y) of `decl` for subscript variable y, made on
    // first use: references through the same subscript variable share it.
    CVariable* IndirectElement(CVarDecl* decl, CVariable* y);
    static CVariable* FindElement(const CVarDecl* decl, int32_t key);
    static CVariable* FindIndirect(const CVarDecl* decl, const CVariable* y);
    static bool AllSubscriptsValid(const CVarDecl* decl, const ValueSet& values);
    static CVariable* HolderOf(const CVarDecl* decl, int32_t value);

    const std::vector<int32_t>* FindSet(const PooledText* name) const;
    CVarDecl* FindVariable(const PooledText* name) const;
    CVarDecl* FindInverse(const PooledText* name) const;
    bool IsStringSet(const PooledText* name) const;

    void CleanUp();

    // Name pool: stable storage plus a lookup by spelling.
    std::deque<PooledText> pool;
    std::unordered_map<std::string, PooledText*> poolIndex;
    std::vector<const PooledText*> byHandle;  // the pool's entries, by handle

    // An entry with an empty list is a set named but never declared.
    std::unordered_map<const PooledText*, std::vector<int32_t>> sets;
    std::vector<const PooledText*> stringSets;
    std::unordered_map<const PooledText*, std::unique_ptr<CVarDecl>> variables;
    std::unordered_map<const PooledText*, std::unique_ptr<CVarDecl>> inverses;
    std::vector<CVariable*> variableList;  // owned; creation order drives the search
    std::unordered_map<const PooledText*, const PooledText*> boundNames;
    // Each compiled condition: the alternatives of one clause. The search
    // consumes them (it keeps copies of what it needs).
    std::vector<std::vector<CExpression*>> conditions;
    COutput output;
    // Every condition statement parsed, in source order, and which of them
    // to leave out (by position; missing entries are kept).
    std::vector<ConditionStatement> statements;
    std::vector<bool> leftOut;
    NodeArena nodes;                    // every expression node made for this program
    Encoding encoding = Encoding::Gbk;  // of the puzzle, its texts and its messages
    bool searched = false;              // a program is searched once
};
