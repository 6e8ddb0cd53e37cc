#pragma once

#include <httplib.h>

#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace devstack {

// A request as the server received it.
struct RecordedRequest {
    std::string method;
    std::string path;
    // The raw query string, without "?" ("" when none).
    std::string query;
    // Query parameters (or form-body parameters of a URL-form POST), decoded.
    std::multimap<std::string, std::string> params;
    std::vector<std::pair<std::string, std::string>> headers;
    // At most RequestLog::bodyPrefixLimit bytes of the body.
    std::string body;
    // The length of the whole body as it arrived.
    std::size_t bodySize = 0;

    // The first header of that name, compared without regard to case.
    std::optional<std::string> header(std::string_view name) const;
    std::optional<std::string> param(const std::string& name) const;
};

// The requests one service answered, in arrival order; safe from any thread.
// A request is recorded before its answer is written, so a client that has
// its answer always finds the request here. A long-running service keeps
// only its newest requests (at least `capacity / 2`, at most `capacity`), so
// the log does not grow without end; count() still counts them all.
//
// Of each body only a prefix is kept, and of the parameters decoded from a
// form body only as many as fit the same size: a log of whole bodies would
// keep every upload a long-running devstack ever received.
class RequestLog {
public:
    static constexpr std::size_t bodyPrefixLimit = 64 * 1024;

    // A record of `request` that keeps only what the log keeps.
    static RecordedRequest recordOf(const httplib::Request& request);

    void record(RecordedRequest request);
    std::vector<RecordedRequest> all() const;
    std::optional<RecordedRequest> last() const;
    std::size_t count() const;
    // Requests for `path` only.
    std::vector<RecordedRequest> forPath(std::string_view path) const;
    void clear();

    static constexpr std::size_t capacity = 10000;

private:
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
    std::size_t recorded_ = 0;
};

} // namespace devstack
