#include "ui/TextureRandom.h"

namespace qv {

uint32_t TextureRandom::state = 1;

int TextureRandom::Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void TextureRandom::Reset() {
    state = 1;
}

}  // namespace qv
