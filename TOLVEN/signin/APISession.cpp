#include "TOLVEN/signin/APISession.h"

#include "TOLVEN/signin/AuthInterceptor.h"
#include "TOLVEN/signin/SharedInstanceSlots.h"

#include "platform/foundation/UserDefaults.h"

namespace tolven {

detail::APISessionSlot& detail::apiSessionSlot()
{
    static auto* slot = new APISessionSlot();
    return *slot;
}

std::optional<std::string> userTokenFromDefaults()
{
    return platform::UserDefaults::standard().stringForKey("userToken");
}

std::unique_ptr<platform::HttpSession> makeAPISession()
{
    auto configuration = platform::HttpSessionConfiguration::defaultConfiguration();
    configuration.timeoutIntervalForRequest = apiRequestTimeout;
    return std::make_unique<platform::HttpSession>(configuration, std::make_shared<AuthInterceptor>(&userTokenFromDefaults));
}

std::shared_ptr<platform::HttpSession> apiSession()
{
    auto& slot = detail::apiSessionSlot();
    std::lock_guard guard(slot.mutex);
    if (!slot.session)
        slot.session = makeAPISession();
    return slot.session;
}

std::shared_ptr<platform::HttpSession> defaultSessionHandle()
{
    return { std::shared_ptr<platform::HttpSession>(), &platform::defaultHttpSession() };
}

} // namespace tolven
