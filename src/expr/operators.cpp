// The eleven operator functions of two-operand nodes, and their selection by
// operator text. Arithmetic wraps modulo 2^32; nothing traps.
#include <climits>

#include "expr/expression.h"

namespace {

int32_t Wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

int32_t Sum(int32_t a, int32_t b) { return Wrap(static_cast<int64_t>(a) + b); }
int32_t Difference(int32_t a, int32_t b) { return Wrap(static_cast<int64_t>(a) - b); }
int32_t Product(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
// Division and remainder by zero give 0; INT_MIN / -1 wraps to INT_MIN.
int32_t Quotient(int32_t a, int32_t b) {
    if (b == 0) return 0;
    if (b == -1) return Wrap(-static_cast<int64_t>(a));
    return a / b;
}
int32_t Remainder(int32_t a, int32_t b) {
    if (b == 0 || b == -1) return 0;
    return a % b;
}
int32_t Equal(int32_t a, int32_t b) { return a == b; }
int32_t NotEqual(int32_t a, int32_t b) { return a != b; }
int32_t Less(int32_t a, int32_t b) { return a < b; }
int32_t LessEqual(int32_t a, int32_t b) { return a <= b; }
int32_t Greater(int32_t a, int32_t b) { return a > b; }
int32_t GreaterEqual(int32_t a, int32_t b) { return a >= b; }

// Only the first character decides, and for '<' and '>' whether a second follows.
OperatorFunction SelectOperator(const char* text) {
    if (text == nullptr) return nullptr;
    switch (text[0]) {
        case '+': return Sum;
        case '-': return Difference;
        case '*': return Product;
        case '/': return Quotient;
        case '%': return Remainder;
        case '=': return Equal;
        case '!': return NotEqual;
        case '<': return text[1] != '\0' ? LessEqual : Less;
        case '>': return text[1] != '\0' ? GreaterEqual : Greater;
        default: return nullptr;
    }
}

}  // namespace

CExpFunc::CExpFunc(const char* text, CExpression* left, CExpression* right)
    : left(left), right(right), function(SelectOperator(text)) {}
