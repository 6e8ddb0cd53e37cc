#include "devstack/server/OpenConnections.h"

#include <sys/socket.h>

namespace devstack {

namespace {

int trackerIndex(CRYPTO_EX_free* onFree)
{
    static const int index = SSL_get_ex_new_index(0, nullptr, nullptr, nullptr, onFree);
    return index;
}

} // namespace

OpenConnections::OpenConnections()
{
    trackerIndex(&OpenConnections::onFree);
}

OpenConnections::~OpenConnections() = default;

void OpenConnections::attach(SSL_CTX& context)
{
    SSL_CTX_set_app_data(&context, this);
    SSL_CTX_set_info_callback(&context, &OpenConnections::onInfo);
}

void OpenConnections::shutdownAll()
{
    std::lock_guard lock(mutex_);
    for (const SSL* ssl : connections_) {
        int socket = SSL_get_fd(ssl);
        if (socket >= 0)
            ::shutdown(socket, SHUT_RDWR);
    }
}

void OpenConnections::onInfo(const SSL* ssl, int where, int)
{
    if (!(where & SSL_CB_HANDSHAKE_START))
        return;
    int index = trackerIndex(&OpenConnections::onFree);
    if (SSL_get_ex_data(ssl, index))
        return;
    auto* tracker = static_cast<OpenConnections*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
    if (!tracker)
        return;
    std::lock_guard lock(tracker->mutex_);
    SSL_set_ex_data(const_cast<SSL*>(ssl), index, tracker);
    tracker->connections_.insert(ssl);
}

void OpenConnections::onFree(void* parent, void* pointer, CRYPTO_EX_DATA*, int, long, void*)
{
    auto* tracker = static_cast<OpenConnections*>(pointer);
    if (!tracker)
        return;
    std::lock_guard lock(tracker->mutex_);
    tracker->connections_.erase(static_cast<const SSL*>(parent));
}

} // namespace devstack
