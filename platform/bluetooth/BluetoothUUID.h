#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// A 128-bit Bluetooth identifier. Its text form lists the 16 bytes in order,
// byte 0 first, as upper-case hex digits grouped 8-4-4-4-12. One made without
// a value is all zeros, so its text form begins with "00000000".
class BluetoothUUID {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    BluetoothUUID() = default;
    explicit BluetoothUUID(const Bytes& bytes)
        : bytes_(bytes)
    {
    }

    // From 8-4-4-4-12 text of either case; nothing for any other text.
    static std::optional<BluetoothUUID> fromString(std::string_view text);
    // From exactly 16 bytes; nothing for any other length.
    static std::optional<BluetoothUUID> fromData(std::span<const std::uint8_t> data);

    const Bytes& data() const { return bytes_; }
    std::string uuidString() const;

    bool operator==(const BluetoothUUID&) const = default;
    auto operator<=>(const BluetoothUUID&) const = default;

private:
    Bytes bytes_ {};
};

} // namespace platform

template<>
struct std::hash<platform::BluetoothUUID> {
    std::size_t operator()(const platform::BluetoothUUID& uuid) const noexcept
    {
        std::size_t value = 0;
        for (auto byte : uuid.data())
            value = value * 131 + byte;
        return value;
    }
};
