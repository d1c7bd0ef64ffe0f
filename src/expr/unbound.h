// UnboundCollector: the distinct unassigned variables of a tree. The search
// asks at every step, so the collector reuses one scratch buffer and marks
// variables with a per-call stamp instead of sorting them; the order of the
// result carries no meaning.
#pragma once

#include <cstdint>
#include <vector>

class CExpression;
struct CVariable;

class UnboundCollector {
public:
    // `variables` are every variable the trees may mention (a program's
    // variable list); their marks are cleared, so that a stamp left by an
    // earlier collector cannot match one of this collector's.
    explicit UnboundCollector(const std::vector<CVariable*>& variables);

    // The distinct unassigned variables of `tree`, into `out`.
    void Collect(const CExpression* tree, std::vector<CVariable*>& out);
    // How many distinct unassigned variables `tree` mentions now.
    int Count(const CExpression* tree);

private:
    void CollectDistinct(const CExpression* tree);

    const std::vector<CVariable*>& m_variables;
    std::vector<CVariable*> m_scratch;
    uint32_t m_stamp = 0;
};
