#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One item of a query: "name=value", or "name" alone, which has no value.
struct URLQueryItem {
    std::string name;
    std::optional<std::string> value;
    bool operator==(const URLQueryItem&) const = default;
};

// The parts of an absolute address (RFC 3986, parsed by GLib's GUri), shaped
// like the platform's URL components: the address is not resolved against a
// base, and the parts are kept as written apart from the scheme's case.
class URLComponents {
public:
    // Nothing when `address` is not an absolute address (no scheme, bad
    // percent-encoding, a malformed host).
    static std::optional<URLComponents> parse(std::string_view address);

    // Lower case.
    const std::string& scheme() const { return scheme_; }
    // Absent when the address names no host or an empty one.
    const std::optional<std::string>& host() const { return host_; }
    const std::optional<std::string>& percentEncodedQuery() const { return query_; }

    // The query's items in order, names and values percent-decoded; a "+"
    // stays a "+". A part that does not decode to UTF-8 is kept as written
    // for a name and counts as no value. Empty without a query.
    std::vector<URLQueryItem> queryItems() const;

    // Replaces the query with `items`, each name and value percent-escaped
    // (everything but letters, digits and "-._~").
    void setQueryItems(const std::vector<URLQueryItem>& items);

    // The address again.
    std::string string() const;

private:
    std::string scheme_;
    std::optional<std::string> userinfo_;
    std::optional<std::string> host_;
    int port_ = -1;
    bool hasAuthority_ = false;
    std::string path_;
    std::optional<std::string> query_;
    std::optional<std::string> fragment_;
};

} // namespace platform
