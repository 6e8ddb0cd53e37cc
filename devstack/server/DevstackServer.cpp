#include "devstack/server/DevstackServer.h"

#include "platform/net/CertificateAuthorities.h"

namespace devstack {

DevCertificates prepareDevstackTls(const std::filesystem::path& dataFolder)
{
    auto certificates = DevCertificates::ensure(dataFolder / "devstack" / "tls");
    platform::setExtraCertificateAuthorityFile(certificates.caFile);
    return certificates;
}

} // namespace devstack
