#include "platform/net/curl/Redirect.h"

#include "platform/net/TransportSecurity.h"

#include <curl/curl.h>

#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace platform {

namespace {

using Origin = std::tuple<std::string, std::string, std::string>;

std::optional<Origin> originOf(const std::string& url)
{
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> handle(curl_url(), &curl_url_cleanup);
    if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    auto part = [&](CURLUPart which, unsigned flags) -> std::optional<std::string> {
        char* text = nullptr;
        if (curl_url_get(handle.get(), which, &text, flags) != CURLUE_OK)
            return std::nullopt;
        std::string value(text);
        curl_free(text);
        return value;
    };
    auto scheme = part(CURLUPART_SCHEME, 0);
    auto host = part(CURLUPART_HOST, 0);
    auto port = part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
    if (!scheme || !host || !port)
        return std::nullopt;
    for (auto* text : { &*scheme, &*host }) {
        for (char& c : *text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return Origin { *scheme, *host, *port };
}

} // namespace

bool isRedirectStatus(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::variant<HttpRequest, TransportError> redirectedRequest(const HttpRequest& previous, long status, std::string_view location)
{
    if (!isHttpsAddress(location))
        return plainAddressRefused();
    HttpRequest next = previous;
    next.url = std::string(location);

    bool becomesGet = (status == 303 && previous.method != HttpMethod::head())
        || ((status == 301 || status == 302) && previous.method == HttpMethod::post());
    if (becomesGet) {
        next.method = HttpMethod::get();
        next.body.clear();
        next.headers.remove("Content-Type");
        next.headers.remove("Content-Length");
    }

    auto from = originOf(previous.url);
    auto to = originOf(next.url);
    if (!from || !to || *from != *to) {
        std::vector<std::string> secrets;
        for (const auto& header : next.headers) {
            if (isSecretHeader(header.name))
                secrets.push_back(header.name);
        }
        for (const auto& name : secrets)
            next.headers.remove(name);
    }
    return next;
}

} // namespace platform
