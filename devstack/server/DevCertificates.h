#pragma once

#include <filesystem>

namespace devstack {

// A private certificate authority and a server certificate for 127.0.0.1 and
// localhost (subject alternative names IP:127.0.0.1 and DNS:localhost) signed
// by it, as PEM files.
struct DevCertificates {
    std::filesystem::path caFile;
    std::filesystem::path certificateFile;
    std::filesystem::path privateKeyFile;

    // Makes the three files in `folder` unless a usable set is already there.
    // Throws std::runtime_error when they cannot be made.
    static DevCertificates ensure(const std::filesystem::path& folder);
};

} // namespace devstack
