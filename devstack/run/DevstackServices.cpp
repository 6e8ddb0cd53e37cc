#include "devstack/run/DevstackServices.h"

#include "devstack/run/ServiceGuide.h"
#include "devstack/server/DevstackServer.h"
#include "platform/foundation/Console.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

namespace devstack {

namespace {

int portFor(int portBase, int offset)
{
    return portBase == 0 ? 0 : portBase + offset;
}

// Checked before the service binds, for a message that names the port. Like
// the services' sockets, the probe shares the port only with the connections
// of a stopped run still closing, so a restart on the same ports works at once.
void requireFreePort(int port)
{
    if (port == 0)
        return;
    int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0)
        throw std::runtime_error("cannot check port " + std::to_string(port) + ": " + std::strerror(errno));
    int reuse = 1;
    ::setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool taken = ::bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0;
    int bindError = errno;
    ::close(probe);
    if (taken)
        throw std::runtime_error("port " + std::to_string(port) + " on 127.0.0.1 is not free: " + std::strerror(bindError));
}

void startService(HttpsService& service, const DevCertificates& certificates, int port)
{
    requireFreePort(port);
    service.start(certificates, port);
}

ApiGatewayOptions gatewayOptionsFor(const IdentityProvider& identity)
{
    ApiGatewayOptions options;
    options.verifyIdToken = ApiGateway::verifierFor(identity);
    return options;
}

} // namespace

DevstackServices::DevstackServices(const std::filesystem::path& dataFolder, int portBase)
    : certificates_(prepareDevstackTls(dataFolder))
    , identity_(std::make_unique<IdentityProvider>())
{
    // Said at once: a service that then cannot listen ends the run.
    if (certificates_.authorityReplaced)
        platform::console(*certificates_.authorityReplaced);
    startService(*identity_, certificates_, portFor(portBase, 0));
    gateway_ = std::make_unique<ApiGateway>(gatewayOptionsFor(*identity_));
    startService(*gateway_, certificates_, portFor(portBase, 1));
    cardIssuer_ = std::make_unique<CardIssuerService>();
    startService(*cardIssuer_, certificates_, portFor(portBase, 2));
}

DevstackServices::~DevstackServices()
{
    stop();
}

void DevstackServices::stop()
{
    if (cardIssuer_)
        cardIssuer_->stop();
    if (gateway_)
        gateway_->stop();
    identity_->stop();
}

void DevstackServices::printAddresses() const
{
    ServiceAddresses addresses { identity_->issuer(), gateway_->baseUrl(), cardIssuer_->baseUrl(), certificates_.caFile };
    for (const auto& line : serviceGuideLines(addresses, identity_->users()))
        platform::console(line);
}

} // namespace devstack
