#pragma once

#include "lumitrex/CryptoDevice.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumitrex {

// The card-key operations of the crypto device, internal to the library.
// Safe to share between threads.
class CryptoDeviceOperations final : public CryptoDevice {
public:
    CryptoDeviceOperations();
    ~CryptoDeviceOperations();
    CryptoDeviceOperations(const CryptoDeviceOperations&) = delete;
    CryptoDeviceOperations& operator=(const CryptoDeviceOperations&) = delete;

    // Each pair of decimal digits as one byte in two upper-case hex digits:
    // "1234567890123456" gives "0C22384E5A0C2238". A trailing odd digit is ignored.
    // Callers pass only digits.
    std::string uidDigitsToHex(std::string_view digits) const;

    // The card key text behind a Base64 card key (AES-CBC, PKCS#5). Absent when
    // the cipher fails (the reason goes to the console) or the plain text is not
    // UTF-8. Text that is not strict Base64 is decrypted as an empty ciphertext.
    std::optional<std::string> decryptCardKey(std::string_view base64CardKey) const;

    // The mobile key, 32 lower-case hex digits, for a card number in hex form and
    // a decrypted card key (hex). Empty when the card key is refused as an AES key.
    std::string deriveMobileKey(std::string_view uidHex, std::string_view cardKey) const;

    // "yyyyMMddHHmmss" of the platform clock's now, in the device's time zone.
    std::string timestampString() const;

private:
    struct TimestampCache;
    std::unique_ptr<TimestampCache> timestamps_;
};

} // namespace lumitrex
