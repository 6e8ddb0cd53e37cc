#include "platform/foundation/StringsTable.h"

#include "platform/foundation/PropertyList.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace platform {

namespace {

// ICU counts in 32-bit integers, and UTF-8 takes up to three bytes per unit.
constexpr std::size_t largestTable = INT32_MAX / 3;

void appendCodePoint(std::string& text, UChar32 codePoint)
{
    std::uint8_t buffer[U8_MAX_LENGTH];
    std::int32_t length = 0;
    U8_APPEND_UNSAFE(buffer, length, codePoint);
    text.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

std::optional<std::string> utf8FromUtf16(std::string_view bytes, bool bigEndian, std::string& error)
{
    if (bytes.size() % 2 != 0) {
        error = "UTF-16 text of odd length";
        return std::nullopt;
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        auto first = static_cast<std::uint8_t>(bytes[2 * i]);
        auto second = static_cast<std::uint8_t>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    std::int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(nullptr, 0, &length, units.data(), static_cast<std::int32_t>(units.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        error = "UTF-16 text with an unpaired surrogate";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8(text.data(), length, &length, units.data(), static_cast<std::int32_t>(units.size()), &status);
    if (U_FAILURE(status)) {
        error = "UTF-16 text with an unpaired surrogate";
        return std::nullopt;
    }
    return text;
}

bool isWellFormedUtf8(std::string_view text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t at = 0; at < length;) {
        UChar32 codePoint = 0;
        U8_NEXT(bytes, at, length, codePoint);
        if (codePoint < 0)
            return false;
    }
    return true;
}

// The file's text in UTF-8, whatever byte-order mark it starts with.
std::optional<std::string> decodeText(std::string_view bytes, std::string& error)
{
    if (bytes.starts_with("\xFF\xFE"))
        return utf8FromUtf16(bytes.substr(2), false, error);
    if (bytes.starts_with("\xFE\xFF"))
        return utf8FromUtf16(bytes.substr(2), true, error);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (!isWellFormedUtf8(bytes)) {
        error = "neither UTF-8 nor UTF-16 with a byte-order mark";
        return std::nullopt;
    }
    return std::string(bytes);
}

std::optional<StringsTable> fromPropertyList(std::string_view bytes, std::string& error)
{
    auto list = parsePropertyList(bytes);
    auto* dictionary = list ? list->get<PlistValue::Dictionary>() : nullptr;
    if (!dictionary) {
        error = "not a property list of texts";
        return std::nullopt;
    }
    StringsTable table;
    for (const auto& [key, value] : *dictionary) {
        if (auto* text = value.get<std::string>())
            table.emplace(key, *text);
    }
    return table;
}

// The classic form: `"key" = "value";` or `"key";` (the key is its own
// translation), optionally inside one pair of braces, with /* */ and //
// comments between tokens. Later entries replace earlier ones.
class ClassicParser {
public:
    explicit ClassicParser(std::string_view text)
        : text_(text)
    {
    }

    std::optional<StringsTable> parse(std::string& error)
    {
        StringsTable table;
        if (!parseEntries(table)) {
            error = error_;
            return std::nullopt;
        }
        return table;
    }

private:
    bool parseEntries(StringsTable& table)
    {
        if (!skipSpaceAndComments())
            return false;
        const bool braced = consume('{');
        for (;;) {
            if (!skipSpaceAndComments())
                return false;
            if (atEnd())
                return !braced || fail("missing \"}\"");
            if (braced && consume('}')) {
                if (!skipSpaceAndComments())
                    return false;
                return atEnd() || fail("text after \"}\"");
            }
            std::string key;
            if (!readString(key, "a key"))
                return false;
            std::string value = key;
            if (!skipSpaceAndComments())
                return false;
            if (consume('=')) {
                if (!skipSpaceAndComments() || !readString(value, "a value") || !skipSpaceAndComments())
                    return false;
            }
            if (!consume(';'))
                return fail("expected \";\"");
            table.insert_or_assign(std::move(key), std::move(value));
        }
    }

    bool atEnd() const { return at_ >= text_.size(); }

    bool consume(char c)
    {
        if (atEnd() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }

    bool fail(std::string what)
    {
        auto line = 1 + std::count(text_.begin(), text_.begin() + static_cast<std::ptrdiff_t>(std::min(at_, text_.size())), '\n');
        error_ = "line " + std::to_string(line) + ": " + std::move(what);
        return false;
    }

    bool skipSpaceAndComments()
    {
        while (!atEnd()) {
            char c = text_[at_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
                ++at_;
            } else if (text_.substr(at_).starts_with("//")) {
                auto end = text_.find('\n', at_);
                at_ = end == std::string_view::npos ? text_.size() : end;
            } else if (text_.substr(at_).starts_with("/*")) {
                auto end = text_.find("*/", at_ + 2);
                if (end == std::string_view::npos)
                    return fail("unterminated comment");
                at_ = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    static bool isUnquotedCharacter(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
            || c == '/' || c == ':' || c == '.' || c == '-';
    }

    bool readString(std::string& out, const char* what)
    {
        out.clear();
        if (consume('"'))
            return readQuoted(out);
        while (!atEnd() && isUnquotedCharacter(text_[at_]))
            out += text_[at_++];
        return !out.empty() || fail(std::string("expected ") + what);
    }

    bool readQuoted(std::string& out)
    {
        for (;;) {
            if (atEnd())
                return fail("unterminated string");
            char c = text_[at_++];
            if (c == '"')
                return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (atEnd())
                return fail("unterminated string");
            if (!readEscape(out))
                return false;
        }
    }

    // Up to `maximum` digits of `base` at the cursor; nothing when there are none.
    std::optional<std::uint32_t> readDigits(int base, int maximum)
    {
        std::uint32_t value = 0;
        int count = 0;
        for (; count < maximum && !atEnd(); ++count) {
            char c = text_[at_];
            int digit = c >= '0' && c <= '9' ? c - '0'
                : c >= 'a' && c <= 'f'       ? c - 'a' + 10
                : c >= 'A' && c <= 'F'       ? c - 'A' + 10
                                             : 99;
            if (digit >= base)
                break;
            value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
            ++at_;
        }
        return count ? std::optional(value) : std::nullopt;
    }

    bool readEscape(std::string& out)
    {
        char c = text_[at_];
        if (c >= '0' && c <= '7') {
            auto value = readDigits(8, 3);
            if (*value == 0)
                return fail("NUL character");
            if (*value > 0x7F)
                return fail("octal escape beyond ASCII");
            out += static_cast<char>(*value);
            return true;
        }
        ++at_;
        switch (c) {
        case 'a': out += '\a'; return true;
        case 'b': out += '\b'; return true;
        case 'f': out += '\f'; return true;
        case 'n': out += '\n'; return true;
        case 'r': out += '\r'; return true;
        case 't': out += '\t'; return true;
        case 'v': out += '\v'; return true;
        case 'U':
        case 'u': return readUnicodeEscape(out);
        default:
            // \" \\ \' and any other character stand for themselves.
            out += c;
            return true;
        }
    }

    // \U followed by up to four hex digits: one UTF-16 unit, so a character
    // beyond the first plane takes two escapes, a surrogate pair.
    bool readUnicodeEscape(std::string& out)
    {
        auto unit = readDigits(16, 4);
        if (!unit)
            return fail("\\U without hex digits");
        UChar32 codePoint = static_cast<UChar32>(*unit);
        if (U16_IS_LEAD(codePoint)) {
            auto save = at_;
            std::optional<std::uint32_t> trail;
            if (consume('\\') && (consume('U') || consume('u')))
                trail = readDigits(16, 4);
            if (!trail || !U16_IS_TRAIL(*trail)) {
                at_ = save;
                return fail("unpaired surrogate");
            }
            codePoint = U16_GET_SUPPLEMENTARY(codePoint, static_cast<UChar32>(*trail));
        } else if (U16_IS_TRAIL(codePoint)) {
            return fail("unpaired surrogate");
        }
        if (codePoint == 0)
            return fail("NUL character");
        appendCodePoint(out, codePoint);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

} // namespace

std::optional<StringsTable> parseStringsTable(std::string_view bytes, std::string& error)
{
    error.clear();
    if (bytes.size() > largestTable) {
        error = "too large";
        return std::nullopt;
    }
    if (bytes.starts_with("bplist00"))
        return fromPropertyList(bytes, error);
    auto text = decodeText(bytes, error);
    if (!text)
        return std::nullopt;
    if (text->find('\0') != std::string::npos) {
        error = "NUL character";
        return std::nullopt;
    }
    auto start = text->find_first_not_of(" \t\r\n");
    if (start != std::string::npos && (*text)[start] == '<')
        return fromPropertyList(*text, error);
    return ClassicParser(*text).parse(error);
}

} // namespace platform
