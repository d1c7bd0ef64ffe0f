// The random puzzle generator of the property test (see random_puzzle.h).
// Values are kept as their literal spellings ("2", "\"red\""), so that the
// subset checks that make a subscript safe are plain set comparisons.
#include "random_puzzle.h"

#include <algorithm>
#include <random>
#include <set>
#include <vector>

namespace tovik_property {
namespace {

using Values = std::vector<std::string>;  // literal spellings, sorted as declared

// GBK spelling of the all-different keyword; the rest of a puzzle is ASCII.
constexpr const char* kAllDifferent = "\xBB\xA5\xB2\xBB\xCD\xAC";
// Instances a nest of quantifiers may expand to.
constexpr int kMaxInstances = 6;
// Exclusive-or operators a condition statement may hold.
constexpr int kMaxXors = 2;

class Rng {
public:
    explicit Rng(uint32_t seed) : m_gen(seed) {}
    int Below(size_t n) { return static_cast<int>(m_gen() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T>
    const T& Pick(const std::vector<T>& items) {
        return items[static_cast<size_t>(Below(items.size()))];
    }

private:
    std::mt19937 m_gen;
};

struct Set {
    std::string name;
    Values values;
};

// Something a reference can name: a simple variable, an array, or one family
// of an ordering (the inverse family is written with brackets).
struct Family {
    std::string name;
    Values domain;  // what the reference can hold
    Values keys;    // its subscripts; empty for a simple variable
    bool inverse = false;
};

struct BoundName {
    std::string name;
    const Set* set;
};

std::string List(const Values& values) {
    std::string text;
    for (const std::string& v : values) text += (text.empty() ? "" : ", ") + v;
    return text;
}

bool Within(const Values& values, const Values& keys) {
    return std::all_of(values.begin(), values.end(), [&](const std::string& v) {
        return std::find(keys.begin(), keys.end(), v) != keys.end();
    });
}

class Generator {
public:
    explicit Generator(uint32_t seed) : m_rng(seed) {}
    std::string Puzzle();

private:
    void DeclareSets();
    bool DeclareVariables();
    std::string Subscript(const Family& family, int depth);
    std::string Reference(int depth);
    std::string Primary(int depth);
    std::string Arithmetic(int depth);
    std::string Comparison(int depth);
    std::string Logical(int depth);
    std::string Expression(int depth);
    std::string Quantified(int depth);
    std::string OutputStatement();

    Rng m_rng;
    std::vector<Set> m_sets;
    std::vector<Family> m_families;
    std::vector<BoundName> m_bound;
    int m_instances = 1;  // copies the enclosing quantifiers will make
    int m_xors = 0;       // '^' operators in the current statement
    std::string m_text;
};

void Generator::DeclareSets() {
    // A: a few small numbers, negatives and zero included; B: the positions
    // 1..m, which orderings' inverse families and positions index by;
    // C: names, present in about half the puzzles.
    std::vector<int> pool = {-1, 0, 1, 2, 3};
    std::set<int> picked;
    const int sizeA = 2 + m_rng.Below(2);
    while (static_cast<int>(picked.size()) < sizeA) picked.insert(m_rng.Pick(pool));
    Set a{"A", {}};
    for (int v : picked) a.values.push_back(std::to_string(v));
    m_text += "A{} = {" + List(a.values) + "};\n";
    m_sets.push_back(a);

    const int sizeB = 2 + m_rng.Below(2);
    Set b{"B", {}};
    for (int v = 1; v <= sizeB; ++v) b.values.push_back(std::to_string(v));
    // Ranges and single entries are both accepted; duplicates collapse.
    m_text += m_rng.Chance(50) ? "B{} = {[1, " + std::to_string(sizeB) + "]};\n"
                               : "B{} = {" + std::to_string(sizeB) + ", [1, " +
                                     std::to_string(sizeB) + "], 1};\n";
    m_sets.push_back(b);

    if (m_rng.Chance(50)) {
        Values names = {"\"red\"", "\"grn\"", "\"blu\""};
        names.resize(static_cast<size_t>(2 + m_rng.Below(2)));
        m_text += "C{} = {" + List(names) + "};\n";
        m_sets.push_back({"C", names});
    }
}

// Declares a few variables; false when their assignments would be too many.
bool Generator::DeclareVariables() {
    long assignments = 1;
    auto count = [&](size_t domain, size_t elements) {
        for (size_t i = 0; i < elements; ++i) assignments *= static_cast<long>(domain);
    };
    const std::vector<std::string> simpleNames = {"a", "b", "c"};
    const std::vector<std::string> arrayNames = {"x", "y"};
    const int simples = 1 + m_rng.Below(3);
    const int arrays = m_rng.Below(3);
    const bool ordering = m_rng.Chance(45);

    // Each declaration statement names one set and lists a few variables.
    struct Pending {
        const Set* set;
        std::string item;
    };
    std::vector<Pending> items;
    for (int i = 0; i < simples; ++i) {
        const Set& s = m_rng.Pick(m_sets);
        items.push_back({&s, simpleNames[static_cast<size_t>(i)]});
        m_families.push_back({simpleNames[static_cast<size_t>(i)], s.values, {}, false});
        count(s.values.size(), 1);
    }
    for (int i = 0; i < arrays; ++i) {
        const Set& domain = m_rng.Pick(m_sets);
        const Set& index = m_rng.Pick(m_sets);
        const std::string& name = arrayNames[static_cast<size_t>(i)];
        items.push_back({&domain, name + "(" + index.name + ")"});
        m_families.push_back({name, domain.values, index.values, false});
        count(domain.values.size(), index.values.size());
    }
    if (ordering) {
        const Set& s = m_rng.Pick(m_sets);
        Values positions;
        for (size_t p = 1; p <= s.values.size(); ++p) positions.push_back(std::to_string(p));
        items.push_back({&s, "o[]"});
        m_families.push_back({"o", positions, s.values, false});
        m_families.push_back({"o", s.values, positions, true});
        count(s.values.size(), s.values.size());
    }
    if (assignments > kMaxAssignments) return false;

    // Shuffle, then write runs of items over the same set as one statement.
    for (size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[static_cast<size_t>(m_rng.Below(i))]);
    for (size_t i = 0; i < items.size();) {
        m_text += items[i].set->name + " " + items[i].item;
        size_t j = i + 1;
        for (; j < items.size() && items[j].set == items[i].set && m_rng.Chance(70); ++j)
            m_text += ", " + items[j].item;
        m_text += ";\n";
        i = j;
    }
    return true;
}

// A subscript every value of which selects an element of the family: a
// constant key, or a bound name, variable or nested reference whose values
// are all keys.
std::string Generator::Subscript(const Family& family, int depth) {
    std::vector<std::string> choices;
    for (const BoundName& b : m_bound)
        if (Within(b.set->values, family.keys)) choices.push_back(b.name);
    for (const Family& f : m_families)
        if (Within(f.domain, family.keys) && (f.keys.empty() || depth > 0))
            choices.push_back(f.name + (f.inverse ? "[]" : "()"));
    if (choices.empty() || m_rng.Chance(35)) return m_rng.Pick(family.keys);
    std::string choice = m_rng.Pick(choices);
    if (choice.back() != ')' && choice.back() != ']') return choice;
    // A variable: simple, or subscripted in turn.
    for (const Family& f : m_families) {
        if (f.name + (f.inverse ? "[]" : "()") != choice) continue;
        if (f.keys.empty()) return f.name;
        return f.name + (f.inverse ? "[" : "(") + Subscript(f, depth - 1) + (f.inverse ? "]" : ")");
    }
    return m_rng.Pick(family.keys);
}

std::string Generator::Reference(int depth) {
    const Family& f = m_rng.Pick(m_families);
    if (f.keys.empty()) return f.name;
    return f.name + (f.inverse ? "[" : "(") + Subscript(f, depth) + (f.inverse ? "]" : ")");
}

std::string Generator::Primary(int depth) {
    // Quantified bodies mostly mention their bound names.
    if (!m_bound.empty() && m_rng.Chance(25)) return m_rng.Pick(m_bound).name;
    const int roll = m_rng.Below(100);
    if (depth <= 0 && roll < 15) return std::to_string(m_rng.Below(5) - 1);
    if (depth <= 0 || roll < 40) return Reference(1);
    if (roll < 52) return std::to_string(m_rng.Below(6) - 1);
    if (roll < 58) {
        for (const Set& s : m_sets)
            if (s.name == "C") return m_rng.Pick(s.values);
        return std::to_string(m_rng.Below(4));
    }
    if (roll < 74) return "!" + Primary(depth - 1);
    if (roll < 82) return "(" + Logical(depth - 1) + ")";
    if (roll < 88) return "(" + Quantified(depth - 1) + ")";
    if (roll < 94) {
        // Inside a quantifier only a pair: the clause splitting of longer
        // lists multiplies across the instances.
        std::string list = std::string(kAllDifferent) + "(" + Expression(depth - 1);
        for (int n = m_instances > 1 ? 1 : 1 + m_rng.Below(3); n > 0; --n)
            list += ", " + Expression(depth - 1);
        return list + ")";
    }
    return Reference(2);
}

std::string Generator::Arithmetic(int depth) {
    if (depth <= 0 || m_rng.Chance(55)) return Primary(depth);
    static const std::vector<std::string> ops = {"+", "-", "*", "/", "%"};
    return Arithmetic(depth - 1) + " " + m_rng.Pick(ops) + " " + Arithmetic(depth - 1);
}

std::string Generator::Comparison(int depth) {
    // A bare arithmetic operand is a truth value too (non-zero holds).
    if (m_rng.Chance(12)) return Arithmetic(depth);
    static const std::vector<std::string> ops = {"=", "!=", "<", "<=", ">", ">="};
    return Arithmetic(depth - 1) + " " + m_rng.Pick(ops) + " " + Arithmetic(depth - 1);
}

std::string Generator::Logical(int depth) {
    if (depth <= 0 || m_rng.Chance(45)) return Comparison(depth);
    static const std::vector<std::string> ops = {"&", "|", "^", "->"};
    std::string op = m_rng.Pick(ops);
    // Each '^' doubles the clauses of what contains it: a few per statement.
    if (op == "^" && ++m_xors > kMaxXors) op = "&";
    return Logical(depth - 1) + " " + op + " " + Logical(depth - 1);
}

std::string Generator::Expression(int depth) {
    if (depth > 0 && m_rng.Chance(20)) return Quantified(depth);
    return Logical(depth);
}

// "# i in S, body" or "@ i in S, body" with a name no enclosing quantifier uses.
std::string Generator::Quantified(int depth) {
    static const std::vector<std::string> names = {"i", "j", "k"};
    std::string name;
    for (const std::string& n : names) {
        bool used = std::any_of(m_bound.begin(), m_bound.end(),
                                [&](const BoundName& b) { return b.name == n; });
        if (!used) {
            name = n;
            break;
        }
    }
    const Set& s = m_rng.Pick(m_sets);
    // An exists over n instances of a body with k clauses splits into k to the
    // n clauses: keep the nests small enough to compile in microseconds.
    const int instances = m_instances * static_cast<int>(s.values.size());
    if (name.empty() || instances > kMaxInstances) return Logical(depth);
    m_bound.push_back({name, &s});
    m_instances = instances;
    std::string text = std::string(m_rng.Chance(50) ? "# " : "@ ") + name + " in " + s.name + ", " +
                       Expression(depth - 1);
    m_instances /= static_cast<int>(s.values.size());
    m_bound.pop_back();
    return text;
}

// Output items with a text between any two variable items, so that different
// values never print as the same line. Sometimes texts only, or no output.
std::string Generator::OutputStatement() {
    const int roll = m_rng.Below(100);
    if (roll < 5) return "";
    if (roll < 10) return "output {\"solved\"}\n";
    std::string text = "output {";
    const int items = 1 + m_rng.Below(4);
    for (int i = 0; i < items; ++i) {
        text += (i ? ", \" " : "\"") + std::to_string(i) + "=\"";
        std::string reference = Reference(2);
        text += m_rng.Chance(20) ? ", (" + reference + ")"
                                 : (m_rng.Chance(50) ? ", " : " ") + reference;
    }
    return text + "}\n";
}

std::string Generator::Puzzle() {
    DeclareSets();
    if (!DeclareVariables()) return "";
    for (int n = 1 + m_rng.Below(4); n > 0; --n) {
        m_xors = 0;
        m_text += Expression(3) + ";\n";
    }
    m_text += OutputStatement();
    return m_text;
}

}  // namespace

std::string RandomPuzzle(uint32_t seed) {
    // Redraw the declarations until they are small enough to enumerate.
    for (uint32_t attempt = 0;; ++attempt) {
        std::string text = Generator(seed * 7919u + attempt).Puzzle();
        if (!text.empty()) return text;
    }
}

}  // namespace tovik_property
