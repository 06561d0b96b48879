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
    std::string real = paths.Map(path);
    // Never blocks on a FIFO or device: the type is checked before anything is read.
    int flags = O_CLOEXEC | O_NONBLOCK;
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
        case OpenMode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
            // Whatever is there goes: a link itself, never what it points to. A folder stays
            // and makes the open fail.
            if (::unlink(real.c_str()) != 0 && errno != ENOENT && errno != EISDIR &&
                errno != EPERM) {
                return nullptr;
            }
            break;
    }
    if (options.noFollow) {
        flags |= O_NOFOLLOW;
    }
    mode_t mode = (options.privateFile || options.mode == OpenMode::CreateNew) ? 0600 : 0666;
    int fd = ::open(real.c_str(), flags, mode);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(fd);
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

FileSystem::Lookup PosixFileSystem::Identify(const std::string& path, FileIdentity& identity) {
    struct stat st;
    if (::lstat(paths.Map(path).c_str(), &st) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? Lookup::Missing : Lookup::Failed;
    }
    identity = FileIdentity{static_cast<unsigned long long>(st.st_dev),
                            static_cast<unsigned long long>(st.st_ino),
                            static_cast<unsigned long long>(st.st_size),
                            static_cast<long long>(st.st_mtim.tv_sec),
                            static_cast<long long>(st.st_mtim.tv_nsec),
                            S_ISREG(st.st_mode)};
    return Lookup::Found;
}

bool PosixFileSystem::CheckPrivateFolder(std::string& why) {
    std::string folder = paths.SettingsDirectory();
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        why = folder + " does not exist and cannot be made";
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        why = folder + " is not a folder";
        return false;
    }
    if (st.st_uid != ::geteuid()) {
        why = folder + " belongs to another user";
        return false;
    }
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = folder + " can be written by other users";
        return false;
    }
    return true;
}

FileSystem::Replace PosixFileSystem::ReplaceAtomically(const std::string& replacement,
                                                       const std::string& target) {
    std::string from = paths.Map(replacement);
    std::string to = paths.Map(target);
    int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return Replace::Failed;
    }
    struct stat mine;
    bool ok = ::fstat(fd, &mine) == 0 && S_ISREG(mine.st_mode);
    struct stat old;
    if (ok && ::stat(to.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        // Only root can give a file away; for anyone else the owner already matches or
        // cannot be kept, and the mode is what protects the file.
        if (ok && ::fchown(fd, old.st_uid, old.st_gid) != 0 && ::geteuid() == 0) {
            ok = false;
        }
    } else if (ok && errno == ENOENT) {
        // No file to take the mode from: what a hosts file has everywhere.
        ok = ::fchmod(fd, 0644) == 0;
    } else {
        // The old file's mode and owner are unknown: a private swap file must not take its
        // place with its own.
        ok = false;
    }
    ok = ok && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || ::rename(from.c_str(), to.c_str()) != 0) {
        return Replace::Failed;
    }
    return SyncParentDirectory(to) ? Replace::Done : Replace::NotDurable;
}

bool PosixFileSystem::CommitNew(const std::string& replacement, const std::string& target) {
    std::string from = paths.Map(replacement);
    if (::rename(from.c_str(), paths.Map(target).c_str()) != 0) {
        ::unlink(from.c_str());
        return false;
    }
    return SyncParentDirectory(from);
}

}  // namespace qv
