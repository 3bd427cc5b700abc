#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// AES in Galois/counter mode, the authenticated encryption of data at rest.
// Sealed data is the combined form: nonce (12 bytes) ‖ ciphertext (as long as
// the plaintext) ‖ tag (16 bytes), with no additional authenticated data.
// Keys of 16, 24 or 32 bytes select AES-128, -192 or -256. Failures are
// CryptoError. Safe to call from any thread.
namespace vexel::crypto {

constexpr std::size_t aesGcmNonceSize = 12;
constexpr std::size_t aesGcmTagSize = 16;

// Seals under a fresh random nonce, so sealing the same data twice gives two
// different results.
std::string sealAesGcm(std::string_view key, std::string_view plaintext);

// The plaintext, released only once the tag has verified.
std::string openAesGcm(std::string_view key, std::string_view sealed);

// Bytes from the system's cryptographic random source.
std::string randomBytes(std::size_t count);

} // namespace vexel::crypto
