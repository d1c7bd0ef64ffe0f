// Binding with propagation: every assignment the search makes goes through
// Bind, which also assigns what the declarations force. Indirect elements
// x(y) are unified with the element that y selects, and the two families of
// an ordering stay inverse and all-different. No condition is evaluated.
#pragma once

#include <cstdint>
#include <vector>

struct CVariable;

// Gives s the value v with every consequence the declarations impose, and
// appends each variable it assigns to `bound`, in order. False on
// inconsistency; Bind undoes nothing: the caller unassigns what `bound` lists.
bool Bind(CVariable* s, int32_t v, std::vector<CVariable*>& bound);
// Unifies the indirect element d with the element its (assigned) subscript selects.
bool BindDependent(CVariable* d, std::vector<CVariable*>& bound);
