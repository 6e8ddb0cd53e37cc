#include "platform/ui/graphics/TextMeasurement.h"

#include "platform/ui/graphics/FontBackend.h"
#include "platform/ui/graphics/TextLayout.h"

#include <optional>
#include <string>
#include <unordered_map>

namespace platform::ui {

namespace {

// Layout passes measure the same labels again and again; Pango takes tens of
// microseconds per text, a lookup far less. The cache forgets everything when
// it is full or when the font configuration changes.
class MeasurementCache {
public:
    std::optional<TextMeasurement> find(std::string_view text, const Font& font, const TextOptions& options)
    {
        if (context_ != pangoContext()) {
            entries_.clear();
            context_ = pangoContext();
        }
        key_ = keyFor(text, font, options);
        auto found = entries_.find(key_);
        if (found == entries_.end())
            return std::nullopt;
        return found->second;
    }

    void store(const TextMeasurement& measurement)
    {
        if (entries_.size() >= capacity)
            entries_.clear();
        entries_.emplace(std::move(key_), measurement);
    }

private:
    static constexpr std::size_t capacity = 4096;

    static std::string keyFor(std::string_view text, const Font& font, const TextOptions& options)
    {
        std::string key;
        key.reserve(text.size() + font.name.size() + 96);
        key.append(font.name).push_back('\0');
        for (double number : { font.pointSize, options.widthLimit, options.minimumScaleFactor })
            key.append(reinterpret_cast<const char*>(&number), sizeof number);
        for (int flag : { static_cast<int>(font.weight), options.numberOfLines, static_cast<int>(options.lineBreakMode),
                 static_cast<int>(options.adjustsFontSizeToFitWidth) })
            key.append(reinterpret_cast<const char*>(&flag), sizeof flag);
        key.append(text);
        return key;
    }

    std::unordered_map<std::string, TextMeasurement> entries_;
    std::string key_;
    PangoContext* context_ = nullptr;
};

} // namespace

TextMeasurement measureText(std::string_view text, const Font& font, const TextOptions& options)
{
    static MeasurementCache cache;
    if (auto known = cache.find(text, font, options))
        return *known;
    auto measurement = layOutText(text, font, options).measurement;
    cache.store(measurement);
    return measurement;
}

} // namespace platform::ui
