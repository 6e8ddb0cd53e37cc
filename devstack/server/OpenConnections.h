#pragma once

#include <openssl/ssl.h>

#include <mutex>
#include <set>

namespace devstack {

// The TLS connections a server holds open, so that stopping it does not wait
// for idle kept-alive connections to time out: their sockets are shut down,
// which ends the server's wait at once.
class OpenConnections {
public:
    OpenConnections();
    ~OpenConnections();
    OpenConnections(const OpenConnections&) = delete;
    OpenConnections& operator=(const OpenConnections&) = delete;

    // Tracks every connection `context` makes from now on.
    void attach(SSL_CTX& context);
    void shutdownAll();

private:
    static void onInfo(const SSL* ssl, int where, int result);
    static void onFree(void* parent, void* pointer, CRYPTO_EX_DATA*, int, long, void*);

    std::mutex mutex_;
    // A connection is removed when its SSL object is freed, which the server
    // does before it closes the socket, so every socket here is still open.
    std::set<const SSL*> connections_;
};

} // namespace devstack
