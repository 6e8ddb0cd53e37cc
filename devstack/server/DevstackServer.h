#pragma once

#include "devstack/server/DevCertificates.h"

#include <filesystem>

namespace devstack {

// Makes the devstack's certificates in `dataFolder`/tls and points the HTTP
// client at their authority. Every service is started with the result.
DevCertificates prepareDevstackTls(const std::filesystem::path& dataFolder);

} // namespace devstack
