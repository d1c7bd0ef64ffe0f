// The condition order: positions, exchanges and the bitsets of high-ranking
// and touched positions.
#include "search/condition_order.h"

#include <utility>

void ConditionOrder::Assign(std::vector<CCondition*> conditions) {
    m_conditions = std::move(conditions);
    m_high.assign((m_conditions.size() + 63) / 64, 0);
    m_touched.assign(m_high.size(), 0);
    for (size_t i = 0; i < m_conditions.size(); ++i) {
        m_conditions[i]->position = static_cast<uint32_t>(i);
        Set(m_high.data(), i, High(m_conditions[i]));
    }
}
