#include "devstack/server/DevCertificates.h"

#include "platform/foundation/AtomicFile.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace devstack {

namespace {

using KeyPointer = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;

constexpr long kValidityDays = 365;

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

// Random, so that a server certificate issued again by a kept authority never
// repeats the serial of an earlier one (browsers refuse that).
void setRandomSerial(X509* certificate)
{
    std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), &BN_free);
    check(serial && BN_rand(serial.get(), 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) == 1, "cannot make a serial number");
    check(BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate)) != nullptr, "cannot set a serial number");
}

// `issuer` null: a self-signed authority.
CertificatePointer makeCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey)
{
    CertificatePointer certificate(X509_new(), &X509_free);
    check(certificate != nullptr, "cannot make a certificate");
    X509* raw = certificate.get();
    X509_set_version(raw, 2);
    setRandomSerial(raw);
    // Valid from a day ago, so that clock skew between processes does not
    // matter. The system's time, not the platform clock: TLS peers check
    // certificates against it, also in tests that run in virtual time.
    X509_gmtime_adj(X509_getm_notBefore(raw), -24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(raw), kValidityDays * 24 * 3600);
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

void store(const std::filesystem::path& path, const std::string& bytes, bool isPublic, const char* what)
{
    using std::filesystem::perms;
    auto permissions = isPublic ? perms::owner_read | perms::owner_write | perms::group_read | perms::others_read
                                : perms::owner_read | perms::owner_write;
    check(platform::writeFileAtomically(path, bytes, permissions), what);
}

CertificatePointer readCertificate(const std::filesystem::path& path)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(path.c_str(), "r"), &fclose);
    return CertificatePointer(file ? PEM_read_X509(file.get(), nullptr, nullptr, nullptr) : nullptr, &X509_free);
}

KeyPointer readKey(const std::filesystem::path& path)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(path.c_str(), "r"), &fclose);
    return KeyPointer(file ? PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr) : nullptr, &EVP_PKEY_free);
}

// On the system's time, as TLS peers check it.
bool isCurrent(X509* certificate)
{
    return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 && X509_cmp_current_time(X509_get0_notAfter(certificate)) > 0;
}

struct Authority {
    CertificatePointer certificate { nullptr, &X509_free };
    KeyPointer key { nullptr, &EVP_PKEY_free };
};

// The kept authority, or why it cannot be used; nothing at all when there is none.
std::optional<std::string> loadAuthority(const DevCertificates& files, Authority& authority)
{
    std::error_code ignored;
    bool hasCertificate = std::filesystem::exists(files.caFile, ignored);
    bool hasKey = std::filesystem::exists(files.caKeyFile, ignored);
    if (!hasCertificate && !hasKey)
        return std::nullopt;
    if (!hasKey)
        return "has no key beside it";
    authority.certificate = readCertificate(files.caFile);
    authority.key = readKey(files.caKeyFile);
    if (!authority.certificate || !authority.key || X509_check_private_key(authority.certificate.get(), authority.key.get()) != 1
        || X509_check_ca(authority.certificate.get()) != 1) {
        authority = {};
        return "is damaged";
    }
    if (!isCurrent(authority.certificate.get())) {
        authority = {};
        return "has expired";
    }
    return std::nullopt;
}

bool serverCertificateUsable(const DevCertificates& files, const Authority& authority)
{
    auto certificate = readCertificate(files.certificateFile);
    auto key = readKey(files.privateKeyFile);
    if (!certificate || !key || X509_check_private_key(certificate.get(), key.get()) != 1 || !isCurrent(certificate.get()))
        return false;
    EVP_PKEY* authorityKey = X509_get0_pubkey(authority.certificate.get());
    // A set made before the services answered as "localhost" is made again.
    return authorityKey && X509_verify(certificate.get(), authorityKey) == 1
        && X509_check_host(certificate.get(), "localhost", 0, 0, nullptr) == 1
        && X509_check_ip_asc(certificate.get(), "127.0.0.1", 0) == 1;
}

} // namespace

DevCertificates DevCertificates::ensure(const std::filesystem::path& folder)
{
    DevCertificates files { folder / "ca.pem", folder / "ca-key.pem", folder / "server.pem", folder / "server-key.pem", std::nullopt };

    Authority authority;
    auto unusable = loadAuthority(files, authority);
    if (unusable)
        files.authorityReplaced = "the certificate authority in " + files.caFile.string() + " " + *unusable + "; made a new one";
    bool newAuthority = !authority.certificate;
    if (newAuthority) {
        authority.key = makeKey();
        authority.certificate = makeCertificate(authority.key.get(), "Tolven devstack local authority", nullptr, authority.key.get());
        // The key first: a certificate without its key would be thrown away next time.
        store(files.caKeyFile, pem([&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, authority.key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1; }),
            false, "cannot store the authority's key");
        store(files.caFile, pem([&](BIO* bio) { return PEM_write_bio_X509(bio, authority.certificate.get()) == 1; }), true,
            "cannot store the authority");
    }

    if (newAuthority || !serverCertificateUsable(files, authority)) {
        KeyPointer serverKey = makeKey();
        CertificatePointer server = makeCertificate(serverKey.get(), "127.0.0.1", authority.certificate.get(), authority.key.get());
        store(files.privateKeyFile, pem([&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, serverKey.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1; }),
            false, "cannot store the server key");
        store(files.certificateFile, pem([&](BIO* bio) { return PEM_write_bio_X509(bio, server.get()) == 1; }), true,
            "cannot store the server certificate");
    }
    return files;
}

} // namespace devstack
