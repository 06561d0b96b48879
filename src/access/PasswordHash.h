#pragma once

#include <optional>
#include <string>

#include "platform/PasswordHashing.h"

namespace qv {

// Stored passwords: "pbkdf2-sha256$<iterations>$<salt>$<hash>", salt of 16 random bytes,
// salt and hash in base64 without padding. The same string on every platform, so a settings
// file moves between them.
inline constexpr const char* kPasswordHashPrefix = "pbkdf2-sha256$";

// The stored form of `password`; nothing when the system could not hash.
std::optional<std::string> HashPassword(PasswordHashing& hashing, const std::string& password);

enum class PasswordMatch {
    Wrong,
    Right,
    // Right, but stored in plain text by an older version: store its hash instead.
    RightButPlain,
};

// Compares a typed password with the stored value in constant time.
PasswordMatch VerifyPassword(PasswordHashing& hashing, const std::string& stored,
                             const std::string& typed);

std::string Base64Encode(const std::string& bytes);
std::optional<std::string> Base64Decode(const std::string& text);
bool ConstantTimeEquals(const std::string& a, const std::string& b);

}  // namespace qv
