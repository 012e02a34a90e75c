#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "quorv/Rijndael.h"

namespace {

using public_crypt::CRijndael;

const char kKey[] = "hvb2k9x7mq4tz1wr";

std::vector<char> hexBytes(const char* hex) {
    std::vector<char> out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2)
        out.push_back(static_cast<char>(std::stoi(std::string(hex + i, 2), nullptr, 16)));
    return out;
}

TEST(Rijndael, MatchesTheAesCbcReferenceVector) {
    // First block of the CBC-AES128 example of NIST SP 800-38A (F.2.1).
    std::vector<char> key = hexBytes("2b7e151628aed2a6abf7158809cf4f3c");
    std::vector<char> iv = hexBytes("000102030405060708090a0b0c0d0e0f");
    std::vector<char> plain = hexBytes("6bc1bee22e409f96e93d7e117393172a");
    CRijndael aes(key.data(), iv.data(), 0, 16, 16);
    char out[32];
    ASSERT_EQ(aes.Encrypt(plain.data(), 16, out, sizeof out), 32);  // one block of padding
    EXPECT_EQ(std::vector<char>(out, out + 16), hexBytes("7649abac8119b246cee98e9b12e9197d"));
}

TEST(Rijndael, RoundTripPadsToTheNextBlock) {
    CRijndael aes(nullptr, nullptr, 0, 16, 16);
    ASSERT_TRUE(aes.MakeKey(kKey, kKey, 0, 16, 16));
    for (int length : {1, 15, 16, 17, 100}) {
        SCOPED_TRACE(length);
        std::string plain(static_cast<size_t>(length), 'x');
        for (int i = 0; i < length; ++i) plain[static_cast<size_t>(i)] = static_cast<char>(i * 7);
        std::vector<char> cipher(static_cast<size_t>(length) + 16);
        int n = aes.Encrypt(plain.data(), length, cipher.data(), static_cast<int>(cipher.size()));
        EXPECT_EQ(n, (length / 16 + 1) * 16);
        std::vector<char> back(static_cast<size_t>(n) + 17);
        ASSERT_EQ(aes.Decrypt(cipher.data(), n, back.data(), static_cast<int>(back.size())),
                  length);
        EXPECT_EQ(std::string(back.data(), static_cast<size_t>(length)), plain);
    }
}

TEST(Rijndael, RefusesBadCipherTextWithoutWritingAnything) {
    CRijndael aes(kKey, kKey, 0, 16, 16);
    const std::string plain = "logonsvr=127.0.0.1:9000";
    char cipher[64];
    const int n = aes.Encrypt(plain.data(), static_cast<int>(plain.size()), cipher, sizeof cipher);
    ASSERT_EQ(n, 32);

    std::string badPadding(cipher, static_cast<size_t>(n));
    badPadding[31] = static_cast<char>(badPadding[31] ^ 0x5A);  // last block: padding garbled
    CRijndael other("0123456789abcdef", kKey, 0, 16, 16);

    struct Case {
        const char* name;
        CRijndael* cipher;
        std::string input;
        int capacity;
        bool refused;  // result 0 or less
    };
    const Case cases[] = {
        {"whole", &aes, std::string(cipher, 32), 64, false},
        {"empty", &aes, std::string(), 64, true},
        {"not a multiple of 16", &aes, std::string(cipher, 31), 64, true},
        {"one block too many bytes", &aes, std::string(cipher, 32) + "x", 64, true},
        {"wrong padding", &aes, badPadding, 64, true},
        {"other key", &other, std::string(cipher, 32), 64, true},
        {"plain text larger than the output", &aes, std::string(cipher, 32), 10, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<char> out(64, '#');
        int r = c.cipher->Decrypt(c.input.data(), static_cast<int>(c.input.size()), out.data(),
                                  c.capacity);
        if (c.refused) {
            EXPECT_LE(r, 0);
            EXPECT_EQ(std::string(out.data(), out.size()), std::string(64, '#'));
        } else {
            EXPECT_EQ(std::string(out.data(), static_cast<size_t>(r)), plain);
        }
    }
}

TEST(Rijndael, WithoutUsableKeyNothingIsDone) {
    CRijndael none(nullptr, nullptr, 0, 16, 16);
    char buf[32] = {};
    EXPECT_LT(none.Encrypt("abc", 3, buf, sizeof buf), 0);
    EXPECT_LT(none.Decrypt(buf, 16, buf, sizeof buf), 0);
    // Only AES-128 with 16-byte blocks in CBC mode is there.
    EXPECT_FALSE(none.MakeKey(kKey, kKey, 0, 24, 16));
    EXPECT_FALSE(none.MakeKey(kKey, kKey, 0, 16, 32));
    EXPECT_FALSE(none.MakeKey(kKey, kKey, 1, 16, 16));
    EXPECT_FALSE(none.MakeKey(kKey, nullptr, 0, 16, 16));
    // The output must hold the padded length.
    CRijndael aes(kKey, kKey, 0, 16, 16);
    EXPECT_LT(aes.Encrypt("0123456789abcdef", 16, buf, 31), 0);
    // A length whose padded size passes the int range is refused before any byte is read.
    EXPECT_LT(aes.Encrypt(buf, INT_MAX - 7, buf, sizeof buf), 0);
}

}  // namespace
