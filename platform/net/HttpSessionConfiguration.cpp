#include "platform/net/HttpSessionConfiguration.h"

#include "platform/foundation/Bundle.h"

#include <sys/utsname.h>

namespace platform {

namespace {

std::string infoText(const Bundle& bundle, const std::string& key)
{
    auto value = bundle.objectForInfoDictionaryKey(key);
    if (value && value->is<std::string>())
        return *value->get<std::string>();
    return {};
}

// "<name>/<version> (<bundle id>; build:<build>; <os> <release>) TolvenNet/1.0",
// so that servers can tell application, version and system apart.
std::string defaultUserAgent()
{
    auto& bundle = Bundle::main();
    std::string name = infoText(bundle, "CFBundleName");
    if (name.empty())
        name = infoText(bundle, "CFBundleExecutable");
    if (name.empty())
        name = "Unknown";
    std::string version = bundle.shortVersionString().value_or("Unknown");
    std::string identifier = bundle.bundleIdentifier();
    if (identifier.empty())
        identifier = "Unknown";
    std::string build = infoText(bundle, "CFBundleVersion");
    if (build.empty())
        build = "Unknown";
    std::string system = "Linux";
    if (utsname info {}; ::uname(&info) == 0)
        system = std::string(info.sysname) + " " + info.release;
    return name + "/" + version + " (" + identifier + "; build:" + build + "; " + system + ") TolvenNet/1.0";
}

} // namespace

HttpSessionConfiguration HttpSessionConfiguration::defaultConfiguration()
{
    HttpSessionConfiguration configuration;
    configuration.headers.update("Accept-Encoding", "gzip;q=1.0, deflate;q=0.9");
    configuration.headers.update("Accept-Language", "ko-KR;q=1.0, en;q=0.9");
    configuration.headers.update("User-Agent", defaultUserAgent());
    return configuration;
}

} // namespace platform
