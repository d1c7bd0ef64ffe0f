// The expression node kinds of conditions, quantified bodies and subscripts,
// and their eight virtual operations. Nodes never own their children:
// subtrees are shared freely, and every node belongs to the arena of the
// program it was made for (model/node_arena.h). Operations that make nodes
// take that arena; substitution, which may also make variables, the program.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "expr/operators.h"
#include "model/node_arena.h"
#include "model/program.h"
#include "model/value_set.h"

struct CAlternative;

// What a node is, for the passes that treat some kinds apart: comparing the
// tag costs less than a dynamic_cast, which walks the type's description,
// and the compile phase asks on every node of every condition.
enum class NodeKind : uint8_t {
    And,
    Or,
    Not,
    Func,
    Const,
    Var,
    Parameters,
    AllDifferent,
    BoundName,
    BoundSubscript,
};

class CExpression : public ArenaNode {
public:
    explicit CExpression(NodeKind kind) : kind(kind) {}

    // Every value the node can take while each variable ranges over its whole
    // declared domain; remembered until the node replaces a child.
    const ValueSet& Values() const;
    virtual ValueSet GetValueSet() const = 0;
    // A deep copy; shared subtrees are copied once per path to them.
    virtual CExpression* Clone(NodeArena& arena) const = 0;
    // The value under the current assignment; every variable must be assigned.
    virtual int32_t Evaluate() const = 0;
    // Replaces references to the bound name by the value; returns the node
    // that takes this one's place.
    virtual CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program);
    // Folds what the declared domains decide; returns the node to use instead.
    virtual CExpression* Simplify(NodeArena& arena);
    // Appends the node's clauses / alternatives (builds over shared operands).
    virtual void SplitAnd(std::vector<CExpression*>& list, NodeArena& arena);
    virtual void SplitOr(std::vector<CExpression*>& list, NodeArena& arena);
    // Writes each occurrence of an unassigned variable, left before right.
    virtual void CollectUnbound(std::vector<CVariable*>& out) const;

    CAlternative* owner = nullptr;  // set by the search on the copies it keeps
    const NodeKind kind;

protected:
    // Composite nodes call this whenever they replace a child.
    void Invalidate() { m_values.reset(); }

private:
    mutable std::unique_ptr<ValueSet> m_values;
};

// The node as a T when it is one, else null (as dynamic_cast would give).
template <class T>
const T* As(const CExpression* e) {
    return e != nullptr && e->kind == T::kKind ? static_cast<const T*>(e) : nullptr;
}
template <class T>
T* As(CExpression* e) {
    return e != nullptr && e->kind == T::kKind ? static_cast<T*>(e) : nullptr;
}

class CExpAnd final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::And;
    CExpAnd(CExpression* left, CExpression* right) : CExpression(kKind), left(left), right(right) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CExpression* Simplify(NodeArena& arena) override;
    void SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) override;
    void SplitOr(std::vector<CExpression*>& list, NodeArena& arena) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
};

class CExpOr final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Or;
    CExpOr(CExpression* left, CExpression* right) : CExpression(kKind), left(left), right(right) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CExpression* Simplify(NodeArena& arena) override;
    void SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) override;
    void SplitOr(std::vector<CExpression*>& list, NodeArena& arena) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
};

class CExpNot final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Not;
    explicit CExpNot(CExpression* operand) : CExpression(kKind), operand(operand) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CExpression* Simplify(NodeArena& arena) override;
    void SplitAnd(std::vector<CExpression*>& list, NodeArena& arena) override;
    void SplitOr(std::vector<CExpression*>& list, NodeArena& arena) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* operand;
};

// A two-operand arithmetic operation or comparison.
class CExpFunc final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Func;
    CExpFunc(Operator op, CExpression* left, CExpression* right)
        : CExpression(kKind), left(left), right(right), op(op), function(FunctionOf(op)) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CExpression* Simplify(NodeArena& arena) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
    Operator op;
    OperatorFunction function;  // evaluates op
};

class CExpConst final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Const;
    explicit CExpConst(int32_t value) : CExpression(kKind), value(value) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    int32_t value;
};

class CExpVar final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Var;
    explicit CExpVar(CVariable* variable) : CExpression(kKind), variable(variable) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CVariable* variable;
};

// The argument list of the all-different construct: two or more operands.
class CExpParameters final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::Parameters;
    CExpParameters(CExpression* first, CExpression* second)
        : CExpression(kKind), elements{first, second} {}
    explicit CExpParameters(std::vector<CExpression*> elements)
        : CExpression(kKind), elements(std::move(elements)) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    std::vector<CExpression*> elements;
};

// Appends one more operand to an argument list and returns the same list.
CExpParameters* Append(CExpParameters* list, CExpression* element);

// All-different: the operands must take pairwise different values.
class CExpAllDifferent final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::AllDifferent;
    explicit CExpAllDifferent(CExpParameters* list) : CExpression(kKind), list(list) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CExpression* Simplify(NodeArena& arena) override;
    CExpParameters* list;
};

// A name bound by an enclosing quantifier, inside the quantified body; its
// values are those of the set it ranges over. Expansion substitutes it away.
class CExpBoundName final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::BoundName;
    CExpBoundName(const PooledText* name, const std::vector<int32_t>* set)
        : CExpression(kKind), name(name), set(set) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    const PooledText* name;
    const std::vector<int32_t>* set;
};

// A subscripted reference whose subscript still depends on a bound name (the
// name itself, or a nested subscripted reference ending in it); expansion
// resolves it into a reference to a direct or indirect element.
class CExpBoundSubscript final : public CExpression {
public:
    static constexpr NodeKind kKind = NodeKind::BoundSubscript;
    CExpBoundSubscript(CVarDecl* family, CExpression* index)
        : CExpression(kKind), family(family), index(index) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone(NodeArena& arena) const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value, CProgram& program) override;
    CVarDecl* family;
    CExpression* index;
};

// a -> b as !a | b.
CExpression* MakeImplication(NodeArena& arena, CExpression* a, CExpression* b);
// a ^ b as (a | b) & (!a | !b): each operand hangs under two parents.
CExpression* MakeExclusiveOr(NodeArena& arena, CExpression* a, CExpression* b);
