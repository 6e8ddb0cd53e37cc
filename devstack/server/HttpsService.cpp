#include "devstack/server/HttpsService.h"

#include <csignal>
#include <chrono>
#include <stdexcept>

#include <sys/socket.h>

namespace devstack {

HttpsService::HttpsService(std::string name)
    : name_(std::move(name))
{
}

HttpsService::~HttpsService()
{
    stop();
}

void HttpsService::start(const DevCertificates& certificates, int port)
{
    // A client that hangs up must not end the whole process when the server
    // writes to its socket (TLS writes go through plain write()).
    std::signal(SIGPIPE, SIG_IGN);
    if (server_)
        throw std::runtime_error(name_ + " is already running");
    auto server = std::make_unique<httplib::SSLServer>([this, &certificates](SSL_CTX& context) {
        connections_.attach(context);
        return SSL_CTX_use_certificate_chain_file(&context, certificates.certificateFile.c_str()) == 1
            && SSL_CTX_use_PrivateKey_file(&context, certificates.privateKeyFile.c_str(), SSL_FILETYPE_PEM) == 1;
    });
    if (!server->is_valid())
        throw std::runtime_error(name_ + ": the TLS certificate or key is not usable");
    // Enough workers that many kept-alive client connections do not starve each other.
    server->new_task_queue = [] { return new httplib::ThreadPool(32); };
    server->set_keep_alive_max_count(1000000);
    server->set_keep_alive_timeout(5);
    // As patient as a production server with a client that is slow to finish
    // its TLS handshake or its request: a client loaded down (say, built with
    // a sanitizer on a busy machine) would otherwise see its new connection
    // reset after the library's 5 s.
    server->set_read_timeout(60);
    // Small answers go out at once instead of waiting on the peer's delayed ACK.
    server->set_tcp_nodelay(true);
    // The library's default shares the port with any other listener of the
    // same user; this lets a restart take the port while the last run's
    // connections are still closing, and nothing more.
    server->set_socket_options([](int socket) {
        int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    serveOn(*server);

    int bound = port == 0 ? server->bind_to_any_port("127.0.0.1") : (server->bind_to_port("127.0.0.1", port) ? port : -1);
    if (bound <= 0)
        throw std::runtime_error(name_ + ": cannot listen on 127.0.0.1:" + std::to_string(port));
    port_ = bound;
    stopping_ = false;
    server_ = std::move(server);
    thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
    // A stop before the accept loop runs would go unnoticed by it.
    while (!server_->is_running())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
}

void HttpsService::stop()
{
    if (!server_)
        return;
    stopping_ = true;
    server_->stop();
    connections_.shutdownAll();
    if (thread_.joinable())
        thread_.join();
    server_.reset();
}

void HttpsService::serveOn(httplib::Server& server)
{
    // Runs after the handler and before the answer is written.
    server.set_post_routing_handler([this](const httplib::Request& request, httplib::Response&) { log_.record(RequestLog::recordOf(request)); });
    installRoutes(server);
}

bool HttpsService::isRunning() const
{
    return server_ != nullptr;
}

std::string HttpsService::baseUrl() const
{
    return "https://127.0.0.1:" + std::to_string(port_);
}

void HttpsService::holdWhileRunning(double seconds) const
{
    auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!stopping_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void HttpsService::replyJson(httplib::Response& response, int status, const std::string& json)
{
    response.status = status;
    response.set_content(json, "application/json");
}

} // namespace devstack
