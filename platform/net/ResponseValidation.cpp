#include "platform/net/ResponseValidation.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace platform {

namespace {

std::string normalizedMediaRange(std::string_view entry)
{
    entry = entry.substr(0, entry.find(';'));
    std::string range;
    for (char c : entry) {
        if (c != ' ' && c != '\t')
            range += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return range;
}

std::vector<std::string> acceptableTypes(const HttpRequest& request)
{
    std::vector<std::string> types;
    auto accept = request.headers.value("Accept");
    if (!accept)
        return { "*/*" };
    std::string_view rest = *accept;
    while (!rest.empty()) {
        auto comma = rest.find(',');
        if (auto range = normalizedMediaRange(rest.substr(0, comma)); !range.empty())
            types.push_back(range);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    if (types.empty())
        types.push_back("*/*");
    return types;
}

bool matches(const std::string& range, const std::string& mimeType)
{
    if (range == "*/*" || range == "*")
        return true;
    if (range.ends_with("/*"))
        return mimeType.starts_with(range.substr(0, range.size() - 1));
    return range == mimeType;
}

} // namespace

std::optional<HttpClientError> validateResponse(const StatusValidation& validation, const HttpRequest& request,
    const HttpResponse& response, bool bodyIsEmpty)
{
    if (response.statusCode < validation.first || response.statusCode > validation.last)
        return HttpClientError::unacceptableStatus(response.statusCode);
    if (!validation.checkContentType || bodyIsEmpty)
        return std::nullopt;
    auto types = acceptableTypes(request);
    bool acceptsAnything = std::find(types.begin(), types.end(), "*/*") != types.end();
    auto mimeType = response.mimeType();
    if (!mimeType) {
        if (acceptsAnything)
            return std::nullopt;
        return HttpClientError::unacceptableContentType("the response has no content type");
    }
    for (const auto& range : types) {
        if (matches(range, *mimeType))
            return std::nullopt;
    }
    return HttpClientError::unacceptableContentType("\"" + *mimeType + "\" is not accepted");
}

} // namespace platform
