#include "errors/ConnError.h"
#include "lumitrex/CardError.h"
#include "lumitrex/DataError.h"
#include "lumitrex/Error.h"
#include "lumitrex/KeyError.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

namespace lumitrex {
namespace {

struct DescriptionCase {
    std::error_code code;
    const char* category;
    int index;
    const char* english;
};

const DescriptionCase kCases[] = {
    { KeyError::notFound, "lumitrex.KeyError", 0, "Cannot find mobile card key." },
    { KeyError::duplicate, "lumitrex.KeyError", 1, "Key is duplicated. Use only one key.(info.plist or function)" },
    { DataError::invalidDataSize, "lumitrex.DataError", 0, "Invalid data size (Data must be expected 16 digit)" },
    { DataError::invalidDataFormat, "lumitrex.DataError", 1, "Invalid data format (Data must be within Hex range)" },
    { DataError::invalidDataNumberFormat, "lumitrex.DataError", 2, "Invalid data format (Data must be numbers)" },
    { DataError::notBase64Format, "lumitrex.DataError", 3, "Mobile Card Key is not base64 format" },
    { CardError::success, "lumitrex.CardError", 0, "success" },
    { CardError::unknown, "lumitrex.CardError", 1, "This is a temporary state." },
    { CardError::resetting, "lumitrex.CardError", 2, "This state indicates that Bluetooth is trying to reconnect." },
    { CardError::unsupported, "lumitrex.CardError", 3,
        "A state that indicates this device doesn\xE2\x80\x99t support the Bluetooth low energy central or client role." },
    { CardError::unauthorized, "lumitrex.CardError", 4,
        "A state that indicates the application isn\xE2\x80\x99t authorized to use the Bluetooth low energy role." },
    { CardError::poweredOff, "lumitrex.CardError", 5, "A state that indicates Bluetooth is currently powered off." },
    { CardError::notDetermined, "lumitrex.CardError", 6, "The user has not chosen whether the app can use location services." },
    { CardError::restricted, "lumitrex.CardError", 7, "The app is not authorized to use location services." },
    { CardError::denied, "lumitrex.CardError", 8,
        "The user denied the use of location services for the app or they are disabled globally in Settings." },
    { CardError::authorizedAlways, "lumitrex.CardError", 9, "The user authorized the app to start location services at any time." },
    { CardError::authorizedWhenInUse, "lumitrex.CardError", 10,
        "The user authorized the app to start location services while it is in use." },
    { CardError::etc, "lumitrex.CardError", 11, "unknown error occured." },
    { ConnError::error1, "lumitrex.ConnError", 0, "error1" },
    { ConnError::error2, "lumitrex.ConnError", 1, "error2" },
};

TEST(ErrorDescriptionTests, EveryCaseHasItsCategoryIndexAndEnglishText)
{
    platform::TestEnvironment env;
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.english);
        EXPECT_STREQ(c.code.category().name(), c.category);
        EXPECT_EQ(c.code.value(), c.index);
        EXPECT_EQ(errorDescription(c.code), c.english);
    }
}

TEST(ErrorDescriptionTests, HostTranslationIsReadOnEveryLookUp)
{
    platform::TestEnvironment env;
    EXPECT_EQ(errorDescription(CardError::unknown), "This is a temporary state.");
    env.setLocalizedString("This is a temporary state.", "일시적인 상태입니다.");
    EXPECT_EQ(errorDescription(CardError::unknown), "일시적인 상태입니다.");
    EXPECT_EQ(errorDescription(std::error_code(CardError::unknown)), "일시적인 상태입니다.");
    // Other cases keep their English text.
    EXPECT_EQ(errorDescription(CardError::resetting), "This state indicates that Bluetooth is trying to reconnect.");
}

TEST(ErrorDescriptionTests, TranslationKeyWithAsciiApostropheDoesNotMatch)
{
    platform::TestEnvironment env;
    env.setLocalizedString("A state that indicates this device doesn't support the Bluetooth low energy central or client role.",
        "translated");
    EXPECT_NE(errorDescription(CardError::unsupported), "translated");
}

TEST(ErrorDescriptionTests, ThrownErrorsCarryTheirCode)
{
    platform::TestEnvironment env;
    try {
        throwError(CardError::poweredOff);
        FAIL() << "nothing thrown";
    } catch (const Error& error) {
        EXPECT_EQ(error.code(), CardError::poweredOff);
        EXPECT_STREQ(error.what(), "A state that indicates Bluetooth is currently powered off.");
    }
    EXPECT_THROW(throwError(KeyError::duplicate), std::system_error);
    // Both are case 3: only the category tells them apart.
    EXPECT_NE(make_error_code(CardError::unsupported), make_error_code(DataError::notBase64Format));
}

} // namespace
} // namespace lumitrex
