#include "platform/foundation/URLComponents.h"

#include <glib.h>

#include <memory>

namespace platform {

namespace {

std::optional<std::string> ownedText(const char* text)
{
    if (!text)
        return std::nullopt;
    return std::string(text);
}

// Percent-decodes `text`; nothing when the result is not UTF-8.
std::optional<std::string> decoded(std::string_view text)
{
    std::unique_ptr<GBytes, decltype(&g_bytes_unref)> bytes(
        g_uri_unescape_bytes(text.data(), static_cast<gssize>(text.size()), nullptr, nullptr), g_bytes_unref);
    if (!bytes)
        return std::nullopt;
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
    if (size > 0 && !g_utf8_validate_len(data, size, nullptr))
        return std::nullopt;
    return std::string(data ? data : "", size);
}

std::string escaped(const std::string& text)
{
    std::unique_ptr<char, decltype(&g_free)> result(g_uri_escape_string(text.c_str(), nullptr, FALSE), g_free);
    return result ? result.get() : "";
}

} // namespace

std::optional<URLComponents> URLComponents::parse(std::string_view address)
{
    std::string text(address);
    GError* error = nullptr;
    GUri* uri = g_uri_parse(text.c_str(), G_URI_FLAGS_ENCODED, &error);
    if (!uri) {
        g_clear_error(&error);
        return std::nullopt;
    }
    URLComponents components;
    components.scheme_ = g_uri_get_scheme(uri);
    components.userinfo_ = ownedText(g_uri_get_userinfo(uri));
    const char* host = g_uri_get_host(uri);
    components.hasAuthority_ = host != nullptr;
    if (host && *host)
        components.host_ = host;
    components.port_ = g_uri_get_port(uri);
    components.path_ = g_uri_get_path(uri);
    components.query_ = ownedText(g_uri_get_query(uri));
    components.fragment_ = ownedText(g_uri_get_fragment(uri));
    g_uri_unref(uri);
    return components;
}

std::vector<URLQueryItem> URLComponents::queryItems() const
{
    std::vector<URLQueryItem> items;
    if (!query_)
        return items;
    std::string_view rest = *query_;
    while (true) {
        auto end = rest.find('&');
        auto part = rest.substr(0, end);
        auto equals = part.find('=');
        auto name = part.substr(0, equals);
        URLQueryItem item { decoded(name).value_or(std::string(name)), std::nullopt };
        if (equals != std::string_view::npos)
            item.value = decoded(part.substr(equals + 1));
        items.push_back(std::move(item));
        if (end == std::string_view::npos)
            break;
        rest.remove_prefix(end + 1);
    }
    return items;
}

void URLComponents::setQueryItems(const std::vector<URLQueryItem>& items)
{
    std::string query;
    for (const auto& item : items) {
        if (!query.empty())
            query += '&';
        query += escaped(item.name);
        if (item.value)
            query += '=' + escaped(*item.value);
    }
    query_ = std::move(query);
}

std::string URLComponents::string() const
{
    std::unique_ptr<GUri, decltype(&g_uri_unref)> uri(g_uri_build(G_URI_FLAGS_ENCODED, scheme_.c_str(),
        userinfo_ ? userinfo_->c_str() : nullptr, hasAuthority_ ? (host_ ? host_->c_str() : "") : nullptr, port_,
        path_.c_str(), query_ ? query_->c_str() : nullptr, fragment_ ? fragment_->c_str() : nullptr), g_uri_unref);
    std::unique_ptr<char, decltype(&g_free)> text(g_uri_to_string(uri.get()), g_free);
    return text.get();
}

} // namespace platform
