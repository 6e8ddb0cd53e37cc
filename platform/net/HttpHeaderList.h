#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct HttpHeader {
    std::string name;
    std::string value;
    bool operator==(const HttpHeader&) const = default;
};

// An ordered list of request or response headers. Names are compared without
// regard to case; each name appears at most once.
class HttpHeaderList {
public:
    HttpHeaderList() = default;
    HttpHeaderList(std::initializer_list<HttpHeader> headers);
    // From a header map; entries whose names differ only in case collapse into one.
    explicit HttpHeaderList(const std::map<std::string, std::string>& map);

    // Replaces the value of an existing entry of that name (in any case) in
    // place, keeping its position and spelling, or appends the pair.
    void update(std::string_view name, std::string value);
    void add(std::string_view name, std::string value) { update(name, std::move(value)); }
    void remove(std::string_view name);

    std::optional<std::string> value(std::string_view name) const;
    bool contains(std::string_view name) const { return value(name).has_value(); }

    const std::vector<HttpHeader>& entries() const { return headers_; }
    bool empty() const { return headers_.empty(); }
    std::size_t size() const { return headers_.size(); }
    auto begin() const { return headers_.begin(); }
    auto end() const { return headers_.end(); }

    // The platform request's header map.
    std::map<std::string, std::string> toMap() const;

    bool operator==(const HttpHeaderList&) const = default;

private:
    std::vector<HttpHeader> headers_;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b);

} // namespace platform
