// Binding with propagation: every assignment the search makes goes through
// Bind, which also assigns what the declarations force. Indirect elements
// x(y) are unified with the element that y selects, and the two families of
// an ordering stay inverse and all-different. No condition is evaluated.
#pragma once

#include <cstdint>
#include <vector>

#include "model/program.h"

// Points s at the member of its domain equal to v; a value outside the
// domain cannot be held. The assignment itself, without its consequences.
inline bool AssignMember(CVariable* s, int32_t v) {
    s->value = s->family->Member(v);
    return s->value != nullptr;
}

// Gives s the value v with every consequence the declarations impose, and
// appends each variable it assigns to `bound`, in order. False on
// inconsistency; Bind undoes nothing: the caller unassigns what `bound` lists.
bool Bind(CVariable* s, int32_t v, std::vector<CVariable*>& bound);
// Unifies the indirect element d with the element its (assigned) subscript selects.
bool BindDependent(CVariable* d, std::vector<CVariable*>& bound);
