#pragma once

#include <filesystem>
#include <optional>

namespace platform {

// Servers are always verified against the system's certificate authorities and,
// when one is configured, the authorities in one extra PEM file (the local
// development services use their own private authority).
//
// The file set here wins; without one, $TOLVEN_EXTRA_CA_FILE is used when set.
void setExtraCertificateAuthorityFile(std::optional<std::filesystem::path> path);
std::optional<std::filesystem::path> extraCertificateAuthorityFile();

} // namespace platform
