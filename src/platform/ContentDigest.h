#pragma once

#include <cstddef>
#include <cstdint>

namespace qv {

// A 64-bit fingerprint of a stream of bytes (a multiply-and-shift mix over 8-byte words), cheap
// enough to keep over a hosts file of a million lines. It notices changes; it is no
// protection against someone who wants a collision.
class ContentDigest {
public:
    void Reset() {
        state = kOffset;
        length = 0;
        pending = 0;
        pendingBytes = 0;
    }
    void Add(const char* data, size_t size);
    uint64_t Value() const;

private:
    static constexpr uint64_t kOffset = 14695981039346656037ULL;

    uint64_t state = kOffset;
    uint64_t length = 0;
    uint64_t pending = 0;  // bytes not yet making a whole word
    unsigned pendingBytes = 0;
};

}  // namespace qv
