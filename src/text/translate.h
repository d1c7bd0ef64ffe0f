// Tr: the interpreter's own sentences on standard error (diagnostics, hints,
// explanations, notes) in the user's language, through GNU gettext (domain
// "tovik"). The English text is the key; a sentence without a translation
// stays English. The documented lines on standard output never go through
// here.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// The translation of `english` (UTF-8), valid for the life of the process.
const char* Tr(const char* english);

// Marks a sentence stored for later (in a table) so that it is collected
// for translation; Tr translates it where it is used.
constexpr const char* TrLater(const char* english) { return english; }

// `pattern` with each "%s" replaced by the next of `values`, in order.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

// The language Tr translates into, as gettext reads the environment: the
// LANGUAGE list, unless LC_ALL, LC_MESSAGES or LANG (the first one set)
// names the C or POSIX locale; otherwise that locale's name. Empty for
// English. `get` reads a variable (null when unset).
std::string ChooseLanguage(const std::function<const char*(const char*)>& get);

// Called once at the start, before any thread: makes Tr translate into the
// language of the environment, with the catalogs under `localeDirectory`
// (LANG/LC_MESSAGES/tovik.mo). It needs no generated locale: a language
// named only by LANG (zh_CN.UTF-8 where only C.UTF-8 exists) is found too.
void StartTranslations(const std::string& localeDirectory);
