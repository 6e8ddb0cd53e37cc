#include "errors/LocalizedErrorCategory.h"

#include "platform/foundation/Bundle.h"

namespace lumitrex {

LocalizedErrorCategory::LocalizedErrorCategory(const char* name, std::span<const std::string_view> englishTexts)
    : name_(name)
    , englishTexts_(englishTexts)
{
}

std::string LocalizedErrorCategory::message(int value) const
{
    if (value < 0 || static_cast<std::size_t>(value) >= englishTexts_.size())
        return std::string(name_) + " " + std::to_string(value);
    // The host's bundle, not the library's: the host owns the translations.
    return platform::Bundle::main().localizedString(std::string(englishTexts_[value]));
}

} // namespace lumitrex
