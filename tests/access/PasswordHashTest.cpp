#include <gtest/gtest.h>

#include "access/PasswordHash.h"
#include "support/PlatformFixture.h"

namespace qv {
namespace {

class PasswordHashTest : public test::PlatformFixture {
protected:
    PasswordHashing& hashing() { return platform->Passwords(); }
};

TEST_F(PasswordHashTest, DerivationMatchesTheStandardVector) {
    // PBKDF2-HMAC-SHA256("password", "salt", 1 iteration), the published test vector.
    unsigned char out[32];
    ASSERT_TRUE(hashing().DeriveSha256("password", "salt", 1, out));
    const unsigned char expected[32] = {0x12, 0x0f, 0xb6, 0xcf, 0xfc, 0xf8, 0xb3, 0x2c,
                                        0x43, 0xe7, 0x22, 0x52, 0x56, 0xc4, 0xf8, 0x37,
                                        0xa8, 0x65, 0x48, 0xc9, 0x2c, 0xcc, 0x35, 0x48,
                                        0x08, 0x05, 0x98, 0x7c, 0xb7, 0x0b, 0xe1, 0x7b};
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 32),
              std::string(reinterpret_cast<const char*>(expected), 32));
}

TEST_F(PasswordHashTest, StoredByAnotherBuildStillUnlocks) {
    // Written by the other platform's build for "Correct horse" (salt "saltsaltsaltsalt").
    const std::string stored =
        "pbkdf2-sha256$1000$c2FsdHNhbHRzYWx0c2FsdA$1jB2n4hwOCBx7wxA8EnWDP4D7gb42LW5ib8stTuyb/E";
    EXPECT_EQ(VerifyPassword(hashing(), stored, "Correct horse"), PasswordMatch::Right);
    EXPECT_EQ(VerifyPassword(hashing(), stored, "correct horse"), PasswordMatch::Wrong);
    EXPECT_EQ(VerifyPassword(hashing(), stored, ""), PasswordMatch::Wrong);
}

TEST_F(PasswordHashTest, NewHashesAreSaltedAndVerify) {
    hashing().SetIterationsForTests(1000);
    auto a = HashPassword(hashing(), "secret1");
    auto b = HashPassword(hashing(), "secret1");
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);  // a fresh salt each time
    EXPECT_EQ(a->rfind("pbkdf2-sha256$1000$", 0), 0u);
    EXPECT_EQ(a->find('='), std::string::npos);  // base64 without padding
    EXPECT_EQ(a->find("secret1"), std::string::npos);
    EXPECT_EQ(VerifyPassword(hashing(), *a, "secret1"), PasswordMatch::Right);
    EXPECT_EQ(VerifyPassword(hashing(), *b, "secret2"), PasswordMatch::Wrong);
}

TEST_F(PasswordHashTest, DefaultStrengthIs600000Iterations) {
    EXPECT_EQ(hashing().Iterations(), 600000u);
    EXPECT_EQ(PasswordHashing::kDefaultIterations, 600000u);
}

TEST_F(PasswordHashTest, PlainTextFromAnOlderVersion) {
    EXPECT_EQ(VerifyPassword(hashing(), "oldpass", "oldpass"), PasswordMatch::RightButPlain);
    EXPECT_EQ(VerifyPassword(hashing(), "oldpass", "OLDPASS"), PasswordMatch::Wrong);
    EXPECT_EQ(VerifyPassword(hashing(), "", ""), PasswordMatch::RightButPlain);
}

TEST_F(PasswordHashTest, DamagedStoredValuesNeverMatch) {
    for (const char* stored :
         {"pbkdf2-sha256$", "pbkdf2-sha256$1000$", "pbkdf2-sha256$x$AAAA$AAAA",
          "pbkdf2-sha256$0$c2FsdA$1jB2n4hwOCBx7wxA8EnWDP4D7gb42LW5ib8stTuyb/E",
          "pbkdf2-sha256$1000$c2Fs!A$1jB2n4hwOCBx7wxA8EnWDP4D7gb42LW5ib8stTuyb/E",
          "pbkdf2-sha256$1000$c2FsdA$short"}) {
        EXPECT_EQ(VerifyPassword(hashing(), stored, ""), PasswordMatch::Wrong) << stored;
        EXPECT_EQ(VerifyPassword(hashing(), stored, stored), PasswordMatch::Wrong) << stored;
    }
}

TEST(Base64, RoundTripsWithoutPadding) {
    for (const std::string& bytes :
         {std::string(), std::string("f"), std::string("fo"), std::string("foo"),
          std::string("foob"), std::string("\0\xff\x80", 3)}) {
        auto back = Base64Decode(Base64Encode(bytes));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, bytes);
    }
    EXPECT_EQ(Base64Encode("foob"), "Zm9vYg");
    EXPECT_FALSE(Base64Decode("Zm9v=").has_value());
}

TEST(ConstantTime, EqualsOnlyOnEqualBytes) {
    EXPECT_TRUE(ConstantTimeEquals("abc", "abc"));
    EXPECT_FALSE(ConstantTimeEquals("abc", "abd"));
    EXPECT_FALSE(ConstantTimeEquals("abc", "ab"));
    EXPECT_FALSE(ConstantTimeEquals("", "a"));
    EXPECT_TRUE(ConstantTimeEquals("", ""));
}

}  // namespace
}  // namespace qv
