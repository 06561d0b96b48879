// One password check at full strength (600,000 PBKDF2-HMAC-SHA256 iterations) must stay
// well under a second: it runs on the user-interface thread whenever the prompt is confirmed.
#include <cstdio>
#include <filesystem>

#include "BenchSupport.h"
#include "access/PasswordHash.h"
#include "platform/Platform.h"

int main() {
    auto root = std::filesystem::temp_directory_path() / "quorvex-bench-password";
    std::filesystem::create_directories(root);
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.string()));
    qv::PasswordHashing& hashing = platform->Passwords();
    auto stored = qv::HashPassword(hashing, "correct horse battery");
    std::filesystem::remove_all(root);
    if (!stored || stored->rfind("pbkdf2-sha256$600000$", 0) != 0) {
        std::printf("password hashing failed\n");
        return 1;
    }
    bool right = false;
    double seconds = qv::bench::MedianSeconds(3, [&] {
        right = qv::VerifyPassword(hashing, *stored, "correct horse battery") ==
                qv::PasswordMatch::Right;
    });
    bool met = qv::bench::Report("password check, 600,000 iterations",
                                 qv::bench::Format("%.0f ms", seconds * 1e3), "under 1000 ms",
                                 right && seconds < 1.0);
    return met ? 0 : 1;
}
