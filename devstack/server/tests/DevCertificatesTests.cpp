#include "devstack/server/DevCertificates.h"

#include "platform/foundation/testing/TestEnvironment.h"

#include <gtest/gtest.h>

#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <fstream>
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

TEST(DevCertificatesTest, MakesTheFilesOnceAndKeepsAUsableSet)
{
    platform::TestEnvironment env;
    auto folder = env.dataFolder() / "tls";
    auto first = DevCertificates::ensure(folder);
    EXPECT_NE(contentsOf(first.caFile).find("BEGIN CERTIFICATE"), std::string::npos);
    EXPECT_NE(contentsOf(first.privateKeyFile).find("PRIVATE KEY"), std::string::npos);

    auto authority = contentsOf(first.caFile);
    auto second = DevCertificates::ensure(folder);
    EXPECT_EQ(contentsOf(second.caFile), authority);

    // A damaged certificate is replaced by a new set.
    std::ofstream(first.certificateFile) << "garbage";
    auto third = DevCertificates::ensure(folder);
    EXPECT_NE(contentsOf(third.caFile), authority);
}

using CertificatePointer = std::unique_ptr<X509, decltype(&X509_free)>;

CertificatePointer readCertificate(const std::filesystem::path& path)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(path.c_str(), "r"), &fclose);
    return CertificatePointer(file ? PEM_read_X509(file.get(), nullptr, nullptr, nullptr) : nullptr, &X509_free);
}

TEST(DevCertificatesTest, TheServerCertificateNamesLocalhostAndOlderSetsAreMadeAgain)
{
    platform::TestEnvironment env;
    auto folder = env.dataFolder() / "tls";
    auto files = DevCertificates::ensure(folder);
    auto certificate = readCertificate(files.certificateFile);
    ASSERT_TRUE(certificate);
    EXPECT_EQ(X509_check_host(certificate.get(), "localhost", 0, 0, nullptr), 1);
    EXPECT_EQ(X509_check_ip_asc(certificate.get(), "127.0.0.1", 0), 1);

    // A set kept from before, whose certificate names only the address
    // (signed again, here with the server's own key, to write it out changed).
    X509_EXTENSION_free(X509_delete_ext(certificate.get(), X509_get_ext_by_NID(certificate.get(), NID_subject_alt_name, -1)));
    {
        std::unique_ptr<FILE, decltype(&fclose)> file(std::fopen(files.privateKeyFile.c_str(), "r"), &fclose);
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
    EXPECT_NE(contentsOf(remade.caFile), authority);
    auto replaced = readCertificate(remade.certificateFile);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(X509_check_host(replaced.get(), "localhost", 0, 0, nullptr), 1);
}

} // namespace
} // namespace devstack
