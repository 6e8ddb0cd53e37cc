#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// One property-list value: what Info.plist, string tables and the user
// defaults hold. Dates are kept as seconds since 2001-01-01, the plist epoch.
class PlistValue {
public:
    using Array = std::vector<PlistValue>;
    using Dictionary = std::map<std::string, PlistValue>;
    using Data = std::vector<std::uint8_t>;
    struct Date {
        double secondsSinceReferenceDate = 0;
        bool operator==(const Date&) const = default;
    };
    using Storage = std::variant<bool, std::int64_t, double, std::string, Data, Date, Array, Dictionary>;

    PlistValue(bool value) : storage_(value) { }
    PlistValue(int value) : storage_(std::int64_t { value }) { }
    PlistValue(std::int64_t value) : storage_(value) { }
    PlistValue(double value) : storage_(value) { }
    PlistValue(const char* value) : storage_(std::string(value)) { }
    PlistValue(std::string value) : storage_(std::move(value)) { }
    PlistValue(Data value) : storage_(std::move(value)) { }
    PlistValue(Date value) : storage_(value) { }
    PlistValue(Array value) : storage_(std::move(value)) { }
    PlistValue(Dictionary value) : storage_(std::move(value)) { }

    template<typename T> bool is() const { return std::holds_alternative<T>(storage_); }
    template<typename T> const T* get() const { return std::get_if<T>(&storage_); }
    template<typename T> T* get() { return std::get_if<T>(&storage_); }
    const Storage& storage() const { return storage_; }

    bool operator==(const PlistValue&) const = default;

private:
    Storage storage_;
};

// Reads an XML or binary property list; nothing when the bytes are not one,
// or when a string or key in it holds a NUL character.
std::optional<PlistValue> parsePropertyList(std::string_view bytes);
std::optional<PlistValue> readPropertyListFile(const std::filesystem::path& path);
// The XML form of `value`.
std::string serializePropertyList(const PlistValue& value);

} // namespace platform
