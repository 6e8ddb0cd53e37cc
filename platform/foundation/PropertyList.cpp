#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace platform {

namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistFree>;

std::optional<PlistValue> fromNode(plist_t node, int depth)
{
    // A hostile file could nest deeply enough to exhaust the stack.
    if (!node || depth > 64)
        return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue(value != 0);
    }
    case PLIST_UINT: {
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return PlistValue(static_cast<std::int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue(value);
    }
    case PLIST_STRING: {
        // libplist asserts when a string's length and its C string disagree,
        // so read it with its length; a NUL inside makes the list damaged.
        std::uint64_t length = 0;
        const char* value = plist_get_string_ptr(node, &length);
        if (!value)
            return PlistValue(std::string());
        if (std::memchr(value, 0, length))
            return std::nullopt;
        return PlistValue(std::string(value, length));
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        std::uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        PlistValue::Data data(bytes, bytes + length);
        free(bytes);
        return PlistValue(std::move(data));
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        return PlistValue(PlistValue::Date { seconds + micros / 1e6 });
    }
    case PLIST_ARRAY: {
        PlistValue::Array array;
        for (std::uint32_t i = 0, n = plist_array_get_size(node); i < n; ++i) {
            auto item = fromNode(plist_array_get_item(node, i), depth + 1);
            if (!item)
                return std::nullopt;
            array.push_back(std::move(*item));
        }
        return PlistValue(std::move(array));
    }
    case PLIST_DICT: {
        PlistValue::Dictionary dictionary;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        for (;;) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, &key, &item);
            if (!key)
                break;
            std::string name = key;
            free(key);
            auto value = fromNode(item, depth + 1);
            if (!value) {
                free(iter);
                return std::nullopt;
            }
            dictionary.insert_or_assign(std::move(name), std::move(*value));
        }
        free(iter);
        return PlistValue(std::move(dictionary));
    }
    default:
        return std::nullopt;
    }
}

std::uint64_t readBigEndian(std::string_view bytes, std::size_t offset, std::size_t width)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

// Whether a string object of a binary list (ASCII or UTF-16, keys included)
// holds U+0000. libplist hands keys out only as C strings and aborts when one
// has a NUL inside, so such a list must be refused before it is walked. Any
// structure this scan cannot follow is left for libplist to judge.
bool binaryStringsContainNul(std::string_view bytes)
{
    constexpr std::size_t trailerSize = 32;
    if (bytes.size() < 8 + trailerSize)
        return false;
    const std::size_t trailer = bytes.size() - trailerSize;
    const std::size_t offsetSize = static_cast<std::uint8_t>(bytes[trailer + 6]);
    const std::uint64_t objectCount = readBigEndian(bytes, trailer + 8, 8);
    const std::uint64_t tableOffset = readBigEndian(bytes, trailer + 24, 8);
    if (offsetSize == 0 || offsetSize > 8 || tableOffset > trailer || objectCount > (trailer - tableOffset) / offsetSize)
        return false;

    for (std::uint64_t i = 0; i < objectCount; ++i) {
        std::uint64_t start = readBigEndian(bytes, tableOffset + i * offsetSize, offsetSize);
        if (start >= bytes.size())
            continue;
        const auto marker = static_cast<std::uint8_t>(bytes[start++]);
        const unsigned kind = marker >> 4;
        if (kind != 0x5 && kind != 0x6)
            continue;
        std::uint64_t length = marker & 0xF;
        if (length == 0xF) {
            if (start >= bytes.size() || static_cast<std::uint8_t>(bytes[start]) >> 4 != 0x1)
                continue;
            const std::size_t width = std::size_t { 1 } << (bytes[start] & 0xF);
            if (width > 8 || width > bytes.size() - start - 1)
                continue;
            length = readBigEndian(bytes, start + 1, width);
            start += 1 + width;
        }
        const std::uint64_t unit = kind == 0x5 ? 1 : 2;
        if (length > (bytes.size() - start) / unit)
            continue;
        auto text = bytes.substr(start, length * unit);
        for (std::size_t at = 0; at < text.size(); at += unit) {
            if (text[at] == 0 && (unit == 1 || text[at + 1] == 0))
                return true;
        }
    }
    return false;
}

plist_t toNode(const PlistValue& value)
{
    return std::visit(
        [](const auto& v) -> plist_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return plist_new_bool(v);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                // libplist keeps integers unsigned; negative values round-trip
                // through two's complement, as in the binary format.
                return plist_new_uint(static_cast<std::uint64_t>(v));
            } else if constexpr (std::is_same_v<T, double>) {
                return plist_new_real(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return plist_new_string(v.c_str());
            } else if constexpr (std::is_same_v<T, PlistValue::Data>) {
                return plist_new_data(reinterpret_cast<const char*>(v.data()), v.size());
            } else if constexpr (std::is_same_v<T, PlistValue::Date>) {
                auto whole = static_cast<std::int32_t>(v.secondsSinceReferenceDate);
                return plist_new_date(whole, static_cast<std::int32_t>((v.secondsSinceReferenceDate - whole) * 1e6));
            } else if constexpr (std::is_same_v<T, PlistValue::Array>) {
                plist_t array = plist_new_array();
                for (const auto& item : v)
                    plist_array_append_item(array, toNode(item));
                return array;
            } else {
                plist_t dictionary = plist_new_dict();
                for (const auto& [key, item] : v)
                    plist_dict_set_item(dictionary, key.c_str(), toNode(item));
                return dictionary;
            }
        },
        value.storage());
}

} // namespace

std::optional<PlistValue> parsePropertyList(std::string_view bytes)
{
    if (bytes.empty() || bytes.size() > UINT32_MAX)
        return std::nullopt;
    plist_t root = nullptr;
    // XML has no place for a NUL character; in either form one in a key would
    // abort inside libplist.
    if (bytes.rfind("bplist00", 0) == 0) {
        if (binaryStringsContainNul(bytes))
            return std::nullopt;
        plist_from_bin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    } else {
        if (bytes.find('\0') != std::string::npos)
            return std::nullopt;
        plist_from_xml(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    }
    PlistNode owner(root);
    return fromNode(root, 0);
}

std::optional<PlistValue> readPropertyListFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return parsePropertyList(bytes.str());
}

std::string serializePropertyList(const PlistValue& value)
{
    PlistNode root(toNode(value));
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    std::string text(xml ? xml : "", length);
    plist_to_xml_free(xml);
    return text;
}

} // namespace platform
