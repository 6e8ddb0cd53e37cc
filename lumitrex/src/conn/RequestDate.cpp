#include "conn/RequestDate.h"

#include "platform/foundation/DateFormatter.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace lumitrex {

namespace {

const std::string kBeforeNoon = "오전";
const std::string kAfterNoon = "오후";

std::vector<std::string> split(const std::string& text, char separator, bool dropEmpty)
{
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream stream(text);
    while (std::getline(stream, piece, separator)) {
        if (!dropEmpty || !piece.empty())
            pieces.push_back(piece);
    }
    if (!dropEmpty && !text.empty() && text.back() == separator)
        pieces.emplace_back();
    return pieces;
}

std::string replaced(std::string text, const std::string& marker)
{
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at + 1))
        text.replace(at, marker.size(), " ");
    return text;
}

int hourNumber(const std::string& hour)
{
    int value = 0;
    auto [end, error] = std::from_chars(hour.data(), hour.data() + hour.size(), value);
    if (error != std::errc() || end != hour.data() + hour.size())
        return 0;
    return value;
}

} // namespace

std::string foldTwelveHourRendering(const std::string& formatted)
{
    bool beforeNoon = formatted.find(kBeforeNoon) != std::string::npos;
    if (!beforeNoon && formatted.find(kAfterNoon) == std::string::npos)
        return formatted;

    auto pieces = split(replaced(formatted, beforeNoon ? kBeforeNoon : kAfterNoon), ' ', true);
    if (pieces.size() != 2)
        return {};
    auto time = split(pieces[1], ':', false);
    if (time.size() != 3)
        return {};

    std::string hour = time[0];
    if (beforeNoon) {
        if (hour == "12")
            hour = "00";
        else if (hour.size() != 2)
            hour = "0" + hour;
    } else if (int value = hourNumber(hour); value < 12) {
        hour = std::to_string(value + 12);
    }
    return pieces[0] + " " + hour + ":" + time[1] + ":" + time[2];
}

std::string requestDateString()
{
    static const platform::DateFormatter formatter("yyyy-MM-dd HH:mm:ss", "ko_kr");
    return foldTwelveHourRendering(formatter.string(platform::clock().now()));
}

} // namespace lumitrex
