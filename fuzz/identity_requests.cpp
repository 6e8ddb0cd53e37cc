// The identity provider's handlers, given requests from any client: every
// route, with values from one answer followed into the next request
// ("@TRANSACTION@", "@CODE@", "@REFRESH@", "@ACCESS@"), so sign-in, code
// exchange, refresh and revocation are all reached.
#include "InProcessServer.h"

#include "devstack/identity/IdentityProvider.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Making the signing key takes a while, so one provider serves many
    // inputs and is made afresh now and then; the sign-ins and grants they
    // leave behind stay few.
    static std::unique_ptr<devstack::IdentityProvider> provider;
    static std::unique_ptr<fuzzing::InProcessServer> server;
    static unsigned inputs = 0;
    // Days since the current provider was made: counting all inputs instead
    // would run the clock past what nanoseconds hold within a long run.
    static unsigned day = 0;
    static fuzzing::Conversation conversation = [] {
        fuzzing::Conversation made;
        made.capture("TRANSACTION", R"(name="transaction" value="([^"]*)\")");
        made.capture("CODE", R"([?&]code=([^&\s]*))");
        made.capture("REFRESH", R"("refresh_token":"([^"]*)\")");
        made.capture("ACCESS", R"("access_token":"([^"]*)\")");
        return made;
    }();
    if (inputs++ % 4096 == 0) {
        server.reset();
        day = 0;
        devstack::IdentityProviderOptions options;
        // One open sign-in at a time, and a day between inputs, so that what
        // an input leaves open is gone by the next one's sign-in.
        options.maximumPendingSignIns = 1;
        options.now = [] { return std::chrono::system_clock::time_point(std::chrono::hours(480000 + 24 * day)); };
        provider = std::make_unique<devstack::IdentityProvider>(std::move(options));
        server = std::make_unique<fuzzing::InProcessServer>(*provider);
    }
    ++day;
    conversation.run(*server, { reinterpret_cast<const char*>(data), size });
    provider->requestLog().clear();
    return 0;
}
