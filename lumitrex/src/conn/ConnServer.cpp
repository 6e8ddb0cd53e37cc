#include "conn/ConnServer.h"

#include "platform/foundation/Bundle.h"

namespace lumitrex {

namespace {

const char* const kDefaultServer = "https://mcard.orvix.co.kr";
const char* const kServerKey = "MobileCard Server URL";

} // namespace

std::string connServerUrl()
{
    std::string url = kDefaultServer;
    if (auto configured = platform::Bundle::main().objectForInfoDictionaryKey(kServerKey); configured && configured->is<std::string>()) {
        // Only TLS: the envelope carries the device's identifier.
        if (const auto& text = *configured->get<std::string>(); text.starts_with("https://"))
            url = text;
    }
    while (url.ends_with('/'))
        url.pop_back();
    return url;
}

} // namespace lumitrex
