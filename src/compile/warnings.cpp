// Warnings: pieces of a puzzle that compile but are likely mistakes. A string
// literal in no declared set, a condition that always holds (and is dropped),
// one that can never hold, arithmetic that leaves the 32-bit range, and a
// variable that nothing uses. Warnings only describe: they never change the
// compiled program, and the checks behind them are bounded so that large
// puzzles compile about as fast as without them.
#include <algorithm>
#include <string>
#include <string_view>

#include "compile/compiler.h"
#include "compile/condition_facts.h"
#include "compile/error_details.h"
#include "text/translate.h"

namespace {

// A place known only by its line when the scanner gives no columns.
SourcePlace TokenPlace(const SourcePlace& token, int line) {
    return token.line > 0 ? token : SourcePlace{line, 0, 0};
}

// From the start of `first` to the end of `last` when both are on one line;
// otherwise `first` alone.
SourcePlace Span(const SourcePlace& first, const SourcePlace& last) {
    SourcePlace place = first;
    if (last.line == first.line && last.endColumn > first.endColumn)
        place.endColumn = last.endColumn;
    return place;
}

Diagnostic Warning(const char* code, const SourcePlace& place, std::string message,
                   std::vector<std::string> hints) {
    return Diagnostic{Severity::Warning, place, code, std::move(message), std::move(hints)};
}

}  // namespace

void Compiler::Scanned(int code, TokenKind kind, const PooledText* text) {
    const SourcePlace place = TokenPlace(token, line);
    const RecentToken* previous =
        m_received > 0 ? &m_recent[(m_received - 1) % m_recent.size()] : nullptr;
    // A statement begins after ';' or the '}' of an output statement ('}' of
    // a set declaration is followed by '=' or ';', never by a statement).
    if (previous == nullptr || previous->code == ';' || previous->code == '}') {
        m_statementStart = place;
        m_strayString = false;
    }
    if (code == ';') {
        m_conditionStart = m_statementStart;
        m_conditionEnd = previous != nullptr ? previous->place : place;
    }
    m_recent[m_received++ % m_recent.size()] = RecentToken{code, kind, text, place};
}

// The newest of the last tokens that is this name or string; the parser may
// have read a token or two past it.
SourcePlace Compiler::RecentPlace(TokenKind kind, const PooledText* text) const {
    const size_t seen = std::min(m_received, m_recent.size());
    for (size_t back = 1; back <= seen; ++back) {
        const RecentToken& t = m_recent[(m_received - back) % m_recent.size()];
        if (t.kind == kind && t.text == text) return t.place;
    }
    return SourcePlace{line, 0, 0};
}

// A literal that no declared set holds equals no variable's value: "=" with
// it never holds and "!=" always does, which is almost always a typo.
CExpression* Compiler::StringConstant(const PooledText* text) {
    CExpression* constant = Node<CExpConst>(text->handle);
    for (const PooledText* setName : program.stringSets) {
        const std::vector<int32_t>& set = *program.FindSet(setName);
        if (std::binary_search(set.begin(), set.end(), text->handle)) return constant;
    }
    m_strayString = true;
    std::vector<std::string> members;
    for (const PooledText* setName : program.stringSets)
        for (int32_t handle : *program.FindSet(setName))
            members.push_back(Utf8(&program.pool[static_cast<size_t>(handle - kFirstHandle)]));
    const std::string word = Utf8(text);
    std::vector<std::string> hints;
    if (const std::string near = Nearest(word, std::move(members)); !near.empty())
        hints.push_back(DidYouMean("\"" + near + "\""));
    else
        hints.push_back(Tr("a comparison with it is always false with = and always true with !="));
    Warn(Warning("unknown-string", RecentPlace(TokenKind::String, text),
                 Fill(Tr("the string \"%s\" is in no declared set"), {word}), std::move(hints)));
    return constant;
}

// The bounds of a leaf are those of its set; an operation's were worked out
// when it was made. A quantified body is checked once, its bound names
// ranging over their whole sets, which covers every copy of it.
Bounds Compiler::BoundsOf(const CExpression* e) const {
    if (auto* c = As<CExpConst>(e)) return {c->value, c->value};
    const std::vector<int32_t>* values = nullptr;
    if (auto* v = As<CExpVar>(e)) values = &v->variable->family->domain;
    if (auto* b = As<CExpBoundName>(e)) values = b->set;
    if (auto* s = As<CExpBoundSubscript>(e)) values = &s->family->domain;
    if (values != nullptr) return {values->front(), values->back()};
    if (auto known = m_arithmetic.find(e); known != m_arithmetic.end()) return known->second;
    return {0, 1};  // a comparison or a logical operation
}

CExpression* Compiler::Arithmetic(Operator op, CExpression* left, CExpression* right) {
    CExpression* node = Node<CExpFunc>(op, left, right);
    Bounds bounds = OperationBounds(op, BoundsOf(left), BoundsOf(right));
    if (!bounds.InRange()) {
        if (!m_wrap) m_wrap = bounds;
        bounds = {INT32_MIN, INT32_MAX};  // what wrapping around can give
    }
    m_arithmetic.emplace(node, bounds);
    return node;
}

void Compiler::WarnAboutCondition(CExpression* simplified, const std::vector<CExpression*>& clauses,
                                  size_t stored) {
    const SourcePlace place = Span(m_conditionStart, m_conditionEnd);
    const std::optional<Bounds> wrap = m_wrap;
    m_wrap.reset();
    m_arithmetic.clear();
    if (stored == 0) {
        // The string warning already says why such a condition always holds.
        if (!m_strayString)
            Warn(Warning("always-true", place, Tr("this condition always holds, so it is dropped"),
                         {Tr("every value its variables can take satisfies it: it rules "
                             "nothing out")}));
        return;
    }
    if (wrap)
        Warn(Warning("overflow", place,
                     Fill(Tr("arithmetic here reaches %s to %s, beyond the 32-bit range"),
                          {std::to_string(wrap->lo), std::to_string(wrap->hi)}),
                     {Tr("results outside -2147483648 to 2147483647 wrap around, so the "
                         "condition may hold or fail for the wrong values")}));
    // The whole condition when that is cheap, otherwise each clause on its
    // own: one clause that never holds is enough.
    std::optional<bool> holds = CanHold(simplified, m_checkWork);
    for (size_t i = 0; !holds && i < clauses.size(); ++i) {
        const std::optional<bool> clause = CanHold(clauses[i], m_checkWork);
        if (clause && !*clause) holds = false;
    }
    if (holds && !*holds)
        Warn(Warning("never-true", place, Tr("this condition can never hold"),
                     {Tr("no values of its variables satisfy it, so the puzzle has no "
                         "solution")}));
}

void Compiler::Declared(CVarDecl* decl, const PooledText* name) {
    m_declared.emplace_back(decl, RecentPlace(TokenKind::Name, name));
}

// An unused variable multiplies the search without changing any printed line.
void Compiler::Finish() {
    for (const auto& [decl, place] : m_declared) {
        if (m_used.count(decl) != 0 || (decl->partner && m_used.count(decl->partner) != 0))
            continue;
        const char* pattern =
            decl->partner    ? Tr("the ordering '%s' is used by no condition and no output")
            : decl->indexSet ? Tr("the array '%s' is used by no condition and no output")
                             : Tr("the variable '%s' is used by no condition and no output");
        Warn(Warning("unused-variable", place, Fill(pattern, {Utf8(decl->name)}),
                     {Tr("its values only repeat the solutions; use it in a condition or "
                         "an output, or remove it")}));
    }
}
