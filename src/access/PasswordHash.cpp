#include "access/PasswordHash.h"

#include <cstdlib>

namespace qv {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (unsigned char c : bytes) {
        buffer = (buffer << 8) | c;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out += kAlphabet[(buffer >> bits) & 0x3F];
        }
    }
    if (bits > 0) {
        out += kAlphabet[(buffer << (6 - bits)) & 0x3F];
    }
    return out;
}

std::optional<std::string> Base64Decode(const std::string& text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        int v = Base64Value(c);
        if (v < 0) {
            return std::nullopt;
        }
        buffer = (buffer << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

bool ConstantTimeEquals(const std::string& a, const std::string& b) {
    // Every byte of the longer text is looked at, whatever differs first.
    size_t n = a.size() > b.size() ? a.size() : b.size();
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= static_cast<unsigned char>(x ^ y);
    }
    return diff == 0;
}

std::optional<std::string> HashPassword(PasswordHashing& hashing, const std::string& password) {
    unsigned char salt[16];
    unsigned char hash[32];
    unsigned iterations = hashing.Iterations();
    if (!hashing.RandomBytes(salt, sizeof salt)) {
        return std::nullopt;
    }
    std::string saltText(reinterpret_cast<char*>(salt), sizeof salt);
    if (!hashing.DeriveSha256(password, saltText, iterations, hash)) {
        return std::nullopt;
    }
    return std::string(kPasswordHashPrefix) + std::to_string(iterations) + "$" +
           Base64Encode(saltText) + "$" +
           Base64Encode(std::string(reinterpret_cast<char*>(hash), sizeof hash));
}

PasswordMatch VerifyPassword(PasswordHashing& hashing, const std::string& stored,
                             const std::string& typed) {
    const std::string prefix = kPasswordHashPrefix;
    if (stored.compare(0, prefix.size(), prefix) != 0) {
        return ConstantTimeEquals(stored, typed) ? PasswordMatch::RightButPlain
                                                 : PasswordMatch::Wrong;
    }
    // pbkdf2-sha256$<iterations>$<salt>$<hash>
    size_t first = prefix.size();
    size_t second = stored.find('$', first);
    size_t third = second == std::string::npos ? second : stored.find('$', second + 1);
    if (third == std::string::npos) {
        return PasswordMatch::Wrong;
    }
    std::string count = stored.substr(first, second - first);
    char* end = nullptr;
    unsigned long iterations = std::strtoul(count.c_str(), &end, 10);
    auto salt = Base64Decode(stored.substr(second + 1, third - second - 1));
    auto expected = Base64Decode(stored.substr(third + 1));
    if (count.empty() || *end != '\0' || iterations == 0 || iterations > 100000000 || !salt ||
        !expected || expected->size() != 32) {
        return PasswordMatch::Wrong;
    }
    unsigned char hash[32];
    if (!hashing.DeriveSha256(typed, *salt, static_cast<unsigned>(iterations), hash)) {
        return PasswordMatch::Wrong;
    }
    return ConstantTimeEquals(std::string(reinterpret_cast<char*>(hash), sizeof hash), *expected)
               ? PasswordMatch::Right
               : PasswordMatch::Wrong;
}

}  // namespace qv
