#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace devstack {

// A private certificate authority and a server certificate for 127.0.0.1 and
// localhost (subject alternative names IP:127.0.0.1 and DNS:localhost) signed
// by it, as PEM files. The authority's key is kept beside its certificate, so
// that a developer who trusted the authority once keeps trusting the services
// across restarts on the same folder.
struct DevCertificates {
    std::filesystem::path caFile;
    std::filesystem::path caKeyFile;
    std::filesystem::path certificateFile;
    std::filesystem::path privateKeyFile;
    // Set when an authority found in the folder could not be used and a new
    // one was made: one line that says which file and why.
    std::optional<std::string> authorityReplaced;

    // Keeps the authority in `folder` when it is whole and valid now (on the
    // system's time, which TLS peers check), and otherwise makes a new one; keeps the server
    // certificate when it is valid, names both hosts and is signed by that
    // authority, and otherwise issues a new one. Throws std::runtime_error
    // when the files cannot be made.
    static DevCertificates ensure(const std::filesystem::path& folder);
};

} // namespace devstack
