// The descriptions of errors about names and subscripts: which name, and the
// near spelling the author probably meant.
#include <string>
#include <vector>

#include "compile/compiler.h"
#include "compile/error_details.h"
#include "text/translate.h"

std::vector<std::string> Compiler::NamesOf(const DeclTable& table) const {
    std::vector<std::string> names;
    for (const auto& [name, decl] : table)
        if (decl && !decl->elements.empty()) names.push_back(Utf8(name));
    return names;
}

// A keyword misspelt comes first (互不相同 for 互不同), then a set written
// where a variable goes (a set declared as N = {...}), then the nearest
// variable or bound name.
Diagnostic Compiler::UnknownName(const PooledText* name) const {
    const std::string text = Utf8(name);
    const SourcePlace place = PlaceOf(name);
    const std::vector<int32_t>* set = program.FindSet(name);
    const bool isSet = set != nullptr && !set->empty();
    Diagnostic d = MakeError(
        place, "unknown-name",
        Fill(isSet ? Tr("'%s' is a set, not a variable") : Tr("'%s' is not declared"), {text}));
    const size_t brace = rest.find_first_not_of(" \t\r\n");
    if (tokenCode == '=' && previousToken.line == place.line &&
        previousToken.column == place.column && brace != std::string_view::npos &&
        rest[brace] == '{') {
        d.code = "set-without-braces";
        d.hints.push_back(
            Fill(Tr("a set is declared with {} after its name: %s{} = {...};"), {text}));
        return d;
    }
    if (const std::string keyword = NearestKeyword(text); !keyword.empty()) {
        d.code = "unknown-keyword";
        d.hints.push_back(DidYouMean(keyword));
        return d;
    }
    std::vector<std::string> names = NamesOf(program.variables);
    for (const auto& [bound, setName] : program.boundNames) names.push_back(Utf8(bound));
    if (const std::string near = Nearest(text, names); !near.empty())
        d.hints.push_back(DidYouMean(near));
    return d;
}

Diagnostic Compiler::UnknownSet(const PooledText* setName) const {
    const std::string text = Utf8(setName);
    Diagnostic d =
        MakeError(PlaceOf(setName), "unknown-set", Fill(Tr("set '%s' is not declared"), {text}));
    std::vector<std::string> sets;
    for (const auto& [name, values] : program.sets)
        if (!values.empty()) sets.push_back(Utf8(name));
    if (const std::string near = Nearest(text, sets); !near.empty())
        d.hints.push_back(DidYouMean(near));
    else
        d.hints.push_back(Fill(Tr("declare it first, e.g. %s{} = {1, 2, 3};"), {text}));
    return d;
}

// The keys of a family are all numbers or all strings (the handles of pooled
// texts); so are the values of a subscript whose lowest and highest value
// are of one kind.
Diagnostic Compiler::SubscriptError(Msg message, const CVarDecl* decl, const PooledText* name,
                                    int32_t low, int32_t high) const {
    const SourcePlace place = PlaceOf(name);
    Diagnostic d = ErrorDetail(message, place);
    if (decl->elements.empty()) return d;
    const bool stringKeys = program.TextOf(decl->elements[0]->key) != nullptr;
    const bool lowString = program.TextOf(low) != nullptr;
    const bool highString = program.TextOf(high) != nullptr;
    if (lowString != highString || lowString == stringKeys) return d;
    d.code = "subscript-kind";
    d.message = Fill(stringKeys ? Tr("'%s' is indexed by strings, not by numbers")
                                : Tr("'%s' is indexed by numbers, not by strings"),
                     {Utf8(name)});
    if (decl->indexSet != nullptr)
        d.hints.push_back(
            Fill(Tr("its subscripts are the members of the set %s"), {Utf8(decl->indexSet)}));
    return d;
}
