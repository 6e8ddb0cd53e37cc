#pragma once

#include "crypto/CryptoDeviceOperations.h"

#include <optional>
#include <string>

namespace lumitrex {

namespace testing {
struct CardDataAccess;
}

// The card's data: the card number in hex form, the site number and the
// mobile key, with the crypto device that derives the key and stamps the
// packets. All three are absent until the first setData succeeds.
class CardData {
public:
    // The rules of MobileCard::setData: throws DataError or KeyError. A
    // missing or duplicate key has replaced the two numbers when it is
    // reported; any other error leaves everything as it was.
    void setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid, const std::optional<std::string>& key);

    // 16 upper-case hex digits of the card number's decimal pairs.
    const std::optional<std::string>& uid() const { return uid_; }
    // The site number as it was given.
    const std::optional<std::string>& mid() const { return mid_; }
    // 32 lower-case hex digits.
    const std::optional<std::string>& mobileKey() const { return mkey_; }

    const CryptoDeviceOperations& crypto() const { return crypto_; }

private:
    // Tests put the data in states that setData never leaves.
    friend struct testing::CardDataAccess;

    std::optional<std::string> uid_;
    std::optional<std::string> mid_;
    std::optional<std::string> mkey_;
    const CryptoDeviceOperations crypto_;
};

} // namespace lumitrex
