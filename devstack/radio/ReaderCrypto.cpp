#include "devstack/radio/ReaderCrypto.h"

#include "platform/foundation/Hex.h"

#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace devstack {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::string_view kCardKeyDecryptionKey = "vond_qtrx_583940";
constexpr Block kIv { 0x5c, 0x1e, 0x9a, 0x7b, 0x3d, 0x2f, 0x48, 0xe6, 0xa0, 0xc4, 0xb8, 0xd2, 0xf6, 0xe1, 0xa3, 0xc7 };

std::optional<Bytes> aes128Cbc(bool encrypt, const Bytes& input, const std::uint8_t* key, bool padding)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context || EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, key, kIv.data(), encrypt ? 1 : 0) != 1)
        return std::nullopt;
    EVP_CIPHER_CTX_set_padding(context.get(), padding ? 1 : 0);
    Bytes output(input.size() + 16);
    int written = 0;
    int finalWritten = 0;
    if (EVP_CipherUpdate(context.get(), output.data(), &written, input.data(), static_cast<int>(input.size())) != 1
        || EVP_CipherFinal_ex(context.get(), output.data() + written, &finalWritten) != 1)
        return std::nullopt;
    output.resize(static_cast<std::size_t>(written + finalWritten));
    return output;
}

std::optional<Bytes> hexBytes(std::string_view text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        int high = platform::hexDigitValue(text[i]);
        int low = platform::hexDigitValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    return bytes;
}

std::uint8_t reverseBits(std::uint8_t value)
{
    std::uint8_t reversed = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (value & (1 << bit))
            reversed |= static_cast<std::uint8_t>(0x80 >> bit);
    return reversed;
}

const std::uint8_t* decryptionKey()
{
    return reinterpret_cast<const std::uint8_t*>(kCardKeyDecryptionKey.data());
}

} // namespace

std::string ReaderCrypto::makeCardKey(std::string_view cardKeyHex)
{
    auto cipher = aes128Cbc(true, Bytes(cardKeyHex.begin(), cardKeyHex.end()), decryptionKey(), true).value();
    std::string base64(4 * ((cipher.size() + 2) / 3) + 1, '\0');
    int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(base64.data()), cipher.data(), static_cast<int>(cipher.size()));
    base64.resize(static_cast<std::size_t>(length));
    return base64;
}

std::optional<std::string> ReaderCrypto::decryptCardKey(std::string_view base64)
{
    if (base64.empty() || base64.size() % 4 != 0)
        return std::nullopt;
    Bytes cipher(base64.size() / 4 * 3);
    int length = EVP_DecodeBlock(cipher.data(), reinterpret_cast<const unsigned char*>(base64.data()), static_cast<int>(base64.size()));
    if (length < 0)
        return std::nullopt;
    std::size_t padding = (base64.ends_with("==") ? 2 : base64.ends_with("=") ? 1 : 0);
    cipher.resize(static_cast<std::size_t>(length) - padding);
    auto plain = aes128Cbc(false, cipher, decryptionKey(), true);
    if (!plain)
        return std::nullopt;
    return std::string(plain->begin(), plain->end());
}

std::optional<Block> ReaderCrypto::expectedE3(const std::array<std::uint8_t, 8>& uid8, std::string_view siteNumberHex,
    const std::array<std::uint8_t, 8>& ts8, std::string_view cardKeyHex)
{
    auto cardKey = hexBytes(cardKeyHex);
    auto mid8 = hexBytes(siteNumberHex);
    if (!cardKey || cardKey->size() != 16 || !mid8 || mid8->size() != 8)
        return std::nullopt;

    Bytes keyPlain(uid8.begin(), uid8.end());
    for (int j = 0; j < 8; ++j)
        keyPlain.push_back(reverseBits(uid8[7 - j]) & 0xFE);
    Bytes tsBlock(16);
    for (int k = 0; k < 8; ++k) {
        tsBlock[k] = ts8[k];
        tsBlock[15 - k] = reverseBits(ts8[k]);
    }
    Bytes m2(mid8->begin(), mid8->end());
    m2.insert(m2.end(), ts8.begin(), ts8.end());

    auto mobileKey = aes128Cbc(true, keyPlain, cardKey->data(), false);
    auto e1 = mobileKey ? aes128Cbc(true, tsBlock, mobileKey->data(), false) : std::nullopt;
    auto e2 = e1 ? aes128Cbc(true, tsBlock, e1->data(), false) : std::nullopt;
    auto e3 = e2 ? aes128Cbc(true, m2, e2->data(), false) : std::nullopt;
    if (!e3 || e3->size() != 16)
        return std::nullopt;
    Block block;
    std::copy(e3->begin(), e3->end(), block.begin());
    return block;
}

} // namespace devstack
