// Tr: the interpreter's own sentences on standard error (diagnostics, hints,
// explanations, notes) in the user's language. The English text is the key;
// a sentence without a translation stays English. The documented lines on
// standard output never go through here.
#pragma once

// The translation of `english` (UTF-8), valid for the life of the process.
const char* Tr(const char* english);
