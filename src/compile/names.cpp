// Bare names and quantifiers: a bare name is a simple variable or a bound
// quantifier name; a quantified expression is expanded while parsing into one
// copy of its body per value of its set.
#include "compile/compiler.h"
#include "compile/error_details.h"
#include "text/translate.h"

// The binding lives while the quantified body is parsed; the name may not be
// a variable's or an enclosing quantifier's.
bool Compiler::BindName(const PooledText* name, const PooledText* setName) {
    if (program.FindVariable(name) != nullptr || program.boundNames.count(name) != 0) {
        Report(Msg::VariableDefined,
               MakeError(PlaceOf(name), "redefined",
                         Fill(Tr("'%s' is already declared; a bound name needs a name of its own"),
                              {Utf8(name)})));
        return false;
    }
    if (program.FindSet(setName) == nullptr) {
        Report(Msg::SetUndefined, UnknownSet(setName));
        return false;
    }
    program.boundNames[name] = setName;
    return true;
}

CExpression* Compiler::ReferenceName(const PooledText* name) {
    if (auto bound = program.boundNames.find(name); bound != program.boundNames.end())
        return Node<CExpBoundName>(name, program.FindSet(bound->second));
    CVarDecl* decl = program.FindVariable(name);
    if (decl == nullptr) {
        Report(Msg::VariableUndefined, UnknownName(name));
        return nullptr;
    }
    if (decl->elements.size() != 1) {
        // An array or ordering used without a subscript.
        Report(Msg::Syntax,
               MakeError(
                   PlaceOf(name), "missing-subscript",
                   Fill(Tr("'%s' is an array or an ordering: it needs a subscript"), {Utf8(name)}),
                   {Fill(Tr("write %s(...) for one of its elements"), {Utf8(name)})}));
        return nullptr;
    }
    Used(decl);
    return Node<CExpVar>(decl->elements[0]);
}

// Instances are made from the last value to the first and joined so that the
// result reads instance(n-1) op (instance(n-2) op (... op instance(0))).
CExpression* Compiler::ExpandQuantifier(const PooledText* name, CExpression* body,
                                        bool conjunctive) {
    const std::vector<int32_t> values = *program.FindSet(program.boundNames.at(name));
    std::vector<CExpression*> instances(values.size());
    for (size_t i = values.size(); i-- > 0;)
        instances[i] = body->Clone(program.nodes)->Substitute(name, values[i], program);
    program.boundNames.erase(name);

    CExpression* result = instances[0];
    for (size_t j = 1; j < instances.size(); ++j) {
        if (conjunctive)
            result = Node<CExpAnd>(instances[j], result);
        else
            result = Node<CExpOr>(instances[j], result);
    }
    return result;
}
