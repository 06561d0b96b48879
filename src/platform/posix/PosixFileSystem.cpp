#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qv {
namespace {

class PosixFile : public File {
public:
    explicit PosixFile(int fd) : fd(fd) {}
    ~PosixFile() override { ::close(fd); }

    long long Read(char* buffer, size_t size) override {
        for (;;) {
            ssize_t n = ::read(fd, buffer, size);
            if (n >= 0 || errno != EINTR) {
                return n;
            }
        }
    }

    bool Write(const char* data, size_t size) override {
        while (size > 0) {
            ssize_t n = ::write(fd, data, size);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return false;
            }
            data += n;
            size -= static_cast<size_t>(n);
        }
        return true;
    }

    bool Rewind() override { return ::lseek(fd, 0, SEEK_SET) == 0; }
    bool Sync() override { return ::fsync(fd) == 0; }

private:
    int fd;
};

std::string ParentDirectory(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool SyncParentDirectory(const std::string& path) {
    int dir = ::open(ParentDirectory(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) {
        return false;
    }
    bool ok = ::fsync(dir) == 0;
    ::close(dir);
    return ok;
}

std::unique_ptr<File> PosixFileSystem::Open(const std::string& path, const OpenOptions& options) {
    int flags = O_CLOEXEC;
    switch (options.mode) {
        case OpenMode::ReadExisting:
            flags |= O_RDONLY;
            break;
        case OpenMode::WriteTruncate:
            flags |= O_WRONLY | O_CREAT;
            break;
        case OpenMode::AppendExisting:
            flags |= O_WRONLY | O_APPEND;
            break;
        case OpenMode::AppendCreate:
            flags |= O_WRONLY | O_APPEND | O_CREAT;
            break;
    }
    if (options.noFollow) {
        flags |= O_NOFOLLOW;
    }
    mode_t mode = options.privateFile ? 0600 : 0666;
    int fd = ::open(paths.Map(path).c_str(), flags, mode);
    if (fd < 0) {
        return nullptr;
    }
    // Lock before truncating, so a file held by someone else is never emptied.
    if (options.exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return nullptr;
    }
    if (options.mode == OpenMode::WriteTruncate && ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFile>(fd);
}

bool PosixFileSystem::Remove(const std::string& path) {
    return ::unlink(paths.Map(path).c_str()) == 0;
}

bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    return ::rename(paths.Map(from).c_str(), paths.Map(to).c_str()) == 0;
}

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st;
    return ::stat(paths.Map(path).c_str(), &st) == 0;
}

bool PosixFileSystem::ReplaceAtomically(const std::string& replacement, const std::string& target) {
    std::string from = paths.Map(replacement);
    std::string to = paths.Map(target);
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    struct stat old;
    if (::stat(to.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Only root can give a file away; for anyone else the owner already matches or
        // cannot be kept, and the mode is what protects the file.
        if (ok && ::fchown(fd, old.st_uid, old.st_gid) != 0 && ::geteuid() == 0) {
            ok = false;
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    SyncParentDirectory(to);
    return true;
}

}  // namespace qv
