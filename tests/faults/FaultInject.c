// Fault injection for whole program runs, loaded with LD_PRELOAD.
//
// It stands between the program and the C library's file calls and counts the calls that
// touch the sandbox: a path under QV_FAULT_ROOT, a relative path (the program runs with the
// root as its working directory), or a descriptor opened from such a path. The call number
// QV_FAULT_AT fails with a fitting errno and does nothing (QV_FAULT_MODE=fail), or the process
// kills itself with SIGKILL just before it (QV_FAULT_MODE=kill). The file QV_FAULT_REPORT
// receives, when that call comes and again at exit, the number of counted calls and the
// call's name and path, so the runner knows when it has gone past the last call.
//
// Without QV_FAULT_ROOT nothing is counted and every call goes straight through.
#define _GNU_SOURCE
#undef _FORTIFY_SOURCE

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

// The fortified entry points a program built with _FORTIFY_SOURCE calls instead.
int __open_2(const char* path, int flags);
int __open64_2(const char* path, int flags);
int __openat_2(int dirfd, const char* path, int flags);
int __openat64_2(int dirfd, const char* path, int flags);
ssize_t __read_chk(int fd, void* buffer, size_t size, size_t bufferSize);

enum { kMaxFds = 4096, kMaxPath = 1024 };

enum Mode { kModeNone, kModeFail, kModeKill };

static struct {
    int initialised;
    char root[kMaxPath];
    size_t rootLength;
    long long faultAt;
    enum Mode mode;
    char report[kMaxPath];
    long long calls;
    char faultCall[64];
    char faultPath[kMaxPath];
} state;

// The path each tracked descriptor was opened from; an empty string marks an untracked one.
static char fdPaths[kMaxFds][kMaxPath];

// Looks up the next definition of `name` (the C library's). A function pointer cannot be
// cast from the data pointer dlsym returns in ISO C, so it is copied.
#define REAL(type, name)                            \
    static type real_##name;                        \
    if (real_##name == NULL) {                      \
        void* found = dlsym(RTLD_NEXT, #name);      \
        if (found == NULL) {                        \
            errno = ENOSYS;                         \
            return -1;                              \
        }                                           \
        memcpy(&real_##name, &found, sizeof found); \
    }

typedef int (*OpenFn)(const char*, int, ...);
typedef int (*OpenAtFn)(int, const char*, int, ...);
typedef int (*Open2Fn)(const char*, int);
typedef int (*OpenAt2Fn)(int, const char*, int);
typedef int (*CreatFn)(const char*, mode_t);
typedef ssize_t (*ReadFn)(int, void*, size_t);
typedef ssize_t (*ReadChkFn)(int, void*, size_t, size_t);
typedef ssize_t (*WriteFn)(int, const void*, size_t);
typedef ssize_t (*PreadFn)(int, void*, size_t, off_t);
typedef ssize_t (*Pread64Fn)(int, void*, size_t, off64_t);
typedef ssize_t (*PwriteFn)(int, const void*, size_t, off_t);
typedef ssize_t (*Pwrite64Fn)(int, const void*, size_t, off64_t);
typedef off_t (*LseekFn)(int, off_t, int);
typedef off64_t (*Lseek64Fn)(int, off64_t, int);
typedef int (*FdFn)(int);
typedef int (*FtruncateFn)(int, off_t);
typedef int (*Ftruncate64Fn)(int, off64_t);
typedef int (*FchmodFn)(int, mode_t);
typedef int (*FchownFn)(int, uid_t, gid_t);
typedef int (*FlockFn)(int, int);
typedef int (*RenameFn)(const char*, const char*);
typedef int (*RenameAtFn)(int, const char*, int, const char*);
typedef int (*RenameAt2Fn)(int, const char*, int, const char*, unsigned int);
typedef int (*PathFn)(const char*);
typedef int (*UnlinkAtFn)(int, const char*, int);
typedef int (*MkdirFn)(const char*, mode_t);
typedef int (*MkdirAtFn)(int, const char*, mode_t);
typedef int (*ChmodFn)(const char*, mode_t);
typedef int (*FchmodAtFn)(int, const char*, mode_t, int);
typedef int (*LinkFn)(const char*, const char*);
typedef int (*LinkAtFn)(int, const char*, int, const char*, int);
typedef int (*AccessFn)(const char*, int);
typedef int (*FaccessAtFn)(int, const char*, int, int);
typedef int (*StatFn)(const char*, struct stat*);
typedef int (*Stat64Fn)(const char*, struct stat64*);
typedef int (*FstatFn)(int, struct stat*);
typedef int (*Fstat64Fn)(int, struct stat64*);
typedef int (*FstatAtFn)(int, const char*, struct stat*, int);
typedef int (*FstatAt64Fn)(int, const char*, struct stat64*, int);
typedef int (*StatxFn)(int, const char*, int, unsigned int, struct statx*);
typedef FILE* (*FopenFn)(const char*, const char*);
typedef int (*FcloseFn)(FILE*);

// The report is written with raw system calls: they are neither counted nor interposed.
static void WriteReport(const char* ending) {
    if (state.report[0] == '\0') {
        return;
    }
    char text[3 * kMaxPath];
    int n;
    if (state.faultCall[0] != '\0') {
        n = snprintf(text, sizeof text, "calls %lld\nfault %s %s\n%s", state.calls, state.faultCall,
                     state.faultPath, ending);
    } else {
        n = snprintf(text, sizeof text, "calls %lld\n%s", state.calls, ending);
    }
    if (n < 0) {
        return;
    }
    size_t length = (size_t)n < sizeof text ? (size_t)n : sizeof text - 1;
    long fd =
        syscall(SYS_openat, AT_FDCWD, state.report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    const char* p = text;
    while (length > 0) {
        long written = syscall(SYS_write, fd, p, length);
        if (written <= 0) {
            break;
        }
        p += written;
        length -= (size_t)written;
    }
    syscall(SYS_close, fd);
}

static void Initialise(void) {
    if (state.initialised) {
        return;
    }
    state.initialised = 1;
    const char* root = getenv("QV_FAULT_ROOT");
    if (root == NULL || *root == '\0' || strlen(root) >= kMaxPath) {
        return;
    }
    strcpy(state.root, root);
    state.rootLength = strlen(state.root);
    while (state.rootLength > 1 && state.root[state.rootLength - 1] == '/') {
        state.root[--state.rootLength] = '\0';
    }
    const char* at = getenv("QV_FAULT_AT");
    state.faultAt = at != NULL ? atoll(at) : 0;
    const char* mode = getenv("QV_FAULT_MODE");
    if (mode != NULL && strcmp(mode, "fail") == 0) {
        state.mode = kModeFail;
    } else if (mode != NULL && strcmp(mode, "kill") == 0) {
        state.mode = kModeKill;
    }
    const char* report = getenv("QV_FAULT_REPORT");
    if (report != NULL && strlen(report) < kMaxPath) {
        strcpy(state.report, report);
    }
}

__attribute__((constructor)) static void OnLoad(void) {
    Initialise();
    WriteReport("running\n");
}

__attribute__((destructor)) static void OnUnload(void) {
    WriteReport("exit\n");
}

static int UnderRoot(const char* path) {
    if (state.rootLength == 0 || path == NULL) {
        return 0;
    }
    if (path[0] != '/') {
        return 1;  // relative to the working directory, which is the root
    }
    return strncmp(path, state.root, state.rootLength) == 0 &&
           (path[state.rootLength] == '\0' || path[state.rootLength] == '/' ||
            state.rootLength == 1);
}

static int Tracked(int fd) {
    return fd >= 0 && fd < kMaxFds && fdPaths[fd][0] != '\0';
}

// Whether a path relative to `dirfd` lies in the sandbox; `where` receives it for the report.
static int UnderRootAt(int dirfd, const char* path, char* where, size_t size) {
    where[0] = '\0';
    if (path == NULL) {
        return 0;
    }
    if (path[0] == '/' || dirfd == AT_FDCWD) {
        snprintf(where, size, "%s", path);
        return UnderRoot(path);
    }
    if (Tracked(dirfd)) {
        snprintf(where, size, "%s/%s", fdPaths[dirfd], path);
        return 1;
    }
    return 0;
}

static void Track(int fd, const char* path) {
    if (fd < 0) {
        return;
    }
    if (fd >= kMaxFds) {
        // Losing track of a descriptor would silently skip its calls.
        static const char message[] = "FaultInject: descriptor number too high to track\n";
        syscall(SYS_write, 2, message, sizeof message - 1);
        abort();
    }
    snprintf(fdPaths[fd], kMaxPath, "%s", path[0] != '\0' ? path : ".");
}

static void Untrack(int fd) {
    if (fd >= 0 && fd < kMaxFds) {
        fdPaths[fd][0] = '\0';
    }
}

// Counts one call in the sandbox. True when this call is the one to fail; in kill mode the
// process ends here.
static int Count(const char* call, const char* path) {
    Initialise();
    ++state.calls;
    if (state.faultAt <= 0 || state.calls != state.faultAt || state.mode == kModeNone) {
        return 0;
    }
    snprintf(state.faultCall, sizeof state.faultCall, "%s", call);
    snprintf(state.faultPath, sizeof state.faultPath, "%s", path != NULL ? path : "");
    if (state.mode == kModeKill) {
        WriteReport("killed\n");
        syscall(SYS_kill, getpid(), SIGKILL);
        for (;;) {
            pause();
        }
    }
    WriteReport("failed\n");
    return 1;
}

static int CountPath(const char* call, const char* path) {
    Initialise();
    return UnderRoot(path) && Count(call, path);
}

static int CountAt(const char* call, int dirfd, const char* path) {
    Initialise();
    char where[kMaxPath];
    return UnderRootAt(dirfd, path, where, sizeof where) && Count(call, where);
}

static int CountFd(const char* call, int fd) {
    return Tracked(fd) && Count(call, fdPaths[fd]);
}

static int Fail(int error) {
    errno = error;
    return -1;
}

// An open that may create or write fails as access denied; one that only reads, as an I/O
// error.
static int OpenError(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0 ? EACCES : EIO;
}

static mode_t ModeArgument(int flags, va_list args) {
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        return (mode_t)va_arg(args, int);
    }
    return 0;
}

static int AfterOpenAt(int fd, int dirfd, const char* path) {
    char where[kMaxPath];
    if (fd >= 0 && UnderRootAt(dirfd, path, where, sizeof where)) {
        Track(fd, where);
    }
    return fd;
}

// ---- opening and closing

int open(const char* path, int flags, ...) {
    REAL(OpenFn, open);
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeArgument(flags, args);
    va_end(args);
    if (CountPath("open", path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real_open(path, flags, mode), AT_FDCWD, path);
}

int open64(const char* path, int flags, ...) {
    REAL(OpenFn, open64);
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeArgument(flags, args);
    va_end(args);
    if (CountPath("open64", path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real_open64(path, flags, mode), AT_FDCWD, path);
}

int __open_2(const char* path, int flags) {
    REAL(Open2Fn, __open_2);
    if (CountPath("__open_2", path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real___open_2(path, flags), AT_FDCWD, path);
}

int __open64_2(const char* path, int flags) {
    REAL(Open2Fn, __open64_2);
    if (CountPath("__open64_2", path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real___open64_2(path, flags), AT_FDCWD, path);
}

int openat(int dirfd, const char* path, int flags, ...) {
    REAL(OpenAtFn, openat);
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeArgument(flags, args);
    va_end(args);
    if (CountAt("openat", dirfd, path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real_openat(dirfd, path, flags, mode), dirfd, path);
}

int openat64(int dirfd, const char* path, int flags, ...) {
    REAL(OpenAtFn, openat64);
    va_list args;
    va_start(args, flags);
    mode_t mode = ModeArgument(flags, args);
    va_end(args);
    if (CountAt("openat64", dirfd, path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real_openat64(dirfd, path, flags, mode), dirfd, path);
}

int __openat_2(int dirfd, const char* path, int flags) {
    REAL(OpenAt2Fn, __openat_2);
    if (CountAt("__openat_2", dirfd, path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real___openat_2(dirfd, path, flags), dirfd, path);
}

int __openat64_2(int dirfd, const char* path, int flags) {
    REAL(OpenAt2Fn, __openat64_2);
    if (CountAt("__openat64_2", dirfd, path)) {
        return Fail(OpenError(flags));
    }
    return AfterOpenAt(real___openat64_2(dirfd, path, flags), dirfd, path);
}

int creat(const char* path, mode_t mode) {
    REAL(CreatFn, creat);
    if (CountPath("creat", path)) {
        return Fail(EACCES);
    }
    return AfterOpenAt(real_creat(path, mode), AT_FDCWD, path);
}

int creat64(const char* path, mode_t mode) {
    REAL(CreatFn, creat64);
    if (CountPath("creat64", path)) {
        return Fail(EACCES);
    }
    return AfterOpenAt(real_creat64(path, mode), AT_FDCWD, path);
}

int close(int fd) {
    REAL(FdFn, close);
    if (CountFd("close", fd)) {
        // Linux releases the descriptor even when close reports an error; keeping it would
        // keep its lock too, which no real failure does.
        Untrack(fd);
        real_close(fd);
        return Fail(EIO);
    }
    Untrack(fd);
    return real_close(fd);
}

// A stream cannot be returned in the error convention of the other calls.
FILE* fopen(const char* path, const char* mode) {
    static FopenFn real_fopen;
    if (real_fopen == NULL) {
        void* found = dlsym(RTLD_NEXT, "fopen");
        if (found == NULL) {
            errno = ENOSYS;
            return NULL;
        }
        memcpy(&real_fopen, &found, sizeof found);
    }
    if (CountPath("fopen", path)) {
        errno = strchr(mode, 'r') != NULL && strchr(mode, '+') == NULL ? EIO : EACCES;
        return NULL;
    }
    FILE* file = real_fopen(path, mode);
    if (file != NULL && UnderRoot(path)) {
        Track(fileno(file), path);
    }
    return file;
}

FILE* fopen64(const char* path, const char* mode) {
    static FopenFn real_fopen64;
    if (real_fopen64 == NULL) {
        void* found = dlsym(RTLD_NEXT, "fopen64");
        if (found == NULL) {
            errno = ENOSYS;
            return NULL;
        }
        memcpy(&real_fopen64, &found, sizeof found);
    }
    if (CountPath("fopen64", path)) {
        errno = strchr(mode, 'r') != NULL && strchr(mode, '+') == NULL ? EIO : EACCES;
        return NULL;
    }
    FILE* file = real_fopen64(path, mode);
    if (file != NULL && UnderRoot(path)) {
        Track(fileno(file), path);
    }
    return file;
}

int fclose(FILE* file) {
    REAL(FcloseFn, fclose);
    int fd = file != NULL ? fileno(file) : -1;
    if (CountFd("fclose", fd)) {
        Untrack(fd);
        real_fclose(file);
        return Fail(EIO);
    }
    Untrack(fd);
    return real_fclose(file);
}

// ---- reading and writing

ssize_t read(int fd, void* buffer, size_t size) {
    REAL(ReadFn, read);
    if (CountFd("read", fd)) {
        return Fail(EIO);
    }
    return real_read(fd, buffer, size);
}

ssize_t __read_chk(int fd, void* buffer, size_t size, size_t bufferSize) {
    REAL(ReadChkFn, __read_chk);
    if (CountFd("__read_chk", fd)) {
        return Fail(EIO);
    }
    return real___read_chk(fd, buffer, size, bufferSize);
}

ssize_t write(int fd, const void* data, size_t size) {
    REAL(WriteFn, write);
    if (CountFd("write", fd)) {
        return Fail(ENOSPC);
    }
    return real_write(fd, data, size);
}

ssize_t pread(int fd, void* buffer, size_t size, off_t offset) {
    REAL(PreadFn, pread);
    if (CountFd("pread", fd)) {
        return Fail(EIO);
    }
    return real_pread(fd, buffer, size, offset);
}

ssize_t pread64(int fd, void* buffer, size_t size, off64_t offset) {
    REAL(Pread64Fn, pread64);
    if (CountFd("pread64", fd)) {
        return Fail(EIO);
    }
    return real_pread64(fd, buffer, size, offset);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    REAL(PwriteFn, pwrite);
    if (CountFd("pwrite", fd)) {
        return Fail(ENOSPC);
    }
    return real_pwrite(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset) {
    REAL(Pwrite64Fn, pwrite64);
    if (CountFd("pwrite64", fd)) {
        return Fail(ENOSPC);
    }
    return real_pwrite64(fd, data, size, offset);
}

off_t lseek(int fd, off_t offset, int whence) {
    REAL(LseekFn, lseek);
    if (CountFd("lseek", fd)) {
        return Fail(EIO);
    }
    return real_lseek(fd, offset, whence);
}

off64_t lseek64(int fd, off64_t offset, int whence) {
    REAL(Lseek64Fn, lseek64);
    if (CountFd("lseek64", fd)) {
        return Fail(EIO);
    }
    return real_lseek64(fd, offset, whence);
}

// ---- descriptor operations

int fsync(int fd) {
    REAL(FdFn, fsync);
    if (CountFd("fsync", fd)) {
        return Fail(EIO);
    }
    return real_fsync(fd);
}

int fdatasync(int fd) {
    REAL(FdFn, fdatasync);
    if (CountFd("fdatasync", fd)) {
        return Fail(EIO);
    }
    return real_fdatasync(fd);
}

int ftruncate(int fd, off_t length) {
    REAL(FtruncateFn, ftruncate);
    if (CountFd("ftruncate", fd)) {
        return Fail(EIO);
    }
    return real_ftruncate(fd, length);
}

int ftruncate64(int fd, off64_t length) {
    REAL(Ftruncate64Fn, ftruncate64);
    if (CountFd("ftruncate64", fd)) {
        return Fail(EIO);
    }
    return real_ftruncate64(fd, length);
}

int fchmod(int fd, mode_t mode) {
    REAL(FchmodFn, fchmod);
    if (CountFd("fchmod", fd)) {
        return Fail(EIO);
    }
    return real_fchmod(fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) {
    REAL(FchownFn, fchown);
    if (CountFd("fchown", fd)) {
        return Fail(EIO);
    }
    return real_fchown(fd, owner, group);
}

int flock(int fd, int operation) {
    REAL(FlockFn, flock);
    if (CountFd("flock", fd)) {
        return Fail(ENOLCK);
    }
    return real_flock(fd, operation);
}

int fstat(int fd, struct stat* st) {
    REAL(FstatFn, fstat);
    if (CountFd("fstat", fd)) {
        return Fail(EIO);
    }
    return real_fstat(fd, st);
}

int fstat64(int fd, struct stat64* st) {
    REAL(Fstat64Fn, fstat64);
    if (CountFd("fstat64", fd)) {
        return Fail(EIO);
    }
    return real_fstat64(fd, st);
}

// ---- operations on paths

int rename(const char* from, const char* to) {
    REAL(RenameFn, rename);
    Initialise();
    char both[2 * kMaxPath + 8];
    snprintf(both, sizeof both, "%s -> %s", from, to);
    if ((UnderRoot(from) || UnderRoot(to)) && Count("rename", both)) {
        return Fail(EIO);
    }
    return real_rename(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    REAL(RenameAtFn, renameat);
    char where[kMaxPath];
    char other[kMaxPath];
    Initialise();
    int inside = UnderRootAt(fromDir, from, where, sizeof where);
    inside = UnderRootAt(toDir, to, other, sizeof other) || inside;
    char both[2 * kMaxPath + 8];
    snprintf(both, sizeof both, "%s -> %s", where, other);
    if (inside && Count("renameat", both)) {
        return Fail(EIO);
    }
    return real_renameat(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned int flags) {
    REAL(RenameAt2Fn, renameat2);
    char where[kMaxPath];
    char other[kMaxPath];
    Initialise();
    int inside = UnderRootAt(fromDir, from, where, sizeof where);
    inside = UnderRootAt(toDir, to, other, sizeof other) || inside;
    char both[2 * kMaxPath + 8];
    snprintf(both, sizeof both, "%s -> %s", where, other);
    if (inside && Count("renameat2", both)) {
        return Fail(EIO);
    }
    return real_renameat2(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    REAL(LinkFn, link);
    Initialise();
    if ((UnderRoot(from) || UnderRoot(to)) && Count("link", to)) {
        return Fail(EIO);
    }
    return real_link(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    REAL(LinkAtFn, linkat);
    char where[kMaxPath];
    char other[kMaxPath];
    Initialise();
    int inside = UnderRootAt(fromDir, from, where, sizeof where);
    inside = UnderRootAt(toDir, to, other, sizeof other) || inside;
    if (inside && Count("linkat", other)) {
        return Fail(EIO);
    }
    return real_linkat(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    REAL(PathFn, unlink);
    if (CountPath("unlink", path)) {
        return Fail(EIO);
    }
    return real_unlink(path);
}

int unlinkat(int dirfd, const char* path, int flags) {
    REAL(UnlinkAtFn, unlinkat);
    if (CountAt("unlinkat", dirfd, path)) {
        return Fail(EIO);
    }
    return real_unlinkat(dirfd, path, flags);
}

int rmdir(const char* path) {
    REAL(PathFn, rmdir);
    if (CountPath("rmdir", path)) {
        return Fail(EIO);
    }
    return real_rmdir(path);
}

int mkdir(const char* path, mode_t mode) {
    REAL(MkdirFn, mkdir);
    if (CountPath("mkdir", path)) {
        return Fail(EIO);
    }
    return real_mkdir(path, mode);
}

int mkdirat(int dirfd, const char* path, mode_t mode) {
    REAL(MkdirAtFn, mkdirat);
    if (CountAt("mkdirat", dirfd, path)) {
        return Fail(EIO);
    }
    return real_mkdirat(dirfd, path, mode);
}

int chmod(const char* path, mode_t mode) {
    REAL(ChmodFn, chmod);
    if (CountPath("chmod", path)) {
        return Fail(EIO);
    }
    return real_chmod(path, mode);
}

int fchmodat(int dirfd, const char* path, mode_t mode, int flags) {
    REAL(FchmodAtFn, fchmodat);
    if (CountAt("fchmodat", dirfd, path)) {
        return Fail(EIO);
    }
    return real_fchmodat(dirfd, path, mode, flags);
}

int access(const char* path, int how) {
    REAL(AccessFn, access);
    if (CountPath("access", path)) {
        return Fail(EIO);
    }
    return real_access(path, how);
}

int faccessat(int dirfd, const char* path, int how, int flags) {
    REAL(FaccessAtFn, faccessat);
    if (CountAt("faccessat", dirfd, path)) {
        return Fail(EIO);
    }
    return real_faccessat(dirfd, path, how, flags);
}

int stat(const char* path, struct stat* st) {
    REAL(StatFn, stat);
    if (CountPath("stat", path)) {
        return Fail(EIO);
    }
    return real_stat(path, st);
}

int stat64(const char* path, struct stat64* st) {
    REAL(Stat64Fn, stat64);
    if (CountPath("stat64", path)) {
        return Fail(EIO);
    }
    return real_stat64(path, st);
}

int lstat(const char* path, struct stat* st) {
    REAL(StatFn, lstat);
    if (CountPath("lstat", path)) {
        return Fail(EIO);
    }
    return real_lstat(path, st);
}

int lstat64(const char* path, struct stat64* st) {
    REAL(Stat64Fn, lstat64);
    if (CountPath("lstat64", path)) {
        return Fail(EIO);
    }
    return real_lstat64(path, st);
}

// fstatat with an empty path and AT_EMPTY_PATH asks about the descriptor itself.
static int CountStatAt(const char* call, int dirfd, const char* path, int flags) {
    if ((flags & AT_EMPTY_PATH) != 0 && path != NULL && path[0] == '\0') {
        return CountFd(call, dirfd);
    }
    return CountAt(call, dirfd, path);
}

int fstatat(int dirfd, const char* path, struct stat* st, int flags) {
    REAL(FstatAtFn, fstatat);
    if (CountStatAt("fstatat", dirfd, path, flags)) {
        return Fail(EIO);
    }
    return real_fstatat(dirfd, path, st, flags);
}

int fstatat64(int dirfd, const char* path, struct stat64* st, int flags) {
    REAL(FstatAt64Fn, fstatat64);
    if (CountStatAt("fstatat64", dirfd, path, flags)) {
        return Fail(EIO);
    }
    return real_fstatat64(dirfd, path, st, flags);
}

int statx(int dirfd, const char* path, int flags, unsigned int mask, struct statx* st) {
    REAL(StatxFn, statx);
    if (CountStatAt("statx", dirfd, path, flags)) {
        return Fail(EIO);
    }
    return real_statx(dirfd, path, flags, mask, st);
}
