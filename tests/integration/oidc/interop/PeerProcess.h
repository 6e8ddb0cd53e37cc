#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>

namespace platform::interop {

// The oidc-provider peer (peer.mjs) run by the machine's Node.js for the
// length of the test program. It ends when this object closes its standard
// input, also when the test program dies.
class PeerProcess {
public:
    struct Arguments {
        std::filesystem::path certificateFile;
        std::filesystem::path privateKeyFile;
        std::string clientId;
        std::string redirectUri;
    };

    // The node executable on PATH; nothing when Node.js is not installed.
    static std::optional<std::filesystem::path> findNode();

    // Starts the peer and waits for the line naming its issuers. Throws
    // std::runtime_error with the reason when it cannot start.
    PeerProcess(const std::filesystem::path& node, const std::filesystem::path& peerFolder, const Arguments& arguments);
    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // The issuer of one deployment shape, as the provider writes it.
    std::string issuer(const std::string& shape) const;

private:
    void stop();

    pid_t pid_ = -1;
    int input_ = -1;
    nlohmann::json issuers_;
};

} // namespace platform::interop
