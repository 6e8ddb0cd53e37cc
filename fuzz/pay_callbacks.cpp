// Addresses the application is opened with can come from any other program;
// the router must post exactly one callback for each it accepts, none for
// the rest. A stored state is set once, so inputs may match it or not.
#include "TOLVEN/home/PayCallbackRouter.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/testing/TestEnvironment.h"

#include <any>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

struct Router {
    Router()
    {
        platform::UserDefaults::standard().setString(tolven::PayCallbackRouter::stateKey, "pay-state-1");
        platform::NotificationCenter::defaultCenter().addObserver(tolven::PayCallbackRouter::notificationName,
            [this](const platform::Notification& notification) {
                ++posted;
                last = std::any_cast<tolven::PayCallback>(notification.object);
            });
    }

    platform::TestEnvironment env;
    int posted = 0;
    tolven::PayCallback last;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static Router router;
    std::string_view url(reinterpret_cast<const char*>(data), size);
    router.posted = 0;
    bool accepted = tolven::PayCallbackRouter::shared().handleCallbackURL(url);
    if (router.posted != (accepted ? 1 : 0))
        std::abort();
    if (accepted && router.last.rawURL != url && router.last.rawURL != tolven::PayCallbackRouter::internalAddress)
        std::abort();
    return 0;
}
