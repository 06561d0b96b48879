#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "platform/Platform.h"
#include "platform/Text.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/PosixProfileFunctions.h"

namespace qv {

PathMap PathMap::FromEnvironment() {
    const char* root = std::getenv("QUORVEX_ROOT");
    return PathMap(root != nullptr && *root != '\0' ? root : "/", '/');
}

PathMap PathMap::ForRoot(const std::string& root) {
    return PathMap(root, '/');
}

bool IsLeadByte(char) {
    return false;
}

bool EnsurePrivateDirectory(const std::string& dir, char separator) {
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    // Missing parents are ordinary directories; only the last one is private.
    for (size_t at = dir.find(separator, 1); at != std::string::npos;
         at = dir.find(separator, at + 1)) {
        std::string parent = dir.substr(0, at);
        if (::mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

namespace {

class PosixClock : public Clock {
public:
    LocalTime Now() override {
        std::time_t now = std::time(nullptr);
        std::tm tm{};
        ::localtime_r(&now, &tm);
        return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
    }
};

class OpenSslPasswordHashing : public PasswordHashing {
public:
    bool RandomBytes(unsigned char* out, size_t count) override {
        return RAND_bytes(out, static_cast<int>(count)) == 1;
    }
    bool DeriveSha256(const std::string& password, const std::string& salt, unsigned iterations,
                      unsigned char out[32]) override {
        return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                                 reinterpret_cast<const unsigned char*>(salt.data()),
                                 static_cast<int>(salt.size()), static_cast<int>(iterations),
                                 EVP_sha256(), 32, out) == 1;
    }
};

class PosixPlatform : public Platform {
public:
    explicit PosixPlatform(const PathMap& paths) : paths(paths), files(paths), profile(paths) {}
    FileSystem& Files() override { return files; }
    ProfileFunctions& Profile() override { return profile; }
    Clock& LocalClock() override { return clock; }
    PasswordHashing& Passwords() override { return passwords; }
    Shell& DesktopShell() override { return *shell; }
    const PathMap& Paths() const override { return paths; }

private:
    PathMap paths;
    PosixFileSystem files;
    PosixProfileFunctions profile;
    PosixClock clock;
    OpenSslPasswordHashing passwords;
    std::unique_ptr<Shell> shell = CreateShell();
};

}  // namespace

std::unique_ptr<Platform> CreatePlatform(const PathMap& paths) {
    return std::make_unique<PosixPlatform>(paths);
}

}  // namespace qv
