// Bind and BindDependent: an assignment and everything the declarations
// force with it, as a loop over (variable, value) pairs that ends at an
// assigned variable or after a family without a partner.
#include "search/bind.h"

bool Bind(CVariable* s, int32_t v, std::vector<CVariable*>& bound) {
    for (;;) {
        if (s->Assigned()) return s->Value() == v;
        CVarDecl* family = s->family;
        // In an ordering a value held by another element is taken. An indirect
        // element is exempt: it reaches the holder through its subscript below.
        if (family->partner != nullptr && s->subscript == nullptr &&
            CProgram::HolderOf(family, v) != nullptr)
            return false;
        if (!AssignMember(s, v)) return false;
        bound.push_back(s);
        CVariable* assigned = s;
        for (CVariable* d : s->dependents)
            if (!BindDependent(d, bound)) return false;

        if (CVariable* y = s->subscript) {
            if (y->Assigned()) {
                s = CProgram::FindElement(family, y->Value());
                continue;
            }
            if (CVariable* holder = CProgram::HolderOf(family, v)) {
                s = y;
                v = holder->key;
                continue;
            }
            // Unified later, when y or the element it selects is assigned.
            return true;
        }

        for (CVariable* r : family->indirect) {
            if (r->subscript->Assigned() && r->subscript->Value() == s->key)
                if (!Bind(r, v, bound)) return false;
        }
        if (family->partner == nullptr) return true;
        // Element k of one family holds v: element v of the partner holds k.
        s = CProgram::FindElement(family->partner, v);
        v = assigned->key;
    }
}

bool BindDependent(CVariable* d, std::vector<CVariable*>& bound) {
    CVariable* e = CProgram::FindElement(d->family, d->subscript->Value());
    if (d->Assigned()) return Bind(e, d->Value(), bound);
    if (!e->Assigned()) return true;
    return Bind(d, e->Value(), bound);
}
