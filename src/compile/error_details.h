// How a compile error is described to the author beside its documented line:
// a stable code, a sentence in the user's language and hints, and the near
// spellings ("did you mean ...?") that lead from a typo to the fix.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compile/diagnostics.h"
#include "text/encoding.h"
#include "text/messages.h"

// The description of an error that has nothing more specific to say.
Diagnostic ErrorDetail(Msg message, SourcePlace place);

// An error Diagnostic with one sentence and optional hints.
Diagnostic MakeError(SourcePlace place, const char* code, std::string message,
                     std::vector<std::string> hints = {});

// Edit distance (insertions, deletions, substitutions) between two UTF-8
// texts, counted in code points.
size_t EditDistance(std::string_view a, std::string_view b);

// The candidate nearest to `name` (UTF-8), when it is near enough to be what
// the author meant: one edit for names up to four characters, two beyond,
// and never as many as the name has characters. Ties go to the first in sorted order. Empty when
// none is.
std::string Nearest(std::string_view name, std::vector<std::string> candidates);

// The keyword `name` is a misspelling of (互不相同 for 互不同), or empty.
std::string NearestKeyword(std::string_view name);

// A Chinese input method types full-width punctuation and ideographic spaces,
// which the scanner reads as letters, so they become part of a name: the
// error about the first one inside the name token at `place`, placed on the
// character itself, or none.
std::optional<Diagnostic> FullWidthError(SourcePlace place, std::string_view name,
                                         Encoding encoding);

// "did you mean X?"
std::string DidYouMean(std::string_view candidate);
