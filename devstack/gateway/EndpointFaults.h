#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace devstack {

// A failure a test switches on for one endpoint (by path).
struct EndpointFault {
    // The status to answer with.
    int status = 500;
    // The body; absent: a small JSON error.
    std::optional<std::string> body;
    std::string contentType = "application/json";
    // Real seconds to wait before answering (a slow or silent server).
    double delaySeconds = 0;
    // How many requests it answers before it switches itself off; -1: all.
    int times = -1;

    static EndpointFault withStatus(int status, int times = -1) { return EndpointFault { status, std::nullopt, "application/json", 0, times }; }
    static EndpointFault notJson(int status = 200) { return EndpointFault { status, "<html>maintenance</html>", "text/html", 0, -1 }; }
    static EndpointFault reply(int status, std::string body, std::string contentType = "application/json")
    {
        return EndpointFault { status, std::move(body), std::move(contentType), 0, -1 };
    }
    static EndpointFault slow(double seconds) { return EndpointFault { 200, std::nullopt, "application/json", seconds, -1 }; }
};

// The faults switched on per endpoint; safe from any thread.
class EndpointFaults {
public:
    void set(const std::string& path, EndpointFault fault);
    void clear(const std::string& path);
    void clearAll();
    // The fault to apply to this request of `path`, counting it down.
    std::optional<EndpointFault> take(const std::string& path);

private:
    std::mutex mutex_;
    std::map<std::string, EndpointFault> faults_;
};

} // namespace devstack
