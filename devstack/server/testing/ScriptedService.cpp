#include "devstack/server/testing/ScriptedService.h"

namespace devstack::testing {

void ScriptedService::on(const std::string& method, const std::string& path, Handler handler)
{
    std::lock_guard lock(mutex_);
    handlers_.insert_or_assign({ method, path }, std::move(handler));
}

void ScriptedService::reply(const std::string& method, const std::string& path, int status, std::string body, std::string contentType)
{
    on(method, path, [status, body = std::move(body), contentType = std::move(contentType)](const httplib::Request&, httplib::Response& response) {
        response.status = status;
        if (!body.empty() || !contentType.empty())
            response.set_content(body, contentType);
    });
}

void ScriptedService::staySilent(const std::string& method, const std::string& path, double seconds)
{
    on(method, path, [this, seconds](const httplib::Request&, httplib::Response& response) {
        holdWhileRunning(seconds);
        response.status = 504;
    });
}

void ScriptedService::installRoutes(httplib::Server& server)
{
    auto handler = [this](const httplib::Request& request, httplib::Response& response) { dispatch(request, response); };
    server.Get(".*", handler);
    server.Post(".*", handler);
    server.Put(".*", handler);
    server.Patch(".*", handler);
    server.Delete(".*", handler);
}

void ScriptedService::dispatch(const httplib::Request& request, httplib::Response& response)
{
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        auto found = handlers_.find({ request.method, request.path });
        if (found != handlers_.end())
            handler = found->second;
    }
    if (!handler) {
        replyJson(response, 404, R"({"error":"not scripted"})");
        return;
    }
    handler(request, response);
}

} // namespace devstack::testing
