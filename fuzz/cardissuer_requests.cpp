// The card-issuing server's handlers, given envelopes from any client; the
// card number that "uidRequest" answers is followed into later requests as
// "@UID@".
#include "InProcessServer.h"

#include "devstack/cardissuer/CardIssuerService.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fuzzing::Conversation conversation = [] {
        fuzzing::Conversation made;
        made.capture("UID", R"("uid":"([0-9]*)\")");
        return made;
    }();
    // A new service for each input, so that no input leaves state behind.
    devstack::CardIssuerService issuer;
    fuzzing::InProcessServer server(issuer);
    conversation.run(server, { reinterpret_cast<const char*>(data), size });
    return 0;
}
