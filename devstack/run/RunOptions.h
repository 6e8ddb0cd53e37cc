#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace devstack {

// What the launcher was asked to do, from its command line.
struct RunOptions {
    // Empty: a fresh temporary folder, removed at exit unless `keep`.
    std::optional<std::filesystem::path> dataFolder;
    bool keep = false;
    // 0: free ports; otherwise the identity provider listens on this port, the
    // gateway on the next and the card-issuing server on the one after.
    int portBase = 0;
    // Only serve until interrupted, without the walkthrough.
    bool serve = false;
    bool help = false;

    // Nothing, with `problem` set, when the arguments are not understood.
    static std::optional<RunOptions> parse(const std::vector<std::string>& arguments, std::string& problem);
    static const char* usage();
};

} // namespace devstack
