#include "card/CardDataChecks.h"

#include "platform/foundation/Hex.h"

#include <algorithm>

namespace lumitrex {

bool isHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return platform::hexDigitValue(c) >= 0; });
}

bool isDecimalDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isAesKeyHex(std::string_view text)
{
    return text.size() == 32 && isHexDigits(text);
}

} // namespace lumitrex
