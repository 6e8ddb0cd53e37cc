#include "platform/net/HttpResponse.h"

#include <algorithm>

namespace platform {

std::optional<std::string> HttpResponse::mimeType() const
{
    auto contentType = headers.value("Content-Type");
    if (!contentType)
        return std::nullopt;
    std::string type = contentType->substr(0, contentType->find(';'));
    auto notSpace = [](unsigned char c) { return c != ' ' && c != '\t'; };
    type.erase(type.begin(), std::find_if(type.begin(), type.end(), notSpace));
    type.erase(std::find_if(type.rbegin(), type.rend(), notSpace).base(), type.end());
    if (type.empty())
        return std::nullopt;
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return type;
}

} // namespace platform
