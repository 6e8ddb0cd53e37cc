#pragma once

#include "devstack/server/HttpsService.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace devstack::testing {

// A service whose answers the test scripts: a handler per method and path,
// which may be replaced while the service runs. Unscripted requests get 404.
class ScriptedService final : public HttpsService {
public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    ScriptedService() : HttpsService("scripted") { }

    void on(const std::string& method, const std::string& path, Handler handler);
    // Answers with `status`, `body` and `contentType`.
    void reply(const std::string& method, const std::string& path, int status, std::string body,
        std::string contentType = "application/json");
    // Accepts the request and stays silent until `seconds` pass or the service stops.
    void staySilent(const std::string& method, const std::string& path, double seconds = 30);

protected:
    void installRoutes(httplib::Server& server) override;

private:
    void dispatch(const httplib::Request& request, httplib::Response& response);

    std::mutex mutex_;
    std::map<std::pair<std::string, std::string>, Handler> handlers_;
};

} // namespace devstack::testing
