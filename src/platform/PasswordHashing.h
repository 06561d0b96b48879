#pragma once

#include <cstddef>
#include <string>

namespace qv {

// Salted password hashing: PBKDF2 with HMAC-SHA256, and random bytes for the salt.
class PasswordHashing {
public:
    static constexpr unsigned kDefaultIterations = 600000;

    virtual ~PasswordHashing() = default;
    virtual bool RandomBytes(unsigned char* out, size_t count) = 0;
    // Derives 32 bytes from `password` and `salt`.
    virtual bool DeriveSha256(const std::string& password, const std::string& salt,
                              unsigned iterations, unsigned char out[32]) = 0;

    // The iterations for new hashes. Only tests lower it, to stay fast.
    unsigned Iterations() const { return iterations; }
    void SetIterationsForTests(unsigned count) { iterations = count; }

private:
    unsigned iterations = kDefaultIterations;
};

}  // namespace qv
