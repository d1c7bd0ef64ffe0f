// Texts quoted for the machine-readable output formats: JSON strings and
// CSV fields (RFC 4180).
#pragma once

#include <string>
#include <string_view>

// Appends `text` (UTF-8) as a JSON string, quotes included. Control
// characters are escaped; a byte that is not UTF-8 becomes U+FFFD, so the
// result is always valid UTF-8.
void AppendJsonString(std::string& out, std::string_view text);

// Appends `text` as one CSV field: as it is, or in double quotes (with each
// double quote doubled) when it holds a comma, a double quote, a line break,
// or spaces at either end.
void AppendCsvField(std::string& out, std::string_view text);
