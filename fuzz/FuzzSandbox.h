#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qv::fuzz {

// A sandbox root made once per fuzzing process, on a memory file system where there is one,
// with this build's real platform layer over it. Every iteration reuses it: writing a few
// small files to tmpfs costs far less than making a new folder each time.
//
// The root is made under $QUORVEX_FUZZ_DIR, else /dev/shm, else $TMPDIR or /tmp, and removed
// when the process ends normally (a crashing run leaves it for a look).
class Sandbox {
public:
    static Sandbox& Get();

    Platform& ThePlatform() { return *platform; }
    const std::string& Root() const { return root; }

    // The real path behind a system path such as "C:\Windows\System32\Quorvex.ini".
    std::string Real(const std::string& systemPath) {
        return platform->Files().MapPath(systemPath);
    }
    // Whole-file helpers on system paths. Reading a missing file gives nothing.
    void Write(const std::string& systemPath, std::string_view bytes);
    bool Read(const std::string& systemPath, std::string& bytes);
    bool Exists(const std::string& systemPath);
    void Remove(const std::string& systemPath);

    ~Sandbox();

private:
    Sandbox();
    std::string root;
    std::unique_ptr<Platform> platform;
};

// Stops the run with a message when an invariant does not hold: libFuzzer reports the abort
// as a crash and keeps the input.
[[noreturn]] void Fail(const char* file, int line, const char* condition,
                       const std::string& detail);

// The input as a printable C string literal, cut after `limit` bytes, for failure messages.
std::string Quote(std::string_view bytes, size_t limit = 200);

}  // namespace qv::fuzz

#define FUZZ_CHECK(condition, detail)                                   \
    do {                                                                \
        if (!(condition)) {                                             \
            ::qv::fuzz::Fail(__FILE__, __LINE__, #condition, (detail)); \
        }                                                               \
    } while (false)
