#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::testing {

// A binary property list of one dictionary {key: value}; `key` and `value`
// are string objects already encoded: the marker byte (0x5N for N ASCII
// characters, 0x6N for N UTF-16 units), then the characters.
inline std::string binaryDictionary(std::string_view key, std::string_view value)
{
    std::string bytes = "bplist00";
    std::vector<std::size_t> offsets;
    for (std::string_view object : { std::string_view("\xD1\x01\x02"), key, value }) {
        offsets.push_back(bytes.size());
        bytes += object;
    }
    const std::size_t table = bytes.size();
    for (auto offset : offsets)
        bytes += static_cast<char>(offset);
    bytes += std::string(6, '\0');
    bytes += "\x01\x01"; // one-byte offsets and object references
    for (std::uint64_t field : { std::uint64_t { offsets.size() }, std::uint64_t { 0 }, std::uint64_t { table } }) {
        for (int shift = 56; shift >= 0; shift -= 8)
            bytes += static_cast<char>((field >> shift) & 0xFF);
    }
    return bytes;
}

struct DamagedPropertyList {
    const char* name;
    std::string bytes;
};

// Files a store must take for damaged: one that is no property list, and
// lists that libplist reads but that hold a NUL inside a string or a key.
inline std::vector<DamagedPropertyList> damagedPropertyLists()
{
    using namespace std::string_literals;
    return {
        { "not a property list", "not a property list" },
        { "XML, NUL in a string", "<plist version=\"1.0\"><dict><key>k</key><string>a\0b</string></dict></plist>"s },
        { "XML, NUL in a key", "<plist version=\"1.0\"><dict><key>k\0y</key><string>ab</string></dict></plist>"s },
        { "XML, NUL in CDATA", "<plist version=\"1.0\"><dict><key>k</key><string><![CDATA[a\0b]]></string></dict></plist>"s },
        { "binary, NUL in an ASCII string", binaryDictionary("\x51k", "\x53" "a\0b"s) },
        { "binary, NUL in an ASCII key", binaryDictionary("\x53k\0y"s, "\x51v") },
        { "binary, NUL in a UTF-16 string", binaryDictionary("\x51k", "\x63\0a\0\0\0b"s) },
        { "binary, NUL in a UTF-16 key", binaryDictionary("\x63\0k\0\0\0y"s, "\x51v") },
    };
}

} // namespace platform::testing
