#include "devstack/server/DevCertificates.h"

#include "platform/foundation/AtomicFile.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace devstack {

namespace {

using KeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;

void check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("devstack certificates: ") + what);
}

KeyPointer makeKey()
{
    KeyPointer key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    check(key != nullptr, "cannot make a key");
    return key;
}

void addExtension(X509* certificate, X509* issuer, int nid, const char* value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value);
    check(extension != nullptr, "cannot make an extension");
    X509_add_ext(certificate, extension, -1);
    X509_EXTENSION_free(extension);
}

CertificatePointer makeCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey, long serial)
{
    CertificatePointer certificate(X509_new(), &X509_free);
    check(certificate != nullptr, "cannot make a certificate");
    X509* raw = certificate.get();
    X509_set_version(raw, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(raw), serial);
    // Valid from a day ago, so that clock skew between processes does not matter.
    X509_gmtime_adj(X509_getm_notBefore(raw), -24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(raw), 365L * 24 * 3600);
    X509_set_pubkey(raw, key);
    X509_NAME* name = X509_get_subject_name(raw);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Tolven devstack"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
    X509* signer = issuer ? issuer : raw;
    X509_set_issuer_name(raw, X509_get_subject_name(signer));
    if (!issuer) {
        addExtension(raw, raw, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(raw, raw, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(raw, raw, NID_subject_key_identifier, "hash");
    } else {
        addExtension(raw, signer, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(raw, signer, NID_key_usage, "critical,digitalSignature,keyEncipherment");
        addExtension(raw, signer, NID_ext_key_usage, "serverAuth");
        // "localhost" as well, so that a test can reach a service under a second host name.
        addExtension(raw, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        addExtension(raw, signer, NID_authority_key_identifier, "keyid");
    }
    check(X509_sign(raw, issuerKey, EVP_sha256()) > 0, "cannot sign");
    return certificate;
}

template<typename Write>
std::string pem(Write write)
{
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    check(bio && write(bio.get()), "cannot write PEM");
    char* data = nullptr;
    long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

bool usable(const DevCertificates& files)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(files.certificateFile.c_str(), "r"), &fclose);
    if (!file || !std::filesystem::exists(files.caFile) || !std::filesystem::exists(files.privateKeyFile))
        return false;
    CertificatePointer certificate(PEM_read_X509(file.get(), nullptr, nullptr, nullptr), &X509_free);
    // A set made before the services answered as "localhost" is made again.
    return certificate && X509_cmp_current_time(X509_get0_notAfter(certificate.get())) > 0
        && X509_check_host(certificate.get(), "localhost", 0, 0, nullptr) == 1;
}

} // namespace

DevCertificates DevCertificates::ensure(const std::filesystem::path& folder)
{
    DevCertificates files { folder / "ca.pem", folder / "server.pem", folder / "server-key.pem" };
    if (usable(files))
        return files;

    KeyPointer caKey = makeKey();
    CertificatePointer ca = makeCertificate(caKey.get(), "Tolven devstack local authority", nullptr, caKey.get(), 1);
    KeyPointer serverKey = makeKey();
    CertificatePointer server = makeCertificate(serverKey.get(), "127.0.0.1", ca.get(), caKey.get(), 2);

    auto caPem = pem([&](BIO* bio) { return PEM_write_bio_X509(bio, ca.get()) == 1; });
    auto serverPem = pem([&](BIO* bio) { return PEM_write_bio_X509(bio, server.get()) == 1; });
    auto keyPem = pem([&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, serverKey.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1; });
    using std::filesystem::perms;
    check(platform::writeFileAtomically(files.privateKeyFile, keyPem), "cannot store the server key");
    check(platform::writeFileAtomically(files.certificateFile, serverPem, perms::owner_read | perms::owner_write | perms::group_read | perms::others_read),
        "cannot store the server certificate");
    check(platform::writeFileAtomically(files.caFile, caPem, perms::owner_read | perms::owner_write | perms::group_read | perms::others_read),
        "cannot store the authority");
    return files;
}

} // namespace devstack
