#include "TOLVEN/signin/APISession.h"

#include "TOLVEN/signin/AuthInterceptor.h"

#include "platform/foundation/UserDefaults.h"

namespace tolven {

namespace {

std::unique_ptr<platform::HttpSession>& sharedSlot()
{
    static auto* slot = new std::unique_ptr<platform::HttpSession>();
    return *slot;
}

std::mutex& slotMutex()
{
    static auto* mutex = new std::mutex();
    return *mutex;
}

} // namespace

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

platform::HttpSession& apiSession()
{
    std::lock_guard guard(slotMutex());
    auto& slot = sharedSlot();
    if (!slot)
        slot = makeAPISession();
    return *slot;
}

namespace testing {

void resetAPISession()
{
    std::lock_guard guard(slotMutex());
    sharedSlot().reset();
}

} // namespace testing

} // namespace tolven
