#include "platform/net/CurlCommand.h"

#include "platform/net/MaskedJson.h"
#include "platform/net/MaskedSecret.h"

#include <vector>

namespace platform {

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string maskedBody(const HttpRequest& request)
{
    auto type = request.headers.value("Content-Type").value_or("");
    if (type.find("x-www-form-urlencoded") != std::string::npos)
        return maskedFormBody(request.body);
    if (type.find("json") != std::string::npos)
        return maskedTokenFields(request.body);
    return request.body;
}

} // namespace

std::string curlCommandFor(const HttpRequest& request)
{
    std::vector<std::string> parts { "$ curl -v" };
    if (request.method != HttpMethod::get())
        parts.push_back("-X " + request.method.rawValue);
    for (const auto& header : request.headers)
        parts.push_back("-H " + shellQuoted(header.name + ": " + maskedHeaderValue(header.name, header.value)));
    if (!request.body.empty())
        parts.push_back("-d " + shellQuoted(maskedBody(request)));
    parts.push_back(shellQuoted(request.url));
    std::string command;
    for (const auto& part : parts) {
        if (!command.empty())
            command += " \\\n\t";
        command += part;
    }
    return command;
}

} // namespace platform
