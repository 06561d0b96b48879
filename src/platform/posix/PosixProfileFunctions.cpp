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

// Edits add their text after the file's: room for a good many of them without a copy.
constexpr size_t kRoomForEdits = 64 * 1024;

// Reads the file with as few system calls as its size allows: one read for the bytes it is
// expected to have, one more to see its end.
bool ReadWholeFile(int fd, off_t expected, std::string& content) {
    size_t size = static_cast<size_t>(expected > 0 ? expected : 0);
    content.reserve(size + kRoomForEdits);
    content.resize(size + 1);
    size_t used = 0;
    for (;;) {
        if (used == content.size()) {
            content.resize(content.size() * 2);
        }
        ssize_t n = ::read(fd, content.data() + used, content.size() - used);
        if (n == 0) {
            content.resize(used);
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        used += static_cast<size_t>(n);
    }
}

bool WriteAll(int fd, std::string_view data) {
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

long long PosixProfileFunctions::CoarseMilliseconds() {
    // The coarse clock is read without a system call; its few milliseconds of grain are
    // fine for spacing checks.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

const std::string& PosixProfileFunctions::RealPath(const std::string& path) {
    if (path != lastPath || lastRealPath.empty()) {
        lastRealPath = paths.Map(path);
        lastPath = path;
    }
    return lastRealPath;
}

std::optional<PosixProfileFunctions::Identity> PosixProfileFunctions::Check(
    const std::string& realPath) {
    struct stat st;
    ++checks;
    if (realPath.empty() || ::stat(realPath.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
}

void PosixProfileFunctions::Drop(const std::string& realPath) {
    walk.entry = nullptr;
    cache.erase(realPath);
}

PosixProfileFunctions::Cached* PosixProfileFunctions::Load(const std::string& realPath) {
    walk.entry = nullptr;
    std::optional<Identity> identity = Check(realPath);
    if (!identity) {
        Drop(realPath);
        return nullptr;
    }
    auto it = cache.find(realPath);
    if (it != cache.end() && it->second.identity == *identity) {
        return &it->second;
    }
    // Never blocks on a FIFO, and reads only a regular file (a device could be endless).
    struct stat st;
    int fd = ::open(realPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) {
            ::close(fd);
        }
        Drop(realPath);
        return nullptr;
    }
    std::string content;
    // A file beyond what a document holds is one we cannot read.
    bool ok = st.st_size <= static_cast<off_t>(IniDocument::kMaxSize) &&
              ReadWholeFile(fd, st.st_size, content) && content.size() <= IniDocument::kMaxSize;
    // Take the identity of what was actually read, in case the file changed meanwhile.
    if (ok && ::fstat(fd, &st) == 0) {
        identity = Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    }
    ::close(fd);
    if (!ok) {
        Drop(realPath);
        return nullptr;
    }
    Cached& entry = cache[realPath];
    entry.identity = *identity;
    entry.document.Parse(std::move(content));
    ++parses;
    return &entry;
}

std::optional<std::string_view> PosixProfileFunctions::Lookup(const std::string& realPath,
                                                              const char* section,
                                                              const char* key) {
    if (walk.entry != nullptr && realPath == walk.realPath) {
        if (auto at = walk.entry->document.FollowWalk(walk.at, section)) {
            if (walk.stepsToClock > 0) {
                --walk.stepsToClock;
            } else {
                walk.stepsToClock = kWalkStepsPerClock;
                long long now = clock();
                if (now >= walk.checkAt) {
                    if (Check(realPath) != walk.entry->identity) {
                        return LookupAfterWalk(realPath, section, key);
                    }
                    walk.checkAt = now + kWalkCheckMs;
                }
            }
            walk.at = *at;
            return walk.entry->document.ValueInWalk(*at, key);
        }
    }
    return LookupAfterWalk(realPath, section, key);
}

std::optional<std::string_view> PosixProfileFunctions::LookupAfterWalk(const std::string& realPath,
                                                                       const char* section,
                                                                       const char* key) {
    Cached* entry = Load(realPath);  // not part of a walk, or the file changed: any walk ends
    if (entry == nullptr) {
        return std::nullopt;
    }
    return entry->document.Value(section, key);
}

unsigned PosixProfileFunctions::GetString(const char* section, const char* key,
                                          const char* fallback, char* out, unsigned size,
                                          const std::string& path) {
    std::string_view value = fallback != nullptr ? fallback : "";
    // Like Windows, trailing blanks of the default are not part of it.
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    std::optional<std::string_view> found;
    if (section != nullptr && key != nullptr && !path.empty()) {
        found = Lookup(RealPath(path), section, key);
    }
    return CopyProfileValue(found ? *found : value, out, size);
}

unsigned PosixProfileFunctions::GetSectionNames(char* out, unsigned size, const std::string& path) {
    Cached* entry = path.empty() ? nullptr : Load(RealPath(path));
    if (entry == nullptr) {
        return CopyProfileSectionNames({}, out, size);
    }
    walk = Walk{entry, RealPath(path), IniDocument::kBeforeFirst, clock() + kWalkCheckMs,
                kWalkStepsPerClock};
    return entry->document.CopySectionNames(out, size);
}

int PosixProfileFunctions::WriteString(const char* section, const char* key, const char* value,
                                       const std::string& path) {
    if (section == nullptr || path.empty()) {
        return 0;
    }
    // Mapped afresh: mapping also makes the settings folder when it is missing.
    std::string realPath = paths.Map(path);
    Cached* entry = Load(realPath);
    if (entry == nullptr) {
        // A regular file there but unreadable: never overwrite what we could not read. A
        // link, FIFO or device is no settings file and is replaced like a missing one.
        struct stat there;
        if (::lstat(realPath.c_str(), &there) == 0 ? S_ISREG(there.st_mode) : errno != ENOENT) {
            return 0;
        }
        entry = &cache[realPath];  // a new file, empty so far
    }
    // The copy is edited along with the file; if the file cannot be written, it is dropped.
    IniDocument& document = entry->document;
    bool edited = true;
    if (key == nullptr) {
        document.RemoveSection(section);
    } else if (value == nullptr) {
        edited = document.RemoveKey(section, key);
    } else {
        edited = document.Set(section, key, value);
    }
    if (!edited) {
        return 0;  // a settings file of gigabytes: left as it is
    }

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
        Drop(realPath);
        return 0;
    }
    bool ok =
        document.Serialize("\n", [fd](std::string_view piece) { return WriteAll(fd, piece); }) &&
        ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0 && ::fstat(fd, &st) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(temp.c_str(), realPath.c_str()) != 0) {
        ::unlink(temp.c_str());
        Drop(realPath);
        return 0;
    }
    // The renamed file keeps the inode, size and time the copy was written with.
    entry->identity = Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim};
    SyncParentDirectory(realPath);
    return 1;
}

}  // namespace qv
