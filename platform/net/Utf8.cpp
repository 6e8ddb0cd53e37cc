#include "platform/net/Utf8.h"

#include <unicode/utf8.h>

namespace platform {

bool isValidUtf8(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    int32_t length = static_cast<int32_t>(bytes.size());
    if (static_cast<std::size_t>(length) != bytes.size())
        return false;
    int32_t offset = 0;
    while (offset < length) {
        UChar32 codePoint;
        U8_NEXT(data, offset, length, codePoint);
        if (codePoint < 0)
            return false;
    }
    return true;
}

} // namespace platform
