#include "crypto/PacketBuilder.h"

#include "crypto/ByteTransforms.h"

#include <algorithm>

namespace lumitrex {

namespace {

constexpr std::size_t tsLength = 8;

// The bytes of "00" + the timestamp: 00, century, year, month, day, hour,
// minute, second, each two BCD digits. A malformed timestamp gives none.
struct TimestampBytes {
    std::array<std::uint8_t, 16> bytes {};
    std::size_t size = 0;

    explicit TimestampBytes(std::string_view timestamp)
    {
        if (auto parsed = bytesFromHex(timestamp, std::span(bytes).subspan(1)))
            size = 1 + *parsed;
    }
    std::span<const std::uint8_t> view() const { return std::span(bytes).first(size); }
};

// tsBlock[k] = ts8[k] and tsBlock[15 - k] = ts8[k] bit-reversed.
std::array<std::uint8_t, 16> timestampBlock(const TimestampBytes& ts)
{
    std::array<std::uint8_t, 16> block {};
    for (std::size_t k = 0; k < std::min(ts.size, tsLength); ++k) {
        block[k] = ts.bytes[k];
        block[15 - k] = permuteBits(ts.bytes[k]);
    }
    return block;
}

// Appends the bytes of `hex`; nothing when it is not hex.
void appendHexBytes(Bytes& out, std::string_view hex)
{
    auto start = out.size();
    out.resize(start + hex.size() / 2);
    if (!bytesFromHex(hex, std::span(out).subspan(start)))
        out.resize(start);
}

} // namespace

PacketPair buildAdvertisingPackets(std::string_view uidHex, std::string_view midHex, std::string_view mkeyHex,
    std::string_view timestamp14, const std::array<std::uint8_t, 16>& iv)
{
    TimestampBytes ts(timestamp14);
    auto tsBlock = timestampBlock(ts);

    PacketPair packets;
    packets.first.reserve(uidHex.size() / 2 + ts.size);
    appendHexBytes(packets.first, uidHex);
    packets.first.insert(packets.first.end(), ts.view().begin(), ts.view().end());

    // The key chain: E1 = AES(tsBlock, mobile key), E2 = AES(tsBlock, E1),
    // E3 = AES(site number + ts8, E2). A failed step leaves an empty key for
    // the next, so one failure empties the rest of the chain.
    std::array<std::uint8_t, 32> mobileKey {};
    std::span<const std::uint8_t> key;
    Bytes oversizedKey;
    if (auto length = bytesFromHex(mkeyHex, mobileKey)) {
        key = std::span(mobileKey).first(*length);
    } else {
        oversizedKey = bytesFromHex(mkeyHex);
        key = oversizedKey;
    }

    std::array<std::uint8_t, 16> e1 {};
    std::array<std::uint8_t, 16> e2 {};
    bool haveE1 = encryptNoPaddingInto(tsBlock, key, iv, e1);
    bool haveE2 = encryptNoPaddingInto(tsBlock, haveE1 ? std::span<const std::uint8_t>(e1) : std::span<const std::uint8_t>(), iv, e2);

    Bytes& e3 = packets.second;
    e3.reserve(midHex.size() / 2 + ts.size);
    appendHexBytes(e3, midHex);
    e3.insert(e3.end(), ts.view().begin(), ts.view().end());
    // Encrypted in place: CBC allows the output to be the input.
    if (!encryptNoPaddingInto(e3, haveE2 ? std::span<const std::uint8_t>(e2) : std::span<const std::uint8_t>(), iv, e3))
        e3.clear();
    return packets;
}

PacketPair reversedForConnection(PacketPair packets)
{
    std::reverse(packets.first.begin(), packets.first.end());
    std::reverse(packets.second.begin(), packets.second.end());
    return packets;
}

} // namespace lumitrex
