#include "rssi/RSSIHelper.h"

#include "platform/foundation/UserDefaults.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <optional>

namespace lumitrex {

namespace {

constexpr const char* storageKey = "rsscheck";
constexpr std::int64_t defaultValue = 70;
constexpr std::size_t listLength = 10;
constexpr std::int64_t unknownReaderThreshold = 70;
constexpr std::int64_t emptyHistoryThreshold = 60;

// The stored history, if it has the shape the library writes: an array of
// dictionaries from text to arrays of integers.
std::optional<std::vector<RSSIHelper::Entry>> decodeHistory(const platform::PlistValue& stored)
{
    const auto* array = stored.get<platform::PlistValue::Array>();
    if (!array)
        return std::nullopt;
    std::vector<RSSIHelper::Entry> history;
    for (const auto& element : *array) {
        const auto* dictionary = element.get<platform::PlistValue::Dictionary>();
        if (!dictionary)
            return std::nullopt;
        RSSIHelper::Entry entry;
        for (const auto& [reader, value] : *dictionary) {
            const auto* values = value.get<platform::PlistValue::Array>();
            if (!values)
                return std::nullopt;
            auto& list = entry[reader];
            for (const auto& number : *values) {
                const auto* integer = number.get<std::int64_t>();
                if (!integer)
                    return std::nullopt;
                list.push_back(*integer);
            }
        }
        history.push_back(std::move(entry));
    }
    return history;
}

platform::PlistValue encodeHistory(const std::vector<RSSIHelper::Entry>& history)
{
    platform::PlistValue::Array array;
    for (const auto& entry : history) {
        platform::PlistValue::Dictionary dictionary;
        for (const auto& [reader, values] : entry)
            dictionary.emplace(reader, platform::PlistValue::Array(values.begin(), values.end()));
        array.emplace_back(std::move(dictionary));
    }
    return array;
}

} // namespace

RSSIHelper::RSSIHelper()
    : tuneduuid_(listLength, defaultValue)
{
    auto stored = platform::UserDefaults::standard().objectForKey(storageKey);
    if (auto history = stored ? decodeHistory(*stored) : std::nullopt) {
        rssArr_ = std::move(*history);
        return;
    }
    rssArr_ = { Entry { { "0", tuneduuid_ } } };
    store();
}

std::int64_t RSSIHelper::thresholdFor(const std::string& reader)
{
    if (rssArr_.empty()) {
        rssArr_.push_back(Entry { { reader, tuneduuid_ } });
        return emptyHistoryThreshold;
    }
    for (const auto& entry : rssArr_) {
        auto found = entry.find(reader);
        if (found == entry.end())
            continue;
        const auto& values = found->second;
        // Only tables written elsewhere hold empty lists; such a reader is
        // treated as one the history does not know.
        if (values.empty())
            return unknownReaderThreshold;
        // Stored values may be anything; a wide sum cannot overflow.
        __int128 sum = std::accumulate(values.begin(), values.end(), __int128 { 0 });
        __int128 average = sum / static_cast<__int128>(listLength);
        return static_cast<std::int64_t>(std::clamp<__int128>(average,
            std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()));
    }
    return unknownReaderThreshold;
}

bool RSSIHelper::hasReader(const std::string& reader) const
{
    return std::any_of(rssArr_.begin(), rssArr_.end(), [&](const Entry& entry) { return entry.contains(reader); });
}

void RSSIHelper::addRssi(const std::string& reader, std::int64_t value)
{
    for (auto& entry : rssArr_) {
        auto found = entry.find(reader);
        if (found == entry.end())
            continue;
        auto values = std::move(found->second);
        if (!values.empty()) {
            values.insert(values.begin(), value);
            values.pop_back();
        }
        // The entry is rebuilt with this reader alone.
        entry = Entry { { reader, std::move(values) } };
    }
}

void RSSIHelper::saveRssiHistory(const std::string& reader, std::int64_t value)
{
    auto clamped = std::clamp(value, minRssi, maxRssi);
    tuneduuid_[0] = clamped;
    bool known = hasReader(reader);
    if (rssArr_.size() <= arrayMaxCnt) {
        if (known)
            addRssi(reader, clamped);
        else
            rssArr_.push_back(Entry { { reader, tuneduuid_ } });
    } else if (known) {
        addRssi(reader, clamped);
    } else {
        rssArr_.erase(rssArr_.begin());
        rssArr_.push_back(Entry { { reader, tuneduuid_ } });
    }
    store();
}

void RSSIHelper::store() const
{
    platform::UserDefaults::standard().setObject(storageKey, encodeHistory(rssArr_));
}

} // namespace lumitrex
