// Backend answers, parsed from the bytes as the HTTP client parses them and
// decoded as each record type the app asks for.
#include "TOLVEN/signin/records/APIResponse.h"
#include "TOLVEN/signin/records/BWResponse.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto json = nlohmann::json::parse(data, data + size, nullptr, false);
    if (json.is_discarded())
        return 0;
    try {
        (void)tolven::APIResponse<tolven::UserItem>::decode(json);
    } catch (const tolven::DecodingError&) {
    }
    try {
        (void)tolven::APIResponse<std::string>::decode(json);
    } catch (const tolven::DecodingError&) {
    }
    try {
        (void)tolven::BWResponse<std::string>::decode(json);
    } catch (const tolven::DecodingError&) {
    }
    return 0;
}
