#include "crypto/CryptoDeviceOperations.h"

#include "crypto/AesCbc.h"
#include "crypto/Base64.h"
#include "crypto/ByteTransforms.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/foundation/TimeZone.h"
#include "platform/net/Utf8.h"

#include <cstdio>
#include <mutex>

namespace lumitrex {

namespace {

constexpr std::string_view cardKeyDecryptionKey = "vond_qtrx_583940";

std::span<const std::uint8_t> utf8Bytes(std::string_view text)
{
    return { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() };
}

} // namespace

// Every packet build asks for the timestamp, several times a second; the text
// only changes with the second (or the device's time zone), so it is kept.
struct CryptoDeviceOperations::TimestampCache {
    platform::DateFormatter formatter { "yyyyMMddHHmmss", "ko_KR_POSIX" };
    std::mutex mutex;
    std::int64_t second = 0;
    std::uint64_t zoneGeneration = 0;
    std::string text;
};

CryptoDeviceOperations::CryptoDeviceOperations()
    : timestamps_(std::make_unique<TimestampCache>())
{
}

CryptoDeviceOperations::~CryptoDeviceOperations() = default;

std::string CryptoDeviceOperations::uidDigitsToHex(std::string_view digits) const
{
    auto digitValue = [](char c) { return c >= '0' && c <= '9' ? c - '0' : 0; };
    std::string hex;
    hex.reserve(digits.size());
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        char piece[3];
        std::snprintf(piece, sizeof piece, "%02X", digitValue(digits[i]) * 10 + digitValue(digits[i + 1]));
        hex.append(piece, 2);
    }
    return hex;
}

std::optional<std::string> CryptoDeviceOperations::decryptCardKey(std::string_view base64CardKey) const
{
    auto cipher = decodeBase64(base64CardKey).value_or(Bytes {});
    auto plain = decryptPkcs5(cipher, utf8Bytes(cardKeyDecryptionKey));
    if (plain.error) {
        platform::console("AES decryption error: " + *plain.error);
        return std::nullopt;
    }
    if (!platform::isValidUtf8({ reinterpret_cast<const char*>(plain.bytes.data()), plain.bytes.size() }))
        return std::nullopt;
    return std::string(plain.bytes.begin(), plain.bytes.end());
}

std::string CryptoDeviceOperations::deriveMobileKey(std::string_view uidHex, std::string_view cardKey) const
{
    auto uid = bytesFromHex(uidHex);
    auto keyPlain = bytesFromHex(std::string(uidHex) + hexString(reverseBitsEachByte(uid)));
    return lowerHexString(encryptNoPadding(keyPlain, bytesFromHex(cardKey)));
}

std::string CryptoDeviceOperations::timestampString() const
{
    auto now = platform::clock().now();
    auto second = std::chrono::floor<std::chrono::seconds>(now).time_since_epoch().count();
    auto zoneGeneration = platform::timeZoneGeneration();
    std::lock_guard lock(timestamps_->mutex);
    auto& cache = *timestamps_;
    if (cache.text.empty() || cache.second != second || cache.zoneGeneration != zoneGeneration) {
        cache.text = cache.formatter.string(now);
        cache.second = second;
        cache.zoneGeneration = zoneGeneration;
    }
    return cache.text;
}

} // namespace lumitrex
