// String tables are read from the bundle, in the classic text form or as a
// property list, and may be damaged. A table that is read holds UTF-8 texts
// without NUL characters only; anything else is an error with a reason.
#include "platform/foundation/StringsTable.h"
#include "platform/net/Utf8.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool isCleanText(std::string_view text)
{
    return text.find('\0') == std::string_view::npos && platform::isValidUtf8(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    auto table = platform::parseStringsTable({ reinterpret_cast<const char*>(data), size }, error);
    if (!table) {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const auto& [key, translation] : *table) {
        if (!isCleanText(key) || !isCleanText(translation))
            std::abort();
    }
    return 0;
}
