// Descriptions of compile errors and the search for near spellings.
#include "compile/error_details.h"

#include <algorithm>
#include <utility>

#include "text/characters.h"
#include "text/translate.h"

namespace {

struct Description {
    Msg message;
    const char* code;
    const char* english;
};

constexpr Description kDescriptions[] = {
    {Msg::SetDefined, "set-redefined", TrLater("this set is already declared")},
    {Msg::SetUndefined, "unknown-set", TrLater("this set is not declared")},
    {Msg::SetTooSmall, "set-too-small", TrLater("a set needs at least two different values")},
    {Msg::VariableDefined, "redefined", TrLater("this name is already declared")},
    {Msg::VariableUndefined, "unknown-name", TrLater("this name is not declared")},
    {Msg::Syntax, "missing-subscript", TrLater("an array or an ordering needs a subscript")},
    {Msg::OutOfRange, "subscript-range",
     TrLater("the subscript is not one of the array's subscripts")},
    {Msg::MayBeOutOfRange, "subscript-may-leave-range",
     TrLater("the subscript may take a value that is not one of the array's subscripts")},
    {Msg::AlwaysFalse, "always-false", TrLater("this condition can never hold")},
    {Msg::BadOutput, "bad-output", TrLater("only a variable or a text can be printed")},
    {Msg::NumberRange, "number-range", TrLater("the number does not fit in 32 bits")},
};

// The Chinese and the ASCII spelling of the keywords a name may be meant as.
constexpr const char* kKeywords[] = {"互不同", "输出", "任意", "存在", "属于", "output"};

}  // namespace

Diagnostic MakeError(SourcePlace place, const char* code, std::string message,
                     std::vector<std::string> hints) {
    Diagnostic d;
    d.place = place;
    d.code = code;
    d.message = std::move(message);
    d.hints = std::move(hints);
    return d;
}

Diagnostic ErrorDetail(Msg message, SourcePlace place) {
    for (const Description& d : kDescriptions)
        if (d.message == message) return MakeError(place, d.code, Tr(d.english));
    return MakeError(place, "error", Tr("compile error"));
}

size_t EditDistance(std::string_view a, std::string_view b) {
    const std::vector<char32_t> x = CodePoints(a);
    const std::vector<char32_t> y = CodePoints(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] != y[j - 1])});
            diagonal = above;
        }
    }
    return row[y.size()];
}

std::string Nearest(std::string_view name, std::vector<std::string> candidates) {
    std::sort(candidates.begin(), candidates.end());
    const size_t length = CodePoints(name).size();
    const size_t limit = length > 4 ? 2 : 1;
    std::string best;
    size_t bestDistance = limit + 1;
    for (const std::string& candidate : candidates) {
        const size_t distance = EditDistance(name, candidate);
        if (distance == 0 || distance >= length) continue;
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string NearestKeyword(std::string_view name) {
    return Nearest(name, std::vector<std::string>(std::begin(kKeywords), std::end(kKeywords)));
}

std::string DidYouMean(std::string_view candidate) {
    return Fill(Tr("did you mean %s?"), {candidate});
}

std::optional<Diagnostic> FullWidthError(SourcePlace place, std::string_view name,
                                         Encoding encoding) {
    const std::optional<FullWidthMark> mark = FindFullWidth(name, encoding);
    if (!mark) return std::nullopt;
    const int column = place.column + mark->charactersBefore;
    const SourcePlace at{place.line, column, column + 1};
    if (mark->ascii == ' ')
        return MakeError(at, "full-width",
                         Tr("an ideographic space (U+3000) is not a blank of the language"),
                         {Tr("type an ASCII space instead")});
    return MakeError(at, "full-width",
                     Fill(Tr("full-width '%s' is not part of the language"), {mark->character}),
                     {Fill(Tr("type the ASCII '%s' instead"), {std::string(1, mark->ascii)})});
}
