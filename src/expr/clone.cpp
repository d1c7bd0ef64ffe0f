// Clone: deep copies. Sharing is not preserved; variables are never copied.
#include "expr/expression.h"

CExpression* CExpAnd::Clone(NodeArena& arena) const {
    return arena.Make<CExpAnd>(left->Clone(arena), right->Clone(arena));
}
CExpression* CExpOr::Clone(NodeArena& arena) const {
    return arena.Make<CExpOr>(left->Clone(arena), right->Clone(arena));
}
CExpression* CExpNot::Clone(NodeArena& arena) const {
    return arena.Make<CExpNot>(operand->Clone(arena));
}
CExpression* CExpFunc::Clone(NodeArena& arena) const {
    return arena.Make<CExpFunc>(op, left->Clone(arena), right->Clone(arena));
}
CExpression* CExpConst::Clone(NodeArena& arena) const { return arena.Make<CExpConst>(value); }
CExpression* CExpVar::Clone(NodeArena& arena) const { return arena.Make<CExpVar>(variable); }

CExpression* CExpParameters::Clone(NodeArena& arena) const {
    std::vector<CExpression*> copies;
    copies.reserve(elements.size());
    for (const CExpression* e : elements) copies.push_back(e->Clone(arena));
    return arena.Make<CExpParameters>(std::move(copies));
}

CExpression* CExpAllDifferent::Clone(NodeArena& arena) const {
    return arena.Make<CExpAllDifferent>(static_cast<CExpParameters*>(list->Clone(arena)));
}

CExpression* CExpBoundName::Clone(NodeArena& arena) const {
    return arena.Make<CExpBoundName>(name, set);
}
CExpression* CExpBoundSubscript::Clone(NodeArena& arena) const {
    return arena.Make<CExpBoundSubscript>(family, index->Clone(arena));
}
