// Bare names and quantifiers: a bare name is a simple variable or a bound
// quantifier name; a quantified expression is expanded while parsing into one
// copy of its body per value of its set.
#include "engine/tovik.h"
#include "expr/expression.h"
#include "model/program.h"
#include "text/messages.h"

bool BindName(const PooledText* name, const PooledText* setName) {
    CProgram* program = CurrentProgram();
    if (program->FindVariable(name) != nullptr || program->boundNames.count(name) != 0) {
        ReportError(Text(Msg::VariableDefined));
        return false;
    }
    if (program->FindSet(setName) == nullptr) {
        ReportError(Text(Msg::SetUndefined));
        return false;
    }
    program->boundNames[name] = setName;
    return true;
}

CExpression* ReferenceName(const PooledText* name) {
    CProgram* program = CurrentProgram();
    if (auto bound = program->boundNames.find(name); bound != program->boundNames.end())
        return program->nodes.Make<CExpBoundName>(name, program->FindSet(bound->second));
    CVarDecl* decl = program->FindVariable(name);
    if (decl == nullptr) {
        ReportError(Text(Msg::VariableUndefined));
        return nullptr;
    }
    if (decl->elements.size() != 1) {
        // An array or ordering used without a subscript.
        ReportError(Text(Msg::Syntax));
        return nullptr;
    }
    return program->nodes.Make<CExpVar>(decl->elements[0]);
}

// Instances are made from the last value to the first and joined so that the
// result reads instance(n-1) op (instance(n-2) op (... op instance(0))).
CExpression* ExpandQuantifier(const PooledText* name, CExpression* body, bool conjunctive) {
    CProgram* program = CurrentProgram();
    const std::vector<int32_t> values = *program->FindSet(program->boundNames.at(name));
    std::vector<CExpression*> instances(values.size());
    for (size_t i = values.size(); i-- > 0;)
        instances[i] = body->Clone(program->nodes)->Substitute(name, values[i], *program);
    program->boundNames.erase(name);

    CExpression* result = instances[0];
    for (size_t j = 1; j < instances.size(); ++j) {
        if (conjunctive)
            result = program->nodes.Make<CExpAnd>(instances[j], result);
        else
            result = program->nodes.Make<CExpOr>(instances[j], result);
    }
    return result;
}
