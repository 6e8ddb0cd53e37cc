// The card number, site number and mobile key given to setData come from the
// card-issuing server. The input holds the three fields separated by NUL; a
// field that is the single byte 0x01 is absent.
#include "card/CardData.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::optional<std::string> fields[3];
    for (auto& field : fields) {
        auto end = rest.find('\0');
        auto text = rest.substr(0, end);
        if (text != "\x01")
            field = std::string(text);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    lumitrex::CardData card;
    try {
        card.setData(fields[0], fields[1], fields[2]);
    } catch (const std::system_error&) {
        // DataError or KeyError: the answer the app reports.
    }
    return 0;
}
