#include "errors/StateErrors.h"
#include "lumitrex/CardError.h"
#include "lumitrex/Error.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <functional>
#include <optional>

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

// The error a check throws, or nothing when it returns.
std::optional<std::error_code> thrownBy(const std::function<void()>& check)
{
    try {
        check();
    } catch (const Error& error) {
        return error.code();
    }
    return std::nullopt;
}

struct ManagerStateCase {
    int state;
    std::optional<CardError> advertisingError;
    bool advertisingProceeds;
    std::optional<CardError> scanError;
};

const ManagerStateCase kManagerStates[] = {
    { 0, CardError::unknown, false, CardError::unknown },
    { 1, CardError::resetting, false, CardError::resetting },
    { 2, CardError::unsupported, false, CardError::unsupported },
    { 3, CardError::unauthorized, false, CardError::unauthorized },
    { 4, CardError::poweredOff, false, CardError::poweredOff },
    { 5, std::nullopt, true, std::nullopt },
    // Values a later platform may add: advertising just declines, the scan throws etc.
    { 6, std::nullopt, false, CardError::etc },
    { -1, std::nullopt, false, CardError::etc },
};

TEST(StateErrorsTests, ManagerStateForAdvertisingAndScan)
{
    platform::TestEnvironment env;
    for (const auto& c : kManagerStates) {
        SCOPED_TRACE(c.state);
        bool proceeds = false;
        auto advertisingError = thrownBy([&] { proceeds = checkAdvertisingState(c.state); });
        EXPECT_EQ(advertisingError, c.advertisingError ? std::optional(make_error_code(*c.advertisingError)) : std::nullopt);
        EXPECT_EQ(proceeds, c.advertisingProceeds);
        auto scanError = thrownBy([&] { checkScanState(c.state); });
        EXPECT_EQ(scanError, c.scanError ? std::optional(make_error_code(*c.scanError)) : std::nullopt);
    }
}

TEST(StateErrorsTests, LocationAuthorization)
{
    platform::TestEnvironment env;
    const std::pair<int, std::optional<CardError>> cases[] = {
        { 0, CardError::notDetermined },
        { 1, CardError::restricted },
        { 2, CardError::denied },
        { 3, std::nullopt },
        { 4, CardError::authorizedWhenInUse },
        { 5, CardError::unknown },
        { -1, CardError::unknown },
    };
    for (const auto& [status, expected] : cases) {
        SCOPED_TRACE(status);
        auto error = thrownBy([status = status] { checkLocationAuthorization(status); });
        EXPECT_EQ(error, expected ? std::optional(make_error_code(*expected)) : std::nullopt);
    }
}

} // namespace
} // namespace lumitrex
