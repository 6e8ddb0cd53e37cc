#pragma once

#include "crypto/AesCbc.h"
#include "crypto/Bytes.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace lumitrex {

// The two 16-byte packets of one build: P1 (card number and time) and E3 (the
// site number and time, encrypted with a key chained from the mobile key).
struct PacketPair {
    Bytes first;
    Bytes second;
};

// Builds P1 and E3 from the engine's texts and one 14-digit timestamp
// ("yyyyMMddHHmmss", from CryptoDeviceOperations::timestampString).
// - P1 = the bytes of `uidHex` followed by ts8 ("00" + timestamp as BCD). With
//   an empty (or non-hex) `uidHex` it is ts8 alone, 8 bytes.
// - E3 is empty when the chain fails: an empty or refused `mkeyHex` (each
//   refused step is written to the console, as by encryptNoPadding), or a
//   `midHex` that is not hex or does not make whole blocks with ts8.
// Pure apart from the console; two builds with the same timestamp are equal.
// Advertising uses (first, second) as they are; the connection payloads are
// their reverses, see reversedForConnection.
PacketPair buildAdvertisingPackets(std::string_view uidHex, std::string_view midHex, std::string_view mkeyHex,
    std::string_view timestamp14, const std::array<std::uint8_t, 16>& iv = kLibraryIv);

// The byte order of the connection payloads "vond1" and "vond2": both packets reversed.
PacketPair reversedForConnection(PacketPair packets);

} // namespace lumitrex
