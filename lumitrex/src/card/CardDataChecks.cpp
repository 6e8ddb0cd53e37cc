#include "card/CardDataChecks.h"

#include "platform/foundation/Hex.h"

#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

namespace lumitrex {

std::size_t characterCount(std::string_view text)
{
    if (text.empty())
        return 0;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UText, decltype(&utext_close)> utext(
        utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status), &utext_close);
    std::unique_ptr<UBreakIterator, decltype(&ubrk_close)> breaks(
        ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status), &ubrk_close);
    if (U_FAILURE(status))
        return text.size();
    ubrk_setUText(breaks.get(), utext.get(), &status);
    if (U_FAILURE(status))
        return text.size();
    std::size_t count = 0;
    for (auto position = ubrk_next(breaks.get()); position != UBRK_DONE; position = ubrk_next(breaks.get()))
        ++count;
    return count;
}

bool isHexDigits(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return platform::hexDigitValue(c) >= 0; });
}

bool isDecimalDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace lumitrex
