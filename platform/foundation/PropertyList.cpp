#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

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
        char* value = nullptr;
        plist_get_string_val(node, &value);
        std::string text = value ? value : "";
        free(value);
        return PlistValue(std::move(text));
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

std::optional<PlistValue> parsePropertyList(const std::string& bytes)
{
    if (bytes.empty() || bytes.size() > UINT32_MAX)
        return std::nullopt;
    plist_t root = nullptr;
    if (bytes.rfind("bplist00", 0) == 0)
        plist_from_bin(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
    else
        plist_from_xml(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &root);
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
