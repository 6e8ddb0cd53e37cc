// The API gateway's and backend's handlers, given requests from any client.
// The ID token the exchange is handed is read as its claims (JSON) here, so
// inputs reach past the signature check; the access token it answers with is
// followed into later requests as "@ACCESS@".
#include "InProcessServer.h"

#include "devstack/gateway/ApiGateway.h"
#include "platform/net/JsonParsing.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

std::unique_ptr<devstack::ApiGateway> makeGateway()
{
    devstack::ApiGatewayOptions options;
    // 2024-05-06 04:45:07 UTC, fixed so that an input always meets the same gateway.
    options.now = [] { return std::chrono::system_clock::time_point(std::chrono::seconds(1714970707)); };
    options.verifyIdToken = [](const std::string& idToken) -> std::optional<nlohmann::json> {
        auto claims = platform::parseJsonOrDiscarded(idToken);
        // A signed token's claims are always an object.
        if (!claims.is_object())
            return std::nullopt;
        return claims;
    };
    return std::make_unique<devstack::ApiGateway>(std::move(options));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzing::Conversation conversation = [] {
        fuzzing::Conversation made;
        made.capture("ACCESS", R"("access_token":"([^"]*)\")");
        return made;
    }();
    // A new gateway for each input, so that no input leaves state behind.
    auto gateway = makeGateway();
    fuzzing::InProcessServer server(*gateway);
    conversation.run(server, { reinterpret_cast<const char*>(data), size });
    return 0;
}
