#include "platform/crypto/AesGcm.h"

#include "platform/crypto/CryptoError.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

namespace vexel::crypto {

namespace {

// OpenSSL counts lengths in int; longer data goes through in pieces.
constexpr std::size_t kMaxPiece = std::size_t{1} << 30;

[[noreturn]] void failWithLibraryError(const char* step) {
    std::string message = std::string(step) + " failed";
    if (unsigned long code = ERR_get_error(); code != 0) {
        char text[256];
        ERR_error_string_n(code, text, sizeof text);
        message += ": ";
        message += text;
    }
    ERR_clear_error();
    throw CryptoError(CryptoError::Kind::underlyingFailure, message);
}

const EVP_CIPHER* cipherFor(std::string_view key) {
    switch (key.size()) {
    case 16:
        return EVP_aes_128_gcm();
    case 24:
        return EVP_aes_192_gcm();
    case 32:
        return EVP_aes_256_gcm();
    default:
        throw CryptoError(CryptoError::Kind::incorrectKeySize,
                          "an AES key has 16, 24 or 32 bytes, not " + std::to_string(key.size()));
    }
}

struct ContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using Context = std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter>;

Context newContext() {
    Context context(EVP_CIPHER_CTX_new());
    if (!context) {
        failWithLibraryError("EVP_CIPHER_CTX_new");
    }
    return context;
}

const unsigned char* bytes(std::string_view text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

unsigned char* bytes(std::string& text, std::size_t offset) {
    return reinterpret_cast<unsigned char*>(text.data()) + offset;
}

// Runs `update` over the input in pieces that fit an int, writing to out + offset.
template <class Update>
void process(EVP_CIPHER_CTX* context, Update update, std::string_view input, std::string& out,
             std::size_t offset, const char* step) {
    for (std::size_t done = 0; done < input.size();) {
        std::size_t piece = std::min(kMaxPiece, input.size() - done);
        int written = 0;
        if (update(context, bytes(out, offset + done), &written, bytes(input) + done,
                   static_cast<int>(piece)) != 1) {
            failWithLibraryError(step);
        }
        done += piece;
    }
}

} // namespace

std::string sealAesGcm(std::string_view key, std::string_view plaintext) {
    const EVP_CIPHER* cipher = cipherFor(key);
    std::string sealed(aesGcmNonceSize + plaintext.size() + aesGcmTagSize, '\0');
    if (RAND_bytes(bytes(sealed, 0), static_cast<int>(aesGcmNonceSize)) != 1) {
        failWithLibraryError("RAND_bytes");
    }
    Context context = newContext();
    if (EVP_EncryptInit_ex(context.get(), cipher, nullptr, bytes(key), bytes(sealed, 0)) != 1) {
        failWithLibraryError("EVP_EncryptInit_ex");
    }
    process(context.get(), EVP_EncryptUpdate, plaintext, sealed, aesGcmNonceSize,
            "EVP_EncryptUpdate");
    int written = 0;
    if (EVP_EncryptFinal_ex(context.get(), bytes(sealed, aesGcmNonceSize + plaintext.size()),
                            &written) != 1) {
        failWithLibraryError("EVP_EncryptFinal_ex");
    }
    if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(aesGcmTagSize),
                            bytes(sealed, aesGcmNonceSize + plaintext.size())) != 1) {
        failWithLibraryError("EVP_CTRL_GCM_GET_TAG");
    }
    return sealed;
}

std::string openAesGcm(std::string_view key, std::string_view sealed) {
    const EVP_CIPHER* cipher = cipherFor(key);
    if (sealed.size() < aesGcmNonceSize + aesGcmTagSize) {
        throw CryptoError(CryptoError::Kind::incorrectParameterSize,
                          "sealed data of " + std::to_string(sealed.size()) +
                              " bytes is shorter than a nonce and a tag");
    }
    const std::string_view nonce = sealed.substr(0, aesGcmNonceSize);
    const std::string_view ciphertext =
        sealed.substr(aesGcmNonceSize, sealed.size() - aesGcmNonceSize - aesGcmTagSize);
    std::string tag(sealed.substr(sealed.size() - aesGcmTagSize));

    Context context = newContext();
    if (EVP_DecryptInit_ex(context.get(), cipher, nullptr, bytes(key), bytes(nonce)) != 1) {
        failWithLibraryError("EVP_DecryptInit_ex");
    }
    std::string plaintext(ciphertext.size(), '\0');
    process(context.get(), EVP_DecryptUpdate, ciphertext, plaintext, 0, "EVP_DecryptUpdate");
    // The expected tag goes in before the final step, which verifies it.
    if (EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(aesGcmTagSize),
                            tag.data()) != 1) {
        failWithLibraryError("EVP_CTRL_GCM_SET_TAG");
    }
    int written = 0;
    if (EVP_DecryptFinal_ex(context.get(), bytes(plaintext, plaintext.size()), &written) != 1) {
        ERR_clear_error();
        // Nothing decrypted from unauthenticated data leaves this function.
        OPENSSL_cleanse(plaintext.data(), plaintext.size());
        throw CryptoError(CryptoError::Kind::authenticationFailure,
                          "the data does not authenticate under this key");
    }
    return plaintext;
}

std::string randomBytes(std::size_t count) {
    std::string out(count, '\0');
    for (std::size_t done = 0; done < count;) {
        std::size_t piece = std::min(kMaxPiece, count - done);
        if (RAND_bytes(bytes(out, done), static_cast<int>(piece)) != 1) {
            failWithLibraryError("RAND_bytes");
        }
        done += piece;
    }
    return out;
}

} // namespace vexel::crypto
