#include "crypto/AesCbc.h"

#include "platform/foundation/Console.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <memory>

namespace lumitrex {

const std::array<std::uint8_t, 16> kLibraryIv {
    0x5c, 0x1e, 0x9a, 0x7b, 0x3d, 0x2f, 0x48, 0xe6, 0xa0, 0xc4, 0xb8, 0xd2, 0xf6, 0xe1, 0xa3, 0xc7,
};

namespace {

constexpr std::size_t blockSize = 16;

struct ContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using ContextPointer = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;

// AES-128, -192 and -256 in CBC mode by key length, fetched once: fetching on
// every call costs more than the cipher itself.
const EVP_CIPHER* cipherForKeyLength(std::size_t length)
{
    static const EVP_CIPHER* const ciphers[3] = {
        EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr),
        EVP_CIPHER_fetch(nullptr, "AES-192-CBC", nullptr),
        EVP_CIPHER_fetch(nullptr, "AES-256-CBC", nullptr),
    };
    switch (length) {
    case 16:
        return ciphers[0];
    case 24:
        return ciphers[1];
    case 32:
        return ciphers[2];
    default:
        return nullptr;
    }
}

std::string keyLengthRefusal(std::size_t length)
{
    return "invalid key size (" + std::to_string(length) + " bytes)";
}

std::string takeOpenSslError(const char* fallback)
{
    unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

// One no-padding encryption context per key length and thread, keyed again on
// every call; this keeps the packet build free of allocations.
class NoPaddingContexts {
public:
    EVP_CIPHER_CTX* forKeyLength(std::size_t length)
    {
        const EVP_CIPHER* cipher = cipherForKeyLength(length);
        if (!cipher)
            return nullptr;
        auto& slot = contexts_[length / 8 - 2];
        if (!slot) {
            ContextPointer context(EVP_CIPHER_CTX_new());
            if (!context || !EVP_EncryptInit_ex2(context.get(), cipher, nullptr, nullptr, nullptr)
                || !EVP_CIPHER_CTX_set_padding(context.get(), 0))
                return nullptr;
            slot = std::move(context);
        }
        return slot.get();
    }

private:
    ContextPointer contexts_[3];
};

AesResult runPkcs5(bool encrypt, std::span<const std::uint8_t> input, std::span<const std::uint8_t> key)
{
    const EVP_CIPHER* cipher = cipherForKeyLength(key.size());
    if (!cipher)
        return { {}, keyLengthRefusal(key.size()) };
    ContextPointer context(EVP_CIPHER_CTX_new());
    if (!context || !EVP_CipherInit_ex2(context.get(), cipher, key.data(), kLibraryIv.data(), encrypt ? 1 : 0, nullptr))
        return { {}, takeOpenSslError("cannot set up the cipher") };
    Bytes output(input.size() + blockSize);
    int written = 0;
    int finalWritten = 0;
    if (!EVP_CipherUpdate(context.get(), output.data(), &written, input.data(), static_cast<int>(input.size()))
        || !EVP_CipherFinal_ex(context.get(), output.data() + written, &finalWritten))
        return { {}, takeOpenSslError(encrypt ? "encryption failed" : "decryption failed") };
    output.resize(static_cast<std::size_t>(written + finalWritten));
    return { std::move(output), std::nullopt };
}

} // namespace

bool encryptNoPaddingInto(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key,
    const std::array<std::uint8_t, 16>& iv, std::span<std::uint8_t> out)
{
    thread_local NoPaddingContexts contexts;
    std::optional<std::string> refusal;
    EVP_CIPHER_CTX* context = contexts.forKeyLength(key.size());
    if (!cipherForKeyLength(key.size()))
        refusal = keyLengthRefusal(key.size());
    else if (plain.size() % blockSize != 0)
        refusal = "data is not a whole number of blocks (" + std::to_string(plain.size()) + " bytes)";
    else if (!context || out.size() < plain.size())
        refusal = "cannot set up the cipher";
    if (!refusal) {
        int written = 0;
        int finalWritten = 0;
        // Padding is off, so the final step writes nothing; the scratch block
        // only guards the output if it ever did.
        std::uint8_t scratch[2 * blockSize];
        if (EVP_EncryptInit_ex2(context, nullptr, key.data(), iv.data(), nullptr)
            && EVP_EncryptUpdate(context, out.data(), &written, plain.data(), static_cast<int>(plain.size()))
            && EVP_EncryptFinal_ex(context, scratch, &finalWritten) && finalWritten == 0
            && static_cast<std::size_t>(written) == plain.size())
            return true;
        refusal = takeOpenSslError("encryption failed");
    }
    platform::console("AES encryption error: " + *refusal);
    return false;
}

Bytes encryptNoPadding(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key,
    const std::array<std::uint8_t, 16>& iv)
{
    Bytes cipher(plain.size());
    if (!encryptNoPaddingInto(plain, key, iv, cipher))
        return {};
    return cipher;
}

AesResult encryptPkcs5(std::span<const std::uint8_t> plain, std::span<const std::uint8_t> key)
{
    return runPkcs5(true, plain, key);
}

AesResult decryptPkcs5(std::span<const std::uint8_t> cipher, std::span<const std::uint8_t> key)
{
    return runPkcs5(false, cipher, key);
}

} // namespace lumitrex
