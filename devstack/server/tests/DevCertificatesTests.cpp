#include "devstack/server/DevCertificates.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace devstack {
namespace {

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;

CertificatePointer readCertificate(const std::filesystem::path& path)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(path.c_str(), "r"), &fclose);
    return CertificatePointer(file ? PEM_read_X509(file.get(), nullptr, nullptr, nullptr) : nullptr, &X509_free);
}

// Whether the server certificate in `files` chains to the authority in `files`.
bool serverIsSignedByAuthority(const DevCertificates& files)
{
    auto server = readCertificate(files.certificateFile);
    auto authority = readCertificate(files.caFile);
    return server && authority && X509_verify(server.get(), X509_get0_pubkey(authority.get())) == 1;
}

TEST(DevCertificatesTest, KeepsTheAuthorityAndIssuesTheServerCertificateAgainWhenItIsDamaged)
{
    platform::TestEnvironment env;
    auto folder = env.dataFolder() / "tls";
    auto first = DevCertificates::ensure(folder);
    EXPECT_NE(contentsOf(first.caFile).find("BEGIN CERTIFICATE"), std::string::npos);
    EXPECT_NE(contentsOf(first.caKeyFile).find("PRIVATE KEY"), std::string::npos);
    EXPECT_NE(contentsOf(first.privateKeyFile).find("PRIVATE KEY"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(first.caKeyFile).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_FALSE(first.authorityReplaced);

    auto authority = contentsOf(first.caFile);
    auto server = contentsOf(first.certificateFile);
    auto second = DevCertificates::ensure(folder);
    EXPECT_EQ(contentsOf(second.caFile), authority);
    EXPECT_EQ(contentsOf(second.certificateFile), server);
    EXPECT_FALSE(second.authorityReplaced);

    // A damaged server certificate is issued again by the same authority, without a word.
    std::ofstream(first.certificateFile) << "garbage";
    auto third = DevCertificates::ensure(folder);
    EXPECT_EQ(contentsOf(third.caFile), authority);
    EXPECT_NE(contentsOf(third.certificateFile), server);
    EXPECT_TRUE(serverIsSignedByAuthority(third));
    EXPECT_FALSE(third.authorityReplaced);
}

// An authority whose validity ended yesterday, with its key.
void writeExpiredAuthority(const DevCertificates& files)
{
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), &EVP_PKEY_free);
    CertificatePointer authority(X509_new(), &X509_free);
    ASSERT_TRUE(key && authority);
    X509* raw = authority.get();
    X509_set_version(raw, 2);
    X509_gmtime_adj(X509_getm_notBefore(raw), -2 * 24 * 3600);
    X509_gmtime_adj(X509_getm_notAfter(raw), -24 * 3600);
    X509_set_pubkey(raw, key.get());
    X509_NAME_add_entry_by_txt(X509_get_subject_name(raw), "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("expired"), -1, -1, 0);
    X509_set_issuer_name(raw, X509_get_subject_name(raw));
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, raw, raw, nullptr, nullptr, 0);
    X509_EXTENSION* constraints = X509V3_EXT_conf_nid(nullptr, &context, NID_basic_constraints, "critical,CA:TRUE");
    X509_add_ext(raw, constraints, -1);
    X509_EXTENSION_free(constraints);
    ASSERT_GT(X509_sign(raw, key.get(), EVP_sha256()), 0);
    std::unique_ptr<FILE, decltype(&fclose)> certificateFile(std::fopen(files.caFile.c_str(), "w"), &fclose);
    std::unique_ptr<FILE, decltype(&fclose)> keyFile(std::fopen(files.caKeyFile.c_str(), "w"), &fclose);
    ASSERT_EQ(PEM_write_X509(certificateFile.get(), raw), 1);
    ASSERT_EQ(PEM_write_PrivateKey(keyFile.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr), 1);
}

TEST(DevCertificatesTest, AnUnusableAuthorityIsReplacedWithOneLineThatSaysWhy)
{
    struct Case {
        const char* name;
        std::function<void(const DevCertificates&)> spoil;
        const char* reason;
    };
    const Case cases[] = {
        { "damaged certificate", [](const auto& files) { std::ofstream(files.caFile) << "-----BEGIN CERTIFICATE-----\nAAAA"; }, "is damaged" },
        { "damaged key", [](const auto& files) { std::ofstream(files.caKeyFile) << "garbage"; }, "is damaged" },
        { "key of another authority", [](const auto& files) { std::filesystem::copy_file(files.privateKeyFile, files.caKeyFile, std::filesystem::copy_options::overwrite_existing); }, "is damaged" },
        { "key missing", [](const auto& files) { std::filesystem::remove(files.caKeyFile); }, "has no key beside it" },
        { "expired", [](const auto& files) { writeExpiredAuthority(files); }, "has expired" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        platform::TestEnvironment env;
        auto folder = env.dataFolder() / "tls";
        auto first = DevCertificates::ensure(folder);
        auto authority = contentsOf(first.caFile);
        testCase.spoil(first);

        auto replaced = DevCertificates::ensure(folder);
        ASSERT_TRUE(replaced.authorityReplaced);
        EXPECT_EQ(*replaced.authorityReplaced, "the certificate authority in " + first.caFile.string() + " " + testCase.reason + "; made a new one");
        EXPECT_NE(contentsOf(replaced.caFile), authority);
        EXPECT_TRUE(serverIsSignedByAuthority(replaced));
        EXPECT_FALSE(DevCertificates::ensure(folder).authorityReplaced);
    }
}

TEST(DevCertificatesTest, TheServerCertificateNamesLocalhostAndOneThatDoesNotIsIssuedAgain)
{
    platform::TestEnvironment env;
    auto folder = env.dataFolder() / "tls";
    auto files = DevCertificates::ensure(folder);
    auto certificate = readCertificate(files.certificateFile);
    ASSERT_TRUE(certificate);
    EXPECT_EQ(X509_check_host(certificate.get(), "localhost", 0, 0, nullptr), 1);
    EXPECT_EQ(X509_check_ip_asc(certificate.get(), "127.0.0.1", 0), 1);

    // A set kept from before, whose certificate names only the address
    // (signed again by the authority, so that only the names differ).
    X509_EXTENSION_free(X509_delete_ext(certificate.get(), X509_get_ext_by_NID(certificate.get(), NID_subject_alt_name, -1)));
    {
        std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(files.caKeyFile.c_str(), "r"), &fclose);
        std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr), &EVP_PKEY_free);
        ASSERT_TRUE(key);
        ASSERT_GT(X509_sign(certificate.get(), key.get(), EVP_sha256()), 0);
    }
    {
        std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(files.certificateFile.c_str(), "w"), &fclose);
        ASSERT_EQ(PEM_write_X509(file.get(), certificate.get()), 1);
    }
    auto authority = contentsOf(files.caFile);
    auto remade = DevCertificates::ensure(folder);
    EXPECT_EQ(contentsOf(remade.caFile), authority);
    EXPECT_FALSE(remade.authorityReplaced);
    auto replaced = readCertificate(remade.certificateFile);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(X509_check_host(replaced.get(), "localhost", 0, 0, nullptr), 1);
}

} // namespace
} // namespace devstack
