#include "FuzzSandbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/Text.h"

namespace qv::fuzz {
namespace {

std::string SandboxBase() {
    if (const char* dir = std::getenv("QUORVEX_FUZZ_DIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    struct stat st;
    if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    if (const char* dir = std::getenv("TMPDIR"); dir != nullptr && *dir != '\0') {
        return dir;
    }
    return "/tmp";
}

[[noreturn]] void SetUpFailed(const std::string& what) {
    std::fprintf(stderr, "fuzz sandbox: %s: %s\n", what.c_str(), std::strerror(errno));
    std::abort();
}

}  // namespace

Sandbox& Sandbox::Get() {
    static Sandbox sandbox;
    return sandbox;
}

Sandbox::Sandbox() {
    std::string pattern = SandboxBase() + "/quorvex-fuzz.XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
        SetUpFailed("cannot make " + pattern);
    }
    root = name.data();
    if (::mkdir((root + "/etc").c_str(), 0755) != 0) {
        SetUpFailed("cannot make " + root + "/etc");
    }
    platform = CreatePlatform(PathMap::ForRoot(root));
    // The settings folder, as the program makes it at start-up.
    if (!EnsurePrivateDirectory(platform->Paths().SettingsDirectory(), '/')) {
        SetUpFailed("cannot make the settings folder under " + root);
    }
}

Sandbox::~Sandbox() {
    platform.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void Sandbox::Write(const std::string& systemPath, std::string_view bytes) {
    std::string path = Real(systemPath);
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetUpFailed("cannot write " + path);
    }
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            SetUpFailed("cannot write " + path);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ::close(fd);
}

bool Sandbox::Read(const std::string& systemPath, std::string& bytes) {
    bytes.clear();
    int fd = ::open(Real(systemPath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char buffer[1 << 14];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            SetUpFailed("cannot read " + Real(systemPath));
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

bool Sandbox::Exists(const std::string& systemPath) {
    return ::access(Real(systemPath).c_str(), F_OK) == 0;
}

void Sandbox::Remove(const std::string& systemPath) {
    if (::unlink(Real(systemPath).c_str()) != 0 && errno != ENOENT) {
        SetUpFailed("cannot remove " + Real(systemPath));
    }
}

void Fail(const char* file, int line, const char* condition, const std::string& detail) {
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 detail.c_str());
    std::abort();
}

std::string Quote(std::string_view bytes, size_t limit) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size() && i < limit; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    out += '"';
    if (bytes.size() > limit) {
        out += "...";
    }
    return out;
}

}  // namespace qv::fuzz
