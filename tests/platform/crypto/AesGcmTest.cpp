#include "platform/crypto/AesGcm.h"
#include "platform/crypto/CryptoError.h"

#include <gtest/gtest.h>

using namespace vexel::crypto;

namespace {

std::string fromHex(std::string_view hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return out;
}

CryptoError::Kind openFailure(std::string_view key, std::string_view sealed) {
    try {
        openAesGcm(key, sealed);
    } catch (const CryptoError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "opened";
    return CryptoError::Kind::underlyingFailure;
}

} // namespace

TEST(AesGcmTest, OpensTheStandardVectorLaidOutAsNonceCiphertextTag) {
    // AES-256, 96-bit nonce, no additional data: the published GCM test case 15.
    const std::string key =
        fromHex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
    const std::string plaintext =
        fromHex("d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255");
    const std::string sealed =
        fromHex("cafebabefacedbaddecaf888"
                "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad"
                "b094dac5d93471bdec1a502270e3cc6c");
    EXPECT_EQ(openAesGcm(key, sealed), plaintext);

    std::string flipped = sealed;
    flipped.back() ^= 1;
    EXPECT_EQ(openFailure(key, flipped), CryptoError::Kind::authenticationFailure);
    flipped = sealed;
    flipped[20] ^= 0x80;
    EXPECT_EQ(openFailure(key, flipped), CryptoError::Kind::authenticationFailure);
    std::string otherKey = key;
    otherKey[0] ^= 1;
    EXPECT_EQ(openFailure(otherKey, sealed), CryptoError::Kind::authenticationFailure);
}

TEST(AesGcmTest, SealsUnderEveryKeySizeWithAFreshNonce) {
    for (std::size_t keySize : {16u, 24u, 32u}) {
        const std::string key = randomBytes(keySize);
        for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 4096u}) {
            const std::string plaintext(length, 'p');
            const std::string a = sealAesGcm(key, plaintext);
            const std::string b = sealAesGcm(key, plaintext);
            EXPECT_EQ(a.size(), length + 28);
            EXPECT_NE(a.substr(0, 12), b.substr(0, 12));
            EXPECT_EQ(openAesGcm(key, a), plaintext);
            EXPECT_EQ(openAesGcm(key, b), plaintext);
        }
    }
}

TEST(AesGcmTest, RefusesShortInputAndKeysOfOtherLengths) {
    const std::string key = randomBytes(32);
    EXPECT_EQ(openFailure(key, std::string(27, '\0')), CryptoError::Kind::incorrectParameterSize);
    EXPECT_EQ(openFailure(key, ""), CryptoError::Kind::incorrectParameterSize);
    EXPECT_EQ(openFailure(key, std::string(28, '\0')), CryptoError::Kind::authenticationFailure);
    for (std::size_t size : {0u, 15u, 20u, 31u, 33u, 64u}) {
        try {
            sealAesGcm(std::string(size, 'k'), "data");
            ADD_FAILURE() << "sealed with a key of " << size << " bytes";
        } catch (const CryptoError& error) {
            EXPECT_EQ(error.kind(), CryptoError::Kind::incorrectKeySize);
        }
        EXPECT_EQ(openFailure(std::string(size, 'k'), std::string(40, '\0')),
                  CryptoError::Kind::incorrectKeySize);
    }
    EXPECT_EQ(randomBytes(0), "");
    EXPECT_NE(randomBytes(32), randomBytes(32));
}
