#include "platform/bluetooth/BluetoothUUID.h"

#include "platform/foundation/Hex.h"

namespace platform {

namespace {

bool isHyphenPosition(std::size_t index)
{
    return index == 8 || index == 13 || index == 18 || index == 23;
}

} // namespace

std::optional<BluetoothUUID> BluetoothUUID::fromString(std::string_view text)
{
    if (text.size() != 36)
        return std::nullopt;
    Bytes bytes {};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-')
                return std::nullopt;
            continue;
        }
        int value = hexDigitValue(text[i]);
        if (value < 0)
            return std::nullopt;
        bytes[nibble / 2] |= static_cast<std::uint8_t>(nibble % 2 == 0 ? value << 4 : value);
        ++nibble;
    }
    return BluetoothUUID(bytes);
}

std::optional<BluetoothUUID> BluetoothUUID::fromData(std::span<const std::uint8_t> data)
{
    if (data.size() != 16)
        return std::nullopt;
    Bytes bytes {};
    std::copy(data.begin(), data.end(), bytes.begin());
    return BluetoothUUID(bytes);
}

std::string BluetoothUUID::uuidString() const
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text.push_back('-');
        text.push_back(kDigits[bytes_[i] >> 4]);
        text.push_back(kDigits[bytes_[i] & 0x0F]);
    }
    return text;
}

} // namespace platform
