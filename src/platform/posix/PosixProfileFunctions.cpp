#include "platform/posix/PosixProfileFunctions.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/ProfileBuffers.h"
#include "platform/Text.h"
#include "platform/posix/PosixFileSystem.h"

namespace qv {
namespace {

bool ReadWholeFile(int fd, std::string& content) {
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        content.append(buffer, static_cast<size_t>(n));
    }
}

bool WriteAll(int fd, const std::string& data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

const IniDocument* PosixProfileFunctions::Load(const std::string& realPath) {
    struct stat st;
    if (realPath.empty() || ::stat(realPath.c_str(), &st) != 0) {
        cache.erase(realPath);
        return nullptr;
    }
    Identity identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    auto it = cache.find(realPath);
    if (it != cache.end() && it->second.identity == identity) {
        return &it->second.document;
    }
    // Never blocks on a FIFO, and reads only a regular file (a device could be endless).
    int fd = ::open(realPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        cache.erase(realPath);
        return nullptr;
    }
    std::string content;
    bool ok = ReadWholeFile(fd, content);
    // Take the identity of what was actually read, in case the file changed meanwhile.
    if (ok && ::fstat(fd, &st) == 0) {
        identity = Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    ::close(fd);
    if (!ok) {
        cache.erase(realPath);
        return nullptr;
    }
    Cached& entry = cache[realPath];
    entry.identity = identity;
    entry.document.Parse(content);
    ++parses;
    return &entry.document;
}

unsigned PosixProfileFunctions::GetString(const char* section, const char* key,
                                          const char* fallback, char* out, unsigned size,
                                          const std::string& path) {
    std::string_view value = fallback != nullptr ? fallback : "";
    // Like Windows, trailing blanks of the default are not part of it.
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    std::optional<std::string> found;
    if (section != nullptr && key != nullptr && !path.empty()) {
        if (const IniDocument* doc = Load(paths.Map(path))) {
            found = doc->Get(section, key);
        }
    }
    return CopyProfileValue(found ? std::string_view(*found) : value, out, size);
}

unsigned PosixProfileFunctions::GetSectionNames(char* out, unsigned size, const std::string& path) {
    const IniDocument* doc = path.empty() ? nullptr : Load(paths.Map(path));
    return CopyProfileSectionNames(doc ? doc->SectionNames() : std::vector<std::string>{}, out,
                                   size);
}

int PosixProfileFunctions::WriteString(const char* section, const char* key, const char* value,
                                       const std::string& path) {
    if (section == nullptr || path.empty()) {
        return 0;
    }
    std::string realPath = paths.Map(path);
    IniDocument document;
    if (const IniDocument* current = Load(realPath)) {
        document = *current;
    } else {
        // A regular file there but unreadable: never overwrite what we could not read. A
        // link, FIFO or device is no settings file and is replaced like a missing one.
        struct stat there;
        if (::lstat(realPath.c_str(), &there) == 0 ? S_ISREG(there.st_mode) : errno != ENOENT) {
            return 0;
        }
    }
    if (key == nullptr) {
        document.RemoveSection(section);
    } else if (value == nullptr) {
        document.RemoveKey(section, key);
    } else {
        document.Set(section, key, value);
    }
    cache.erase(realPath);

    // Write a new copy beside the file and rename it over, so a crash never leaves a
    // half-written settings file. A new file is readable by its owner only.
    struct stat st;
    mode_t mode =
        (::lstat(realPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ? (st.st_mode & 07777) : 0600;
    std::string temp = realPath + ".new";
    // A new file of our own: whatever was left or planted under that name goes first (a link
    // itself, never what it points to).
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return 0;
    }
    bool ok = WriteAll(fd, document.Serialize("\n")) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), realPath.c_str()) != 0) {
        ::unlink(temp.c_str());
        return 0;
    }
    SyncParentDirectory(realPath);
    return 1;
}

}  // namespace qv
