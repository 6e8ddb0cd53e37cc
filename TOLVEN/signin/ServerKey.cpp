#include "TOLVEN/signin/ServerKey.h"

namespace tolven {

std::vector<std::string> serverKeyParts(std::string_view key)
{
    std::vector<std::string> parts;
    while (!key.empty()) {
        auto end = key.find(' ');
        if (end != 0)
            parts.emplace_back(key.substr(0, end));
        if (end == std::string_view::npos)
            break;
        key.remove_prefix(end + 1);
    }
    return parts;
}

} // namespace tolven
