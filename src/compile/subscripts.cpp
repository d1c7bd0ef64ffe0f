// Subscripted references x(k) and x[k]: a constant subscript selects a direct
// element, a variable subscript selects an indirect element, and a subscript
// that still depends on a bound name waits for the quantifier's expansion.
// Every value a subscript can take is checked against the family's keys.
#include "engine/tovik.h"
#include "expr/expression.h"
#include "model/program.h"
#include "text/messages.h"

namespace {

CVarDecl* FindFamily(bool inverse, const PooledText* name) {
    CProgram* program = CurrentProgram();
    CVarDecl* decl = inverse ? program->FindInverse(name) : program->FindVariable(name);
    if (decl == nullptr) ReportError(Text(Msg::VariableUndefined));
    return decl;
}

}  // namespace

CExpression* ReferenceElement(bool inverse, const PooledText* name, int32_t value) {
    CVarDecl* decl = FindFamily(inverse, name);
    if (decl == nullptr) return nullptr;
    CVariable* element = CProgram::FindElement(decl, value);
    if (element == nullptr) {
        ReportError(Text(Msg::OutOfRange));
        return nullptr;
    }
    return CurrentProgram()->nodes.Make<CExpVar>(element);
}

CExpression* ReferenceIndexed(bool inverse, const PooledText* name, CExpression* subscript) {
    CVarDecl* decl = FindFamily(inverse, name);
    if (decl == nullptr) return nullptr;
    if (!CProgram::AllSubscriptsValid(decl, subscript->Values())) {
        ReportError(Text(Msg::MayBeOutOfRange));
        return nullptr;
    }
    CProgram* program = CurrentProgram();
    if (auto* reference = dynamic_cast<CExpVar*>(subscript))
        return program->nodes.Make<CExpVar>(program->IndirectElement(decl, reference->variable));
    return program->nodes.Make<CExpBoundSubscript>(decl, subscript);
}
