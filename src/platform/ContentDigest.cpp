#include "platform/ContentDigest.h"

#include <cstring>

namespace qv {
namespace {

constexpr uint64_t kMix = 0xc6a4a7935bd1e995ULL;

// One word into the state, as MurmurHash64A does: every bit of the word reaches every bit.
uint64_t Step(uint64_t state, uint64_t word) {
    word *= kMix;
    word ^= word >> 47;
    word *= kMix;
    return (state ^ word) * kMix;
}

}  // namespace

void ContentDigest::Add(const char* data, size_t size) {
    length += size;
    // Bytes go into words in stream order, wherever the chunks of a read happen to split.
    while (size > 0 && pendingBytes != 0) {
        pending |= static_cast<uint64_t>(static_cast<unsigned char>(*data)) << (8 * pendingBytes);
        ++data;
        --size;
        if (++pendingBytes == 8) {
            state = Step(state, pending);
            pending = 0;
            pendingBytes = 0;
        }
    }
    while (size >= 8) {
        uint64_t word = 0;
        for (unsigned i = 0; i < 8; ++i) {
            word |= static_cast<uint64_t>(static_cast<unsigned char>(data[i])) << (8 * i);
        }
        state = Step(state, word);
        data += 8;
        size -= 8;
    }
    while (size > 0) {
        pending |= static_cast<uint64_t>(static_cast<unsigned char>(*data)) << (8 * pendingBytes);
        ++pendingBytes;
        ++data;
        --size;
    }
}

uint64_t ContentDigest::Value() const {
    uint64_t h = Step(Step(state, pending), length);
    // A final mix, so that near inputs give far values.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

}  // namespace qv
