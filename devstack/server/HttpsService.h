#pragma once

#include "devstack/server/DevCertificates.h"
#include "devstack/server/OpenConnections.h"
#include "devstack/server/RequestLog.h"

#include <httplib.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace devstack {

// One local HTTPS service on 127.0.0.1. A service derives from this, adds its
// routes in installRoutes, and is started with the devstack's certificates.
// Every request is recorded in requestLog() before it is answered.
class HttpsService {
public:
    explicit HttpsService(std::string name);
    virtual ~HttpsService();
    HttpsService(const HttpsService&) = delete;
    HttpsService& operator=(const HttpsService&) = delete;

    const std::string& name() const { return name_; }

    // Listens on 127.0.0.1:`port` (0: a free port) and returns once it accepts
    // connections. Throws std::runtime_error when it cannot listen.
    void start(const DevCertificates& certificates, int port = 0);
    // Stops listening and waits for the handlers to end. Safe to call twice.
    void stop();
    bool isRunning() const;

    int port() const { return port_; }
    // "https://127.0.0.1:<port>", or the host name that a service goes by
    // (its certificate names "localhost" too).
    virtual std::string baseUrl() const;

    RequestLog& requestLog() { return log_; }
    const RequestLog& requestLog() const { return log_; }

    // Puts this service's routes and request log on `server`, as start() does
    // on its own; lets the handlers be driven without a socket.
    void serveOn(httplib::Server& server);

protected:
    virtual void installRoutes(httplib::Server& server) = 0;

    // Holds a handler for a "silent server": returns once `seconds` have
    // passed or the service is stopping.
    void holdWhileRunning(double seconds) const;

    // Answers with `json` and "Content-Type" "application/json".
    static void replyJson(httplib::Response& response, int status, const std::string& json);

private:
    std::string name_;
    OpenConnections connections_;
    std::unique_ptr<httplib::SSLServer> server_;
    std::thread thread_;
    int port_ = 0;
    std::atomic<bool> stopping_ { false };
    RequestLog log_;
};

} // namespace devstack
