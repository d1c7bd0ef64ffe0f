// Subscripted references x(k) and x[k]: a constant subscript selects a direct
// element, a variable subscript selects an indirect element, and a subscript
// that still depends on a bound name waits for the quantifier's expansion.
// Every value a subscript can take is checked against the family's keys.
#include "compile/compiler.h"
#include "compile/error_details.h"

CVarDecl* Compiler::FindFamily(bool inverse, const PooledText* name) {
    CVarDecl* decl = inverse ? program.FindInverse(name) : program.FindVariable(name);
    if (decl == nullptr)
        Report(Msg::VariableUndefined, UnknownName(name));
    else
        Used(decl);
    return decl;
}

CExpression* Compiler::ReferenceElement(bool inverse, const PooledText* name, int32_t value) {
    CVarDecl* decl = FindFamily(inverse, name);
    if (decl == nullptr) return nullptr;
    CVariable* element = CProgram::FindElement(decl, value);
    if (element == nullptr) {
        Report(Msg::OutOfRange, SubscriptError(Msg::OutOfRange, decl, name, value, value));
        return nullptr;
    }
    return Node<CExpVar>(element);
}

// A subscript that could leave the family is rejected even if the conditions
// would never let it.
CExpression* Compiler::ReferenceIndexed(bool inverse, const PooledText* name,
                                        CExpression* subscript) {
    CVarDecl* decl = FindFamily(inverse, name);
    if (decl == nullptr) return nullptr;
    const ValueSet& values = subscript->Values();
    if (!CProgram::AllSubscriptsValid(decl, values)) {
        Report(Msg::MayBeOutOfRange,
               values.Empty() || values.IsLazy()
                   ? ErrorDetail(Msg::MayBeOutOfRange, PlaceOf(name))
                   : SubscriptError(Msg::MayBeOutOfRange, decl, name, values.Min(), values.Max()));
        return nullptr;
    }
    if (auto* reference = As<CExpVar>(subscript))
        return Node<CExpVar>(program.IndirectElement(decl, reference->variable));
    return Node<CExpBoundSubscript>(decl, subscript);
}
