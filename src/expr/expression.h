// The expression node kinds of conditions, quantified bodies and subscripts,
// their eight virtual operations, and the registry that owns every node.
// Nodes never own their children: subtrees are shared freely and released in
// bulk through the registry.
#pragma once

#include <cstdint>
#include <vector>

#include <memory>

#include "model/program.h"
#include "model/value_set.h"

struct CAlternative;

using OperatorFunction = int32_t (*)(int32_t, int32_t);

// True when no element is non-zero / no element is zero (both true when empty).
bool AllFalse(const ValueList& values);
bool AllTrue(const ValueList& values);

// The operator function that an operator's text selects (as a CExpFunc does),
// or null. Lets other subsystems tell the operators of a tree apart.
OperatorFunction SelectOperator(const char* text);

// Every value `function` gives over the pairs of l x r: exactly the set the
// full cross product gives, computed from intervals where that product
// would be large.
ValueSet OperatorValues(OperatorFunction function, const ValueSet& l, const ValueSet& r);

class CExpression {
public:
    CExpression();
    virtual ~CExpression() = default;
    CExpression(const CExpression&) = delete;
    CExpression& operator=(const CExpression&) = delete;

    // Every value the node can take while each variable ranges over its whole
    // declared domain, as a list (ascending).
    ValueList GetValues() const { return Values().ToList(); }
    // The same set, remembered until the node replaces a child.
    const ValueSet& Values() const;
    virtual ValueSet GetValueSet() const = 0;
    virtual CExpression* Clone() const = 0;
    virtual int32_t Evaluate() const = 0;
    virtual CExpression* Substitute(const PooledText* name, int32_t value);
    virtual CExpression* Simplify();
    virtual void SplitAnd(std::vector<CExpression*>& list);
    virtual void SplitOr(std::vector<CExpression*>& list);
    // Writes each occurrence of an unassigned variable, left before right.
    virtual void CollectUnbound(std::vector<CVariable*>& out) const;

    CAlternative* owner = nullptr;  // set by the search on the copies it keeps

protected:
    // Composite nodes call this whenever they replace a child.
    void Invalidate() { m_values.reset(); }

private:
    mutable std::unique_ptr<ValueSet> m_values;
};

class CExpAnd final : public CExpression {
public:
    CExpAnd(CExpression* left, CExpression* right) : left(left), right(right) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CExpression* Simplify() override;
    void SplitAnd(std::vector<CExpression*>& list) override;
    void SplitOr(std::vector<CExpression*>& list) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
};

class CExpOr final : public CExpression {
public:
    CExpOr(CExpression* left, CExpression* right) : left(left), right(right) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CExpression* Simplify() override;
    void SplitAnd(std::vector<CExpression*>& list) override;
    void SplitOr(std::vector<CExpression*>& list) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
};

class CExpNot final : public CExpression {
public:
    explicit CExpNot(CExpression* operand) : operand(operand) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CExpression* Simplify() override;
    void SplitAnd(std::vector<CExpression*>& list) override;
    void SplitOr(std::vector<CExpression*>& list) override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* operand;
};

class CExpFunc final : public CExpression {
public:
    // `text` selects the operator function; null or unknown leaves it null.
    CExpFunc(const char* text, CExpression* left, CExpression* right);
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CExpression* Simplify() override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CExpression* left;
    CExpression* right;
    OperatorFunction function;
};

class CExpConst final : public CExpression {
public:
    explicit CExpConst(int32_t value) : value(value) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    int32_t value;
};

class CExpVar final : public CExpression {
public:
    explicit CExpVar(CVariable* variable) : variable(variable) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    void CollectUnbound(std::vector<CVariable*>& out) const override;
    CVariable* variable;
};

class CExpParameters final : public CExpression {
public:
    CExpParameters(CExpression* first, CExpression* second) : elements{first, second} {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    std::vector<CExpression*> elements;

private:
    CExpParameters() = default;
};

// Appends one more element to an argument list and returns the same list.
CExpParameters* Append(CExpParameters* list, CExpression* element);

class CExpExc final : public CExpression {
public:
    explicit CExpExc(CExpParameters* list) : list(list) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CExpression* Simplify() override;
    CExpParameters* list;
};

class CExpQuantifier final : public CExpression {
public:
    explicit CExpQuantifier(const PooledText* name) : name(name) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    const PooledText* name;
};

class CExpQuantifierEx final : public CExpression {
public:
    CExpQuantifierEx(CVarDecl* family, CExpression* index) : family(family), index(index) {}
    ValueSet GetValueSet() const override;
    CExpression* Clone() const override;
    int32_t Evaluate() const override;
    CExpression* Substitute(const PooledText* name, int32_t value) override;
    CVarDecl* family;
    CExpression* index;
};

CExpression* MakeImplication(CExpression* a, CExpression* b);
CExpression* MakeExclusiveOr(CExpression* a, CExpression* b);

// The distinct unassigned variables of a tree. The order carries no meaning.
void GetUnboundVariables(const CExpression* tree, std::vector<CVariable*>& out);
// How many distinct unassigned variables a tree mentions now.
int CountUnbound(const CExpression* tree);

// The registry owns every node: the base constructor appends each new node.
namespace NodeRegistry {
std::vector<CExpression*>& Nodes();
// Hands the current contents over and leaves the registry empty.
std::vector<CExpression*> TakeAll();
// Destroys nodes newest first.
void DestroyNewestFirst(std::vector<CExpression*>& nodes);
// Destroys every registered node, oldest first, and empties the registry.
void Clear();
}  // namespace NodeRegistry
