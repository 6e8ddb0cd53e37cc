#include "PeerProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace platform::interop {

std::optional<std::filesystem::path> PeerProcess::findNode()
{
    const char* path = std::getenv("PATH");
    std::string_view remaining = path ? path : "";
    while (!remaining.empty()) {
        auto folder = remaining.substr(0, remaining.find(':'));
        remaining.remove_prefix(std::min(remaining.size(), folder.size() + 1));
        auto candidate = std::filesystem::path(folder.empty() ? "." : folder) / "node";
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

PeerProcess::PeerProcess(const std::filesystem::path& node, const std::filesystem::path& peerFolder, const Arguments& arguments)
{
    int toPeer[2];
    int fromPeer[2];
    if (::pipe2(toPeer, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe for the peer");
    if (::pipe2(fromPeer, O_CLOEXEC) != 0) {
        ::close(toPeer[0]);
        ::close(toPeer[1]);
        throw std::runtime_error("no pipe for the peer");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toPeer[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromPeer[1], STDOUT_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, peerFolder.c_str());
    std::vector<std::string> words { node.string(), "peer.mjs", arguments.certificateFile.string(), arguments.privateKeyFile.string(),
        arguments.clientId, arguments.redirectUri };
    std::vector<char*> argv;
    for (auto& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    int status = ::posix_spawn(&pid_, node.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toPeer[0]);
    ::close(fromPeer[1]);
    input_ = toPeer[1];
    if (status != 0) {
        ::close(fromPeer[0]);
        ::close(input_);
        throw std::runtime_error("node could not be started");
    }

    std::string line;
    char c;
    while (::read(fromPeer[0], &c, 1) == 1 && c != '\n')
        line.push_back(c);
    ::close(fromPeer[0]);
    issuers_ = nlohmann::json::parse(line, nullptr, false);
    if (!issuers_.is_object()) {
        stop();
        throw std::runtime_error("the peer did not start (see its messages above)");
    }
}

PeerProcess::~PeerProcess()
{
    stop();
}

void PeerProcess::stop()
{
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ > 0) {
        int status;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

std::string PeerProcess::issuer(const std::string& shape) const
{
    return issuers_.value(shape, "");
}

} // namespace platform::interop
