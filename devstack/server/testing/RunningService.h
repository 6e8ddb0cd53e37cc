#pragma once

#include "devstack/server/DevstackServer.h"
#include "devstack/server/HttpsService.h"

#include "platform/foundation/AppPaths.h"

#include <string>
#include <utility>

namespace devstack::testing {

// Runs a devstack service on a free port for the length of a test: makes the
// certificates in the test's data folder, points the HTTP client at their
// authority, and stops the service at the end. Make it after the test's
// TestEnvironment so that it is stopped first.
template<typename Service>
class RunningService {
public:
    template<typename... Args>
    explicit RunningService(Args&&... args)
        : service_(std::forward<Args>(args)...)
    {
        service_.start(prepareDevstackTls(platform::dataRoot()), 0);
    }
    ~RunningService() { service_.stop(); }
    RunningService(const RunningService&) = delete;
    RunningService& operator=(const RunningService&) = delete;

    Service& operator*() { return service_; }
    Service* operator->() { return &service_; }

    // The service's address followed by `path` ("/x" → "https://127.0.0.1:port/x").
    std::string url(const std::string& path = "") const { return service_.baseUrl() + path; }
    RequestLog& requestLog() { return service_.requestLog(); }

private:
    Service service_;
};

} // namespace devstack::testing
