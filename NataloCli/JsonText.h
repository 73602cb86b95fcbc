#pragma once
// JSON string literals for the command line's --json output.
#include <string>
#include <string_view>

// `text` (UTF-8) as a quoted JSON string: quotes, backslashes and control
// characters escaped; other characters kept as they are.
std::string JsonString(std::string_view text);
// The same written at the end of `out`.
void AppendJsonString(std::string& out, std::string_view text);
// The most bytes JsonString(text) takes: its quotes, and six for each byte.
inline std::size_t JsonStringBound(std::string_view text) { return 2 + 6 * text.size(); }
// The same written at `at`, which has room for JsonStringBound(text) bytes;
// returns the end of what was written.
char* PutJsonString(char* at, std::string_view text);
