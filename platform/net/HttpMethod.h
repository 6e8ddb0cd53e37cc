#pragma once

#include <string>

namespace platform {

// An HTTP method by its name on the wire.
struct HttpMethod {
    std::string rawValue;

    static HttpMethod get() { return { "GET" }; }
    static HttpMethod post() { return { "POST" }; }
    static HttpMethod put() { return { "PUT" }; }
    static HttpMethod patch() { return { "PATCH" }; }
    static HttpMethod head() { return { "HEAD" }; }
    static HttpMethod delete_() { return { "DELETE" }; }

    bool operator==(const HttpMethod&) const = default;
};

} // namespace platform
