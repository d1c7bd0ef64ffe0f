// Compiler: the semantic routines that the parser's actions call, one per
// construct of the language, with the state they share: the program they
// fill, where errors go, and the line the scanner has reached. A routine that
// finds an error reports it (Report) and returns false or null; the parser
// then abandons the parse, except after a rejected output request.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "compile/condition_facts.h"
#include "compile/diagnostics.h"
#include "expr/expression.h"
#include "model/program.h"
#include "text/messages.h"

class Compiler {
public:
    // While the compiler lives, the program's new nodes poll for a stop.
    Compiler(CProgram& program, Diagnostics& diagnostics)
        : program(program), m_diagnostics(diagnostics) {
        program.nodes.SetPoll([this] { Poll(); });
    }
    ~Compiler() { program.nodes.SetPoll({}); }
    Compiler(const Compiler&) = delete;
    Compiler& operator=(const Compiler&) = delete;

    // Throws CompileCancelled when the receiver of the diagnostics asks the
    // compile phase to stop.
    void Poll() {
        if (m_diagnostics.StopRequested()) throw CompileCancelled{};
    }
    // One unit of work that makes no node (a variable, a value of a range):
    // polls once per NodeArena::kPollEvery of them.
    void Step() {
        if (++m_steps % NodeArena::kPollEvery == 0) Poll();
    }

    // Reports a compile error at the current line, in the puzzle's encoding,
    // then its details: `detail`, or a plain description at the last token.
    // A full-width character met in the statement is the likelier cause, so
    // its description takes the place of any other.
    void Report(Msg message);
    void Report(Msg message, Diagnostic detail);
    void Report(const char* message);
    void Report(const char* message, Diagnostic detail);
    // Whether any error was reported.
    bool Failed() const { return m_failed; }
    // The details of an error reported just before, or a warning.
    void Detail(const Diagnostic& diagnostic) { m_diagnostics.Report(diagnostic); }
    void Warn(Diagnostic diagnostic) {
        diagnostic.severity = Severity::Warning;
        m_diagnostics.Report(diagnostic);
    }

    // Declarations (declarations.cpp). Each variable declaration names the
    // set first; the order in which they create variables orders the search.
    bool DeclareSet(const PooledText* setName, std::vector<int32_t>* values);
    bool DeclareStringSet(const PooledText* setName, std::vector<int32_t>* values);
    bool DeclareVariable(const PooledText* setName, const PooledText* varName);
    bool DeclareArray(const PooledText* domainSetName, const PooledText* varName,
                      const PooledText* indexSetName);
    bool DeclareOrdering(const PooledText* setName, const PooledText* varName);

    // Bare names and quantifiers (names.cpp).
    bool BindName(const PooledText* name, const PooledText* setName);
    CExpression* ReferenceName(const PooledText* name);
    CExpression* ExpandQuantifier(const PooledText* name, CExpression* body, bool conjunctive);

    // Subscripted references x(k) and x[k] (subscripts.cpp); `inverse` picks
    // the inverse table.
    CExpression* ReferenceElement(bool inverse, const PooledText* name, int32_t value);
    CExpression* ReferenceIndexed(bool inverse, const PooledText* name, CExpression* subscript);

    // Condition statements (conditions.cpp). A statement records its line
    // and text, then adds its conditions unless the program leaves it out.
    bool AddConditionStatement(CExpression* tree, int startLine, std::string text);
    bool AddCondition(CExpression* tree);

    // Output requests (output_requests.cpp); a rejected one lets the parse go on.
    void AddOutputText(const PooledText* text);
    void AddOutputVariable(CExpression* expression);

    // Warnings about pieces that compile but are likely mistakes (warnings.cpp).
    // Every token the parser receives passes here first, with its code (a
    // single character is its own code) and, for a name or a string literal,
    // its pooled text.
    enum class TokenKind { Name, String, Other };
    void Scanned(int code, TokenKind kind, const PooledText* text);
    // A string literal used as a value in a condition.
    CExpression* StringConstant(const PooledText* text);
    // An arithmetic operation; remembers whether it can leave the 32-bit range.
    CExpression* Arithmetic(Operator op, CExpression* left, CExpression* right);
    // After a parse without errors: the variables nothing uses.
    void Finish();

    // A node for the program being compiled.
    template <class T, class... Args>
    T* Node(Args&&... args) {
        return program.nodes.Make<T>(std::forward<Args>(args)...);
    }

    // A name as the author wrote it, in UTF-8.
    std::string Utf8(const PooledText* name) const;
    // Where the scanner last saw `name` (told by NoteName), or the last token.
    SourcePlace PlaceOf(const PooledText* name) const;
    void NoteName(const PooledText* name, SourcePlace place);

    CProgram& program;
    int line = 1;  // advanced by the scanner; errors are reported at it
    // The place of the token the scanner returned last (the parser's
    // lookahead when a reduction reports), and its code.
    SourcePlace token;
    int tokenCode = 0;
    // The token before it, the first token of the statement being read, and
    // the text after the last token.
    SourcePlace previousToken;
    SourcePlace statementStart;
    std::string_view rest;
    // A full-width character inside a name of the current statement, as the
    // scanner found it: described in place of the statement's error.
    std::optional<Diagnostic> fullWidth;

private:
    using DeclTable = std::unordered_map<const PooledText*, std::unique_ptr<CVarDecl>>;
    const std::vector<int32_t>* DeclaredSet(const PooledText* setName);
    CVarDecl* NewDecl(DeclTable& table, const PooledText* varName);
    CVarDecl* FindFamily(bool inverse, const PooledText* name);
    Diagnostic UnknownName(const PooledText* name) const;
    Diagnostic UnknownSet(const PooledText* setName) const;
    std::vector<std::string> NamesOf(const DeclTable& table) const;
    // An error about a subscript of `decl`: of the wrong kind (a number
    // where the array is indexed by strings, or the reverse) when it is.
    Diagnostic SubscriptError(Msg message, const CVarDecl* decl, const PooledText* name,
                              int32_t low, int32_t high) const;

    // Warnings (warnings.cpp).
    void WarnAboutCondition(CExpression* simplified, const std::vector<CExpression*>& clauses,
                            size_t stored);
    void Declared(CVarDecl* decl, const PooledText* name);
    void Used(const CVarDecl* decl) { m_used.insert(decl); }
    SourcePlace RecentPlace(TokenKind kind, const PooledText* text) const;
    Bounds BoundsOf(const CExpression* e) const;

    struct RecentToken {
        int code = 0;
        TokenKind kind = TokenKind::Other;
        const PooledText* text = nullptr;
        SourcePlace place;
    };

    Diagnostics& m_diagnostics;
    bool m_failed = false;
    unsigned m_steps = 0;

    // The last tokens received, the newest at m_received - 1 (modulo the size).
    std::array<RecentToken, 8> m_recent{};
    size_t m_received = 0;
    SourcePlace m_statementStart;  // first token of the statement being read
    SourcePlace m_conditionStart;  // of the statement ended by the last ';'
    SourcePlace m_conditionEnd;    // its last token before the ';'
    bool m_strayString = false;    // the statement holds a string in no set
    // The bounds of the condition's arithmetic operations so far, and the
    // first one that leaves the 32-bit range.
    std::unordered_map<const CExpression*, Bounds> m_arithmetic;
    std::optional<Bounds> m_wrap;
    // Declared variables (an ordering once) with their name's place, in
    // declaration order, and those a condition or the output refers to.
    std::vector<std::pair<CVarDecl*, SourcePlace>> m_declared;
    std::unordered_set<const CVarDecl*> m_used;
    // What is left of the evaluations the "never holds" check may spend.
    uint64_t m_checkWork = 20'000'000;
    // The names of the recent tokens, latest last.
    std::deque<std::pair<const PooledText*, SourcePlace>> m_names;
};
