#pragma once

#include <cstdint>

namespace qv {

// The one random sequence every texture of the process draws from: a 15-bit linear
// congruential generator whose state starts at 1 and is never reseeded, so the textures
// depend on the order the buttons are built in, and the same order gives the same pixels
// on every run. Used on the user-interface thread only.
class TextureRandom {
public:
    static constexpr int kMax = 32767;

    // The next value, 0 to 32767.
    static int Next();
    // Back to the state at program start. For tests only: the program never reseeds.
    static void Reset();

private:
    static uint32_t state;
};

}  // namespace qv
