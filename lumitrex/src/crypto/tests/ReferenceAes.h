#pragma once

// Plain OpenSSL calls, written apart from the library's cipher code, that the
// tests use to compute expected values independently.

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstdio>

#include <cstdint>
#include <string>
#include <vector>

namespace lumitrex::testing {

inline const std::vector<std::uint8_t> kIv {
    0x5c, 0x1e, 0x9a, 0x7b, 0x3d, 0x2f, 0x48, 0xe6, 0xa0, 0xc4, 0xb8, 0xd2, 0xf6, 0xe1, 0xa3, 0xc7,
};

inline std::vector<std::uint8_t> referenceAes128Cbc(const std::vector<std::uint8_t>& plain,
    const std::vector<std::uint8_t>& key, bool padding)
{
    EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
    std::vector<std::uint8_t> out(plain.size() + 16);
    int written = 0;
    int finalWritten = 0;
    EVP_EncryptInit_ex(context, EVP_aes_128_cbc(), nullptr, key.data(), kIv.data());
    EVP_CIPHER_CTX_set_padding(context, padding ? 1 : 0);
    EVP_EncryptUpdate(context, out.data(), &written, plain.data(), static_cast<int>(plain.size()));
    EVP_EncryptFinal_ex(context, out.data() + written, &finalWritten);
    EVP_CIPHER_CTX_free(context);
    out.resize(static_cast<std::size_t>(written + finalWritten));
    return out;
}

inline std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return { text.begin(), text.end() };
}

inline std::string referenceBase64(const std::vector<std::uint8_t>& bytes)
{
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    text.resize(static_cast<std::size_t>(EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
        static_cast<int>(bytes.size()))));
    return text;
}

inline std::vector<std::uint8_t> referenceHexBytes(const char* hex)
{
    long length = 0;
    unsigned char* buffer = OPENSSL_hexstr2buf(hex, &length);
    std::vector<std::uint8_t> bytes(buffer, buffer + length);
    OPENSSL_free(buffer);
    return bytes;
}

inline std::string referenceLowerHex(const std::vector<std::uint8_t>& bytes)
{
    std::string text;
    for (auto byte : bytes) {
        char piece[3];
        std::snprintf(piece, sizeof piece, "%02x", byte);
        text += piece;
    }
    return text;
}

// A card key as the card maker issues it: the key text encrypted with the
// card-key decryption key, PKCS#5, Base64.
inline std::string makeCardKey(const std::vector<std::uint8_t>& plain)
{
    return referenceBase64(referenceAes128Cbc(plain, bytesOf("vond_qtrx_583940"), true));
}

} // namespace lumitrex::testing
