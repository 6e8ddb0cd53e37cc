#pragma once

#include "devstack/cardissuer/CardIssuerService.h"
#include "devstack/gateway/ApiGateway.h"
#include "devstack/identity/IdentityProvider.h"
#include "devstack/server/DevCertificates.h"

#include <filesystem>
#include <memory>

namespace devstack {

// The outside services the application talks to, running on 127.0.0.1: the
// identity provider, the API gateway with the backend, and the card-issuing
// server, all with the devstack's certificates.
class DevstackServices {
public:
    // Makes the certificates under `dataFolder` (pointing the HTTP client at
    // their authority; a valid one kept there is reused, and a line says
    // when one had to be replaced) and starts the
    // services on free ports, or service i on `portBase` + i (identity
    // provider, gateway, card-issuing server). Throws std::runtime_error when
    // a service cannot listen.
    DevstackServices(const std::filesystem::path& dataFolder, int portBase);
    ~DevstackServices();
    DevstackServices(const DevstackServices&) = delete;
    DevstackServices& operator=(const DevstackServices&) = delete;

    // Stops every service; safe to call twice.
    void stop();

    // Each service's address with the paths and users a developer calls it
    // with, and the CA file.
    void printAddresses() const;

    const DevCertificates& certificates() const { return certificates_; }
    IdentityProvider& identity() { return *identity_; }
    ApiGateway& gateway() { return *gateway_; }
    CardIssuerService& cardIssuer() { return *cardIssuer_; }
    const IdentityProvider& identity() const { return *identity_; }
    const ApiGateway& gateway() const { return *gateway_; }
    const CardIssuerService& cardIssuer() const { return *cardIssuer_; }

private:
    DevCertificates certificates_;
    // The gateway checks ID tokens with the identity provider's keys, so the
    // provider is made first and goes last.
    std::unique_ptr<IdentityProvider> identity_;
    std::unique_ptr<ApiGateway> gateway_;
    std::unique_ptr<CardIssuerService> cardIssuer_;
};

} // namespace devstack
