// The program record: the name pool, lookups in the declaration tables, the
// element queries the search relies on, and the release of everything.
#include "model/program.h"

#include <algorithm>
#include <cstring>

namespace {

// The single byte an escape sequence stands for, or -1 when the backslash is kept.
int EscapedByte(char c) {
    switch (c) {
        case '"':
            return '"';
        case '\\':
            return '\\';
        case 'a':
            return 7;
        case 'b':
            return 8;
        case 'f':
            return 12;
        case 'n':
            return 10;
        case 'r':
            return 13;
        case 't':
            return 9;
        case 'v':
            return 11;
        default:
            return -1;
    }
}
}  // namespace

CProgram::~CProgram() { CleanUp(); }

const PooledText* CProgram::Intern(char* text) {
    // Escapes are replaced left to right, in place.
    char* out = text;
    for (const char* in = text; *in != '\0'; ++in) {
        int escaped = in[1] != '\0' && *in == '\\' ? EscapedByte(in[1]) : -1;
        if (escaped >= 0) {
            *out++ = static_cast<char>(escaped);
            ++in;
        } else {
            *out++ = *in;
        }
    }
    *out = '\0';
    // Then every leading and every trailing double quote goes.
    char* begin = text;
    while (*begin == '"') ++begin;
    char* end = begin + std::strlen(begin);
    while (end > begin && end[-1] == '"') --end;
    std::string key(begin, end);

    auto found = poolIndex.find(key);
    if (found != poolIndex.end()) return found->second;
    int32_t handle = kFirstHandle + static_cast<int32_t>(pool.size());
    PooledText& pooled = pool.emplace_back(PooledText{key, handle});
    byHandle.push_back(&pooled);
    poolIndex.emplace(std::move(key), &pooled);
    return &pooled;
}

void CProgram::ConvertTexts(Encoding to) {
    if (encoding == to) return;
    Converter converter(encoding, to);
    std::string converted;
    poolIndex.clear();
    for (PooledText& pooled : pool) {
        converter.Convert(pooled.text, converted);
        pooled.text = converted;
        poolIndex.emplace(pooled.text, &pooled);
    }
    encoding = to;
}

CVariable* CProgram::NewVariable(CVarDecl* decl, bool direct) {
    auto* variable = new CVariable();
    variable->family = decl;
    (direct ? decl->elements : decl->indirect).push_back(variable);
    variable->index = static_cast<uint32_t>(variableList.size());
    variableList.push_back(variable);
    return variable;
}

CVariable* CProgram::IndirectElement(CVarDecl* decl, CVariable* y) {
    CVariable* element = FindIndirect(decl, y);
    if (element != nullptr) return element;
    element = NewVariable(decl, false);
    element->subscript = y;
    y->dependents.push_back(element);
    return element;
}

CVariable* CProgram::FindElement(const CVarDecl* decl, int32_t key) {
    return decl->ElementWithKey(key);
}

// Domains are ascending and duplicate-free, so a binary search finds the one
// member a walk from the first would.
const int32_t* CVarDecl::SearchMember(int32_t value) const {
    auto member = std::lower_bound(domain.begin(), domain.end(), value);
    return member == domain.end() || *member != value ? nullptr : &*member;
}

// Keys are unique within a family, so an index gives the element a walk from
// the last to the first would find. Small families are walked.
CVariable* CVarDecl::ElementWithKey(int32_t key) const {
    constexpr size_t kIndexFrom = 16;
    if (elements.size() < kIndexFrom) {
        for (size_t i = elements.size(); i-- > 0;)
            if (elements[i]->key == key) return elements[i];
        return nullptr;
    }
    if (m_byKey.size() != elements.size()) {
        m_byKey.clear();
        for (CVariable* e : elements) m_byKey.emplace(e->key, e);
    }
    auto found = m_byKey.find(key);
    return found == m_byKey.end() ? nullptr : found->second;
}

CVariable* CProgram::FindIndirect(const CVarDecl* decl, const CVariable* y) {
    for (size_t i = decl->indirect.size(); i-- > 0;)
        if (decl->indirect[i]->subscript == y) return decl->indirect[i];
    return nullptr;
}

const ValueSet& CVarDecl::DomainValues() const {
    if (!m_domainValues) m_domainValues = std::make_unique<ValueSet>(ValueSet::FromSorted(domain));
    return *m_domainValues;
}

// Every value must be the key of an element. Keys are unique, so a set or an
// interval with more values than there are elements fails at once.
bool CProgram::AllSubscriptsValid(const CVarDecl* decl, const ValueSet& values) {
    const uint64_t elements = decl->elements.size();
    if (!values.IsLazy() && values.Count() > elements) return false;
    const bool invalid = values.ForEach([decl, elements](ValueSet::Interval i) {
        if (static_cast<uint64_t>(int64_t{i.hi} - i.lo) >= elements) return true;
        for (int64_t v = i.lo; v <= i.hi; ++v)
            if (FindElement(decl, static_cast<int32_t>(v)) == nullptr) return true;
        return false;
    });
    return !invalid;
}

// With a partner (an ordering) the first holder wins. Otherwise a holder is
// reported only when every element is assigned and exactly one holds the value.
CVariable* CProgram::HolderOf(const CVarDecl* decl, int32_t value) {
    if (decl->partner != nullptr) {
        for (CVariable* e : decl->elements)
            if (e->Assigned() && e->Value() == value) return e;
        return nullptr;
    }
    CVariable* holder = nullptr;
    for (CVariable* e : decl->elements) {
        if (!e->Assigned()) return nullptr;
        if (e->Value() != value) continue;
        if (holder != nullptr) return nullptr;
        holder = e;
    }
    return holder;
}

const std::vector<int32_t>* CProgram::FindSet(const PooledText* name) const {
    auto found = sets.find(name);
    return found == sets.end() ? nullptr : &found->second;
}

CVarDecl* CProgram::FindVariable(const PooledText* name) const {
    auto found = variables.find(name);
    return found == variables.end() ? nullptr : found->second.get();
}

CVarDecl* CProgram::FindInverse(const PooledText* name) const {
    auto found = inverses.find(name);
    return found == inverses.end() ? nullptr : found->second.get();
}

bool CProgram::IsStringSet(const PooledText* name) const {
    for (const PooledText* s : stringSets)
        if (s == name) return true;
    return false;
}

void CProgram::CleanUp() {
    for (CVariable* v : variableList) delete v;
    variableList.clear();
    nodes.Clear();
    output = COutput{};
    conditions.clear();
    boundNames.clear();
    inverses.clear();
    variables.clear();
    stringSets.clear();
    sets.clear();
    poolIndex.clear();
    byHandle.clear();
    pool.clear();
}
