#include "platform/net/Transport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {
namespace {

int threadsNamed(const std::string& name)
{
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string comm;
        std::getline(std::ifstream(task.path() / "comm"), comm);
        count += comm == name;
    }
    return count;
}

// A TCP port on loopback that accepts connections and never says a word.
int silentListener(int& port)
{
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, 1) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        std::_Exit(4);
    port = ntohs(address.sin_port);
    return listener;
}

[[noreturn]] void exitWhileAHandshakeWaits()
{
    // Registered before the shared transport exists, so it runs after the
    // transport's own at-exit handler.
    std::atexit([] { std::_Exit(threadsNamed("curl transport") == 0 ? 0 : 3); });
    int port = 0;
    int listener = silentListener(port);
    HttpRequest request;
    request.url = "https://127.0.0.1:" + std::to_string(port) + "/";
    sharedTransport()->send(request, std::nullopt, [](Transport::Result) { std::_Exit(5); });
    // Once connected, the transport's thread is in the TLS handshake.
    if (::accept(listener, nullptr, nullptr) < 0)
        std::_Exit(4);
    std::exit(0);
}

// OpenSSL cleans up at exit; a handshake still running on the transport's
// thread would race that clean-up, so the thread must be gone by then.
TEST(SharedTransportTest, ExitStopsItsThreadBeforeTheLibrariesCleanUp)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exitWhileAHandshakeWaits(), testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace platform
