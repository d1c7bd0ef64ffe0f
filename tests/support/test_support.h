// Shared helpers of the unit tests: an engine that records what it prints and
// the step counts it reports, puzzle texts handed to the engine as files, GBK
// bytes of UTF-8 literals, name lookups in a compiled program, and a printer
// that shows expression trees in the puzzle language's own notation.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/tovik.h"
#include "expr/expression.h"
#include "model/program.h"

namespace tovik_test {

// An embedding host: keeps every printed text and every progress call, and
// cancels the search on request.
class RecordingTovik : public CTovik {
public:
    void Output(const char* text) override { output += text; }
    bool IsCancel() override { return cancel; }
    void OnProgress(unsigned count) override { progress.push_back(count); }

    std::string output;
    std::vector<unsigned> progress;
    bool cancel = false;
};

// The GBK bytes of a UTF-8 text (the encoding of puzzle files and messages).
inline std::string Gbk(const std::string& utf8) {
    iconv_t cd = iconv_open("GBK", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<iconv_open failed>";
    std::string in = utf8;
    std::string out(in.size() * 2 + 1, '\0');
    char* src = in.data();
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "<not convertible>";
    out.resize(out.size() - dstLeft);
    return out;
}

// An anonymous file holding the bytes, positioned at its start. The engine
// closes it.
inline FILE* PuzzleFile(const std::string& bytes) {
    FILE* file = std::tmpfile();
    if (file == nullptr) return nullptr;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

inline std::unique_ptr<CProgram> CompileText(RecordingTovik& engine, const std::string& text) {
    return engine.Compile(PuzzleFile(text));
}

// The pooled text of a name (interning it when it is new).
inline const PooledText* Name(CProgram& program, const std::string& spelling) {
    std::string copy = spelling;
    return program.Intern(copy.data());
}

// A simple variable, x(key) of an array or ordering, and x[position].
inline CVariable* Simple(CProgram& program, const std::string& name) {
    return program.FindVariable(Name(program, name))->elements.at(0);
}
inline CVariable* Element(CProgram& program, const std::string& name, int32_t key) {
    return CProgram::FindElement(program.FindVariable(Name(program, name)), key);
}
inline CVariable* InverseElement(CProgram& program, const std::string& name, int32_t position) {
    return CProgram::FindElement(program.FindInverse(Name(program, name)), position);
}

inline void UnassignAll(CProgram& program) {
    for (CVariable* v : program.variableList) v->value = nullptr;
}

// "x" for a simple variable, "x(k)" for an element, "x[p]" for an element of
// an ordering's inverse family, "x(y)" for an indirect element.
inline std::string VariableName(const CVariable* v) {
    const CVarDecl* family = v->family;
    std::string name = family->name != nullptr ? family->name->text : "?";
    bool inverse = family->partner != nullptr && family->domainSet != nullptr;
    std::string open = inverse ? "[" : "(";
    std::string close = inverse ? "]" : ")";
    if (v->subscript != nullptr) return name + open + VariableName(v->subscript) + close;
    if (family->partner == nullptr && family->elements.size() == 1) return name;
    return name + open + std::to_string(v->key) + close;
}

inline std::vector<std::string> VariableNames(const std::vector<CVariable*>& variables) {
    std::vector<std::string> names;
    for (const CVariable* v : variables) names.push_back(VariableName(v));
    return names;
}

inline std::string OperatorText(Operator op) {
    static constexpr const char* kTexts[] = {"+",  "-", "*",  "/", "%", "=",
                                             "!=", "<", "<=", ">", ">="};
    return kTexts[static_cast<int>(op)];
}

template <typename... Kinds>
bool IsOneOf(const CExpression* e) {
    return (... || (dynamic_cast<const Kinds*>(e) != nullptr));
}

// Parenthesises operands that are logical (under a logical node) or binary
// (under an operator node); negation wraps anything but a leaf.
inline std::string Show(const CExpression* e) {
    auto wrapped = [](const CExpression* operand, bool wrap) {
        return wrap ? std::string("(").append(Show(operand)).append(")") : Show(operand);
    };
    if (auto* n = dynamic_cast<const CExpConst*>(e)) return std::to_string(n->value);
    if (auto* n = dynamic_cast<const CExpVar*>(e)) return VariableName(n->variable);
    if (auto* n = dynamic_cast<const CExpNot*>(e)) {
        std::string text = "!";
        return text += wrapped(n->operand, !IsOneOf<CExpConst, CExpVar>(n->operand));
    }
    if (auto* n = dynamic_cast<const CExpAnd*>(e))
        return wrapped(n->left, IsOneOf<CExpAnd, CExpOr>(n->left)) + " & " +
               wrapped(n->right, IsOneOf<CExpAnd, CExpOr>(n->right));
    if (auto* n = dynamic_cast<const CExpOr*>(e))
        return wrapped(n->left, IsOneOf<CExpAnd, CExpOr>(n->left)) + " | " +
               wrapped(n->right, IsOneOf<CExpAnd, CExpOr>(n->right));
    if (auto* n = dynamic_cast<const CExpFunc*>(e))
        return wrapped(n->left, IsOneOf<CExpAnd, CExpOr, CExpFunc>(n->left)) + " " +
               OperatorText(n->op) + " " +
               wrapped(n->right, IsOneOf<CExpAnd, CExpOr, CExpFunc>(n->right));
    return "<node>";
}

// One compiled condition as "[alternative, alternative, ...]".
inline std::string ShowAlternatives(const std::vector<CExpression*>& alternatives) {
    std::string text = "[";
    for (size_t i = 0; i < alternatives.size(); ++i)
        text.append(i ? ", " : "").append(Show(alternatives[i]));
    return text + "]";
}

inline std::vector<std::string> ShowConditions(const CProgram& program) {
    std::vector<std::string> shown;
    for (const auto& condition : program.conditions) shown.push_back(ShowAlternatives(condition));
    return shown;
}

}  // namespace tovik_test
