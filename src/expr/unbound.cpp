// Which variables of a tree are still unassigned: CollectUnbound writes every
// occurrence, UnboundCollector reduces them to distinct ones.
#include "expr/unbound.h"

#include "expr/expression.h"

void CExpAnd::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpOr::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpNot::CollectUnbound(std::vector<CVariable*>& out) const { operand->CollectUnbound(out); }

void CExpFunc::CollectUnbound(std::vector<CVariable*>& out) const {
    left->CollectUnbound(out);
    right->CollectUnbound(out);
}

void CExpVar::CollectUnbound(std::vector<CVariable*>& out) const {
    if (!variable->Assigned()) out.push_back(variable);
}

UnboundCollector::UnboundCollector(const std::vector<CVariable*>& variables)
    : m_variables(variables) {
    for (CVariable* v : m_variables) v->mark = 0;
}

// Collects into the scratch buffer and keeps the first occurrence of each
// variable: a variable already marked with this call's stamp was seen.
void UnboundCollector::CollectDistinct(const CExpression* tree) {
    m_scratch.clear();
    tree->CollectUnbound(m_scratch);
    if (++m_stamp == 0) {
        // The stamp wrapped: clear every mark once so old marks cannot match.
        for (CVariable* v : m_variables) v->mark = 0;
        m_stamp = 1;
    }
    size_t kept = 0;
    for (CVariable* v : m_scratch) {
        if (v->mark == m_stamp) continue;
        v->mark = m_stamp;
        m_scratch[kept++] = v;
    }
    m_scratch.resize(kept);
}

void UnboundCollector::Collect(const CExpression* tree, std::vector<CVariable*>& out) {
    CollectDistinct(tree);
    out.assign(m_scratch.begin(), m_scratch.end());
}

int UnboundCollector::Count(const CExpression* tree) {
    CollectDistinct(tree);
    return static_cast<int>(m_scratch.size());
}
