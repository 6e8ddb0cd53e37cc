#pragma once

#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace lumitrex {

// The category shared by the library's error enumerations. A case's message is
// its English text looked up in the host application's string table on every
// read, so a translation the host adds shows on the next read.
class LocalizedErrorCategory final : public std::error_category {
public:
    // `name` and `englishTexts` must outlive the category; the texts are
    // indexed by case.
    LocalizedErrorCategory(const char* name, std::span<const std::string_view> englishTexts);

    const char* name() const noexcept override { return name_; }
    std::string message(int value) const override;

private:
    const char* name_;
    std::span<const std::string_view> englishTexts_;
};

} // namespace lumitrex
