#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The keys of one string table and their translations, in UTF-8.
using StringsTable = std::map<std::string, std::string>;

// Decodes a ".strings" file: a property list (XML or binary) of texts, or the
// classic text form of `"key" = "value";` entries with C comments and escapes,
// in UTF-8 or in UTF-16 with a byte-order mark. Nothing, and `error` set to
// what is wrong and where, when the bytes are neither or hold a NUL character.
std::optional<StringsTable> parseStringsTable(std::string_view bytes, std::string& error);

} // namespace platform
