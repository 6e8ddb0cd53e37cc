#include "platform/net/HttpHeaderList.h"

#include <algorithm>

namespace platform {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

HttpHeaderList::HttpHeaderList(std::initializer_list<HttpHeader> headers)
{
    for (const auto& header : headers)
        update(header.name, header.value);
}

HttpHeaderList::HttpHeaderList(const std::map<std::string, std::string>& map)
{
    for (const auto& [name, value] : map)
        update(name, value);
}

void HttpHeaderList::update(std::string_view name, std::string value)
{
    auto existing = std::find_if(headers_.begin(), headers_.end(), [&](const HttpHeader& header) { return equalsIgnoringCase(header.name, name); });
    if (existing != headers_.end())
        existing->value = std::move(value);
    else
        headers_.push_back(HttpHeader { std::string(name), std::move(value) });
}

void HttpHeaderList::remove(std::string_view name)
{
    std::erase_if(headers_, [&](const HttpHeader& header) { return equalsIgnoringCase(header.name, name); });
}

std::optional<std::string> HttpHeaderList::value(std::string_view name) const
{
    for (const auto& header : headers_) {
        if (equalsIgnoringCase(header.name, name))
            return header.value;
    }
    return std::nullopt;
}

std::map<std::string, std::string> HttpHeaderList::toMap() const
{
    std::map<std::string, std::string> map;
    for (const auto& header : headers_)
        map.insert_or_assign(header.name, header.value);
    return map;
}

} // namespace platform
