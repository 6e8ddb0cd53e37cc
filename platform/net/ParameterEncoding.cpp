#include "platform/net/ParameterEncoding.h"

#include "platform/foundation/Hex.h"

#include "platform/net/Utf8.h"

namespace platform {

namespace {

bool isUnescaped(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_'
        || c == '~' || c == '/';
}

bool usesQuery(const HttpMethod& method, UrlEncoding encoding)
{
    switch (encoding) {
    case UrlEncoding::queryString:
        return true;
    case UrlEncoding::httpBody:
        return false;
    case UrlEncoding::methodDependent:
        break;
    }
    return method == HttpMethod::get() || method == HttpMethod::head() || method == HttpMethod::delete_();
}

void appendQuery(std::string& url, const std::string& query)
{
    if (query.empty())
        return;
    auto fragment = url.find('#');
    std::string tail = fragment == std::string::npos ? std::string() : url.substr(fragment);
    std::string head = url.substr(0, fragment);
    auto mark = head.find('?');
    if (mark == std::string::npos)
        head += '?';
    else if (mark + 1 != head.size() && head.back() != '&')
        head += '&';
    url = head + query + tail;
}

void placeEncoded(HttpRequest& request, const std::string& encoded, bool inQuery)
{
    if (inQuery) {
        appendQuery(request.url, encoded);
        return;
    }
    if (!request.headers.contains("Content-Type"))
        request.headers.update("Content-Type", "application/x-www-form-urlencoded; charset=utf-8");
    request.body = encoded;
}

void appendFormPairs(std::vector<std::pair<std::string, std::string>>& pairs, const std::string& key, const nlohmann::json& value)
{
    switch (value.type()) {
    case nlohmann::json::value_t::null:
        return;
    case nlohmann::json::value_t::object:
        for (const auto& [name, nested] : value.items())
            appendFormPairs(pairs, key + "[" + name + "]", nested);
        return;
    case nlohmann::json::value_t::array:
        for (const auto& element : value)
            appendFormPairs(pairs, key + "[]", element);
        return;
    case nlohmann::json::value_t::string:
        pairs.emplace_back(key, value.get<std::string>());
        return;
    default:
        pairs.emplace_back(key, value.dump());
        return;
    }
}

} // namespace

std::string percentEscape(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (unsigned char c : text) {
        if (isUnescaped(c)) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 0x0F];
        }
    }
    return escaped;
}

std::string formDecode(std::string_view text)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '+') {
            decoded += ' ';
        } else if (text[at] == '%' && at + 2 < text.size() && hexDigitValue(text[at + 1]) >= 0 && hexDigitValue(text[at + 2]) >= 0) {
            decoded += static_cast<char>(hexDigitValue(text[at + 1]) * 16 + hexDigitValue(text[at + 2]));
            at += 2;
        } else {
            decoded += text[at];
        }
    }
    return decoded;
}

std::string formEncode(const Parameters& parameters)
{
    std::string encoded;
    for (const auto& [key, value] : parameters) {
        if (!encoded.empty())
            encoded += '&';
        encoded += percentEscape(key) + "=" + percentEscape(value);
    }
    return encoded;
}

std::optional<HttpClientError> encodeParameters(HttpRequest& request, const Parameters& parameters, UrlEncoding encoding)
{
    for (const auto& [key, value] : parameters) {
        if (!isValidUtf8(key) || !isValidUtf8(value))
            return HttpClientError::encodingFailed("a parameter is not valid UTF-8");
    }
    placeEncoded(request, formEncode(parameters), usesQuery(request.method, encoding));
    return std::nullopt;
}

std::optional<HttpClientError> encodeValue(HttpRequest& request, const nlohmann::json& value, ParameterEncoder encoder)
{
    std::string json;
    try {
        json = value.dump();
    } catch (const nlohmann::json::exception& error) {
        return HttpClientError::encodingFailed(error.what());
    }
    if (encoder == ParameterEncoder::json) {
        if (!request.headers.contains("Content-Type"))
            request.headers.update("Content-Type", "application/json");
        request.body = std::move(json);
        return std::nullopt;
    }
    if (!value.is_object())
        return HttpClientError::encodingFailed("a URL form needs an object at the top level");
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& [key, nested] : value.items())
        appendFormPairs(pairs, key, nested);
    std::string encoded;
    for (const auto& [key, text] : pairs) {
        if (!encoded.empty())
            encoded += '&';
        encoded += percentEscape(key) + "=" + percentEscape(text);
    }
    placeEncoded(request, encoded, usesQuery(request.method, UrlEncoding::methodDependent));
    return std::nullopt;
}

} // namespace platform
