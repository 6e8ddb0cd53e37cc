#pragma once

#include "TOLVEN/home/PayCallback.h"

#include <set>
#include <string>
#include <string_view>

namespace tolven {

// Takes the addresses opened with the application and broadcasts the payment
// callbacks among them as "payCallbackReceived", with a PayCallback as the
// notification's object. Call it on the main thread; observers run inside the call.
class PayCallbackRouter {
public:
    static constexpr const char* notificationName = "payCallbackReceived";
    // A state the payment page was given, to be echoed by its callback.
    static constexpr const char* stateKey = "pay.state";
    static constexpr const char* internalAddress = "tolven://internal";

    // Made on first use; lives until the process ends.
    static PayCallbackRouter& shared();

    const std::string allowedScheme = "tolven";
    const std::set<std::string> allowedHosts { "pay-callback", "payment", "result" };

    // False when `url` is not a callback for this application (nothing is
    // posted); true once exactly one notification has been posted.
    bool handleCallbackURL(std::string_view url);

    // Posts a callback that did not come from the payment page.
    void postInternalFailure(PayCallback::Status status, std::string message);

private:
    PayCallbackRouter() = default;
};

} // namespace tolven
