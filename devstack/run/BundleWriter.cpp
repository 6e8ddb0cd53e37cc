#include "devstack/run/BundleWriter.h"

#include "devstack/run/DevstackServices.h"

#include "TOLVEN/signin/GatewayConfiguration.h"
#include "platform/foundation/AtomicFile.h"
#include "platform/foundation/PropertyList.h"

#include <stdexcept>

namespace devstack {

namespace {

using platform::PlistValue;

PlistValue::Dictionary readDictionary(const std::filesystem::path& path)
{
    auto value = platform::readPropertyListFile(path);
    if (!value || !value->is<PlistValue::Dictionary>())
        throw std::runtime_error("not a property list of keys and values: " + path.string());
    return *value->get<PlistValue::Dictionary>();
}

void writeDictionary(const std::filesystem::path& path, const PlistValue::Dictionary& values)
{
    if (!platform::writeFileAtomically(path, platform::serializePropertyList(values)))
        throw std::runtime_error("cannot write " + path.string());
}

} // namespace

BundleWriter::BundleWriter(std::filesystem::path resources)
    : resources_(std::move(resources))
{
}

std::filesystem::path BundleWriter::write(const std::filesystem::path& destination, const DevstackServices& services,
    const std::string& mobileCardKey) const
{
    return write(destination, { services.gateway().hostAndPort(), services.identity().issuer(), services.cardIssuer().baseUrl() },
        mobileCardKey);
}

std::filesystem::path BundleWriter::write(const std::filesystem::path& destination, const Addresses& addresses,
    const std::string& mobileCardKey) const
{
    const std::string https = "https://";
    if (!addresses.identityIssuer.starts_with(https))
        throw std::runtime_error("the identity provider's issuer is not an https address: " + addresses.identityIssuer);
    const auto identityHost = addresses.identityIssuer.substr(https.size(), addresses.identityIssuer.find('/', https.size()) - https.size());

    std::error_code error;
    std::filesystem::remove_all(destination, error);
    std::filesystem::create_directories(destination, error);
    if (!error)
        std::filesystem::copy(resources_, destination, std::filesystem::copy_options::recursive, error);
    if (error)
        throw std::runtime_error("cannot copy " + resources_.string() + " to " + destination.string() + ": " + error.message());

    auto info = readDictionary(resources_ / "Info.plist");
    info.insert_or_assign(tolven::GatewayConfiguration::gatewayHostKey, PlistValue(addresses.gatewayHost));
    info.insert_or_assign(tolven::GatewayConfiguration::identityHostKey, PlistValue(identityHost));
    info.insert_or_assign("MobileCard Server URL", PlistValue(addresses.cardIssuerUrl));
    info.insert_or_assign("Mobile Card Key", PlistValue(mobileCardKey));
    writeDictionary(destination / "Info.plist", info);

    auto okta = readDictionary(resources_ / "Okta.plist");
    okta.insert_or_assign("issuer", PlistValue(addresses.identityIssuer));
    writeDictionary(destination / "Okta.plist", okta);
    return destination;
}

} // namespace devstack
