#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include "platform/Platform.h"
#include "platform/ProfileBuffers.h"
#include "platform/Text.h"

namespace qv {
namespace {

class Win32File : public File {
public:
    Win32File(HANDLE handle, bool append) : handle(handle), append(append) {}
    ~Win32File() override { CloseHandle(handle); }

    long long Read(char* buffer, size_t size) override {
        DWORD got = 0;
        if (!ReadFile(handle, buffer, static_cast<DWORD>(size), &got, nullptr)) {
            return -1;
        }
        return got;
    }

    bool Write(const char* data, size_t size) override {
        if (append) {
            LARGE_INTEGER zero{};
            if (!SetFilePointerEx(handle, zero, nullptr, FILE_END)) {
                return false;
            }
        }
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(handle, data, static_cast<DWORD>(size), &written, nullptr) ||
                written == 0) {
                return false;
            }
            data += written;
            size -= written;
        }
        return true;
    }

    bool Rewind() override {
        LARGE_INTEGER zero{};
        return SetFilePointerEx(handle, zero, nullptr, FILE_BEGIN) != 0;
    }

    bool Sync() override { return FlushFileBuffers(handle) != 0; }

private:
    HANDLE handle;
    bool append;
};

class Win32FileSystem : public FileSystem {
public:
    explicit Win32FileSystem(PathMap paths) : paths(std::move(paths)) {}

    std::unique_ptr<File> Open(const std::string& path, const OpenOptions& options) override {
        DWORD access = GENERIC_WRITE;
        DWORD disposition = OPEN_EXISTING;
        switch (options.mode) {
            case OpenMode::ReadExisting:
                access = GENERIC_READ;
                break;
            case OpenMode::WriteTruncate:
                disposition = CREATE_ALWAYS;
                break;
            case OpenMode::AppendExisting:
                break;
            case OpenMode::AppendCreate:
                disposition = OPEN_ALWAYS;
                break;
            case OpenMode::CreateNew:
                disposition = CREATE_NEW;
                // A stale file or link goes first: the link itself, never its target.
                DeleteFileA(paths.Map(path).c_str());
                break;
        }
        bool noFollow = options.noFollow || options.mode == OpenMode::CreateNew;
        DWORD share = options.exclusive ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
        DWORD flags = FILE_ATTRIBUTE_NORMAL;
        if (noFollow) {
            flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        }
        HANDLE h = CreateFileA(paths.Map(path).c_str(), access, share, nullptr, disposition, flags,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        if (GetFileType(h) != FILE_TYPE_DISK) {
            CloseHandle(h);
            return nullptr;
        }
        if (noFollow) {
            BY_HANDLE_FILE_INFORMATION info;
            if (!GetFileInformationByHandle(h, &info) ||
                (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                CloseHandle(h);
                return nullptr;
            }
        }
        bool append =
            options.mode == OpenMode::AppendExisting || options.mode == OpenMode::AppendCreate;
        return std::make_unique<Win32File>(h, append);
    }

    bool Remove(const std::string& path) override {
        return DeleteFileA(paths.Map(path).c_str()) != 0;
    }

    bool Rename(const std::string& from, const std::string& to) override {
        return MoveFileA(paths.Map(from).c_str(), paths.Map(to).c_str()) != 0;
    }

    Replace ReplaceAtomically(const std::string& replacement, const std::string& target) override {
        std::string from = paths.Map(replacement);
        std::string to = paths.Map(target);
        HANDLE h = CreateFileA(from.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return Replace::Failed;
        }
        bool synced = FlushFileBuffers(h) != 0;
        CloseHandle(h);
        bool moved = synced && MoveFileExA(from.c_str(), to.c_str(),
                                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        return moved ? Replace::Done : Replace::Failed;
    }

    bool CommitNew(const std::string& replacement, const std::string& target) override {
        std::string from = paths.Map(replacement);
        if (MoveFileExA(from.c_str(), paths.Map(target).c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
            DeleteFileA(from.c_str());
            return false;
        }
        return true;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesA(paths.Map(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    Lookup Identify(const std::string& path, FileIdentity& identity) override {
        // No access asked for: this open works beside a handle that shares nothing.
        HANDLE h = CreateFileA(paths.Map(path).c_str(), 0,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                       ? Lookup::Missing
                       : Lookup::Failed;
        }
        BY_HANDLE_FILE_INFORMATION info;
        bool ok = GetFileInformationByHandle(h, &info) != 0;
        CloseHandle(h);
        if (!ok) {
            return Lookup::Failed;
        }
        auto join = [](DWORD high, DWORD low) {
            return (static_cast<unsigned long long>(high) << 32) | low;
        };
        unsigned long long written =
            join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
        identity = FileIdentity{info.dwVolumeSerialNumber,
                                join(info.nFileIndexHigh, info.nFileIndexLow),
                                join(info.nFileSizeHigh, info.nFileSizeLow),
                                static_cast<long long>(written / 10000000ULL),
                                static_cast<long long>(written % 10000000ULL) * 100,
                                (info.dwFileAttributes &
                                 (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0};
        return Lookup::Found;
    }

    // The system folder belongs to the system, and only administrators write there.
    bool CheckPrivateFolder(std::string&) override { return true; }

    std::string MapPath(const std::string& path) override { return paths.Map(path); }

private:
    PathMap paths;
};

// The real profile functions of the system.
class Win32ProfileFunctions : public ProfileFunctions {
public:
    explicit Win32ProfileFunctions(PathMap paths) : paths(std::move(paths)) {}

    unsigned GetString(const char* section, const char* key, const char* fallback, char* out,
                       unsigned size, const std::string& path) override {
        if (path.empty()) {
            // An empty name would reach the system's own win.ini.
            return CopyProfileValue(fallback ? fallback : "", out, size);
        }
        return GetPrivateProfileStringA(section, key, fallback, out, size, paths.Map(path).c_str());
    }

    int WriteString(const char* section, const char* key, const char* value,
                    const std::string& path) override {
        if (path.empty()) {
            return 0;
        }
        return WritePrivateProfileStringA(section, key, value, paths.Map(path).c_str());
    }

    unsigned GetSectionNames(char* out, unsigned size, const std::string& path) override {
        if (path.empty()) {
            return CopyProfileSectionNames({}, out, size);
        }
        return GetPrivateProfileSectionNamesA(out, size, paths.Map(path).c_str());
    }

private:
    PathMap paths;
};

class Win32Clock : public Clock {
public:
    LocalTime Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute};
    }
};

class BCryptPasswordHashing : public PasswordHashing {
public:
    bool RandomBytes(unsigned char* out, size_t count) override {
        return BCryptGenRandom(nullptr, out, static_cast<ULONG>(count),
                               BCRYPT_USE_SYSTEM_PREFERRED_RNG) == 0;
    }
    bool DeriveSha256(const std::string& password, const std::string& salt, unsigned iterations,
                      unsigned char out[32]) override {
        BCRYPT_ALG_HANDLE algorithm = nullptr;
        if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                        BCRYPT_ALG_HANDLE_HMAC_FLAG) != 0) {
            return false;
        }
        NTSTATUS status = BCryptDeriveKeyPBKDF2(
            algorithm, reinterpret_cast<PUCHAR>(const_cast<char*>(password.data())),
            static_cast<ULONG>(password.size()),
            reinterpret_cast<PUCHAR>(const_cast<char*>(salt.data())),
            static_cast<ULONG>(salt.size()), iterations, out, 32, 0);
        BCryptCloseAlgorithmProvider(algorithm, 0);
        return status == 0;
    }
};

class Win32Platform : public Platform {
public:
    explicit Win32Platform(const PathMap& paths) : paths(paths), files(paths), profile(paths) {}
    FileSystem& Files() override { return files; }
    ProfileFunctions& Profile() override { return profile; }
    Clock& LocalClock() override { return clock; }
    PasswordHashing& Passwords() override { return passwords; }
    Shell& DesktopShell() override { return *shell; }
    const PathMap& Paths() const override { return paths; }

private:
    PathMap paths;
    Win32FileSystem files;
    Win32ProfileFunctions profile;
    Win32Clock clock;
    BCryptPasswordHashing passwords;
    std::unique_ptr<Shell> shell = CreateShell();
};

}  // namespace

PathMap PathMap::FromEnvironment() {
    return PathMap();
}

PathMap PathMap::ForRoot(const std::string& root) {
    return PathMap(root, '\\');
}

bool IsLeadByte(char c) {
    return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0;
}

bool EnsurePrivateDirectory(const std::string& dir, char separator) {
    for (size_t at = dir.find(separator, 3); at != std::string::npos;
         at = dir.find(separator, at + 1)) {
        CreateDirectoryA(dir.substr(0, at).c_str(), nullptr);
    }
    return CreateDirectoryA(dir.c_str(), nullptr) != 0 || GetLastError() == ERROR_ALREADY_EXISTS;
}

std::unique_ptr<Platform> CreatePlatform(const PathMap& paths) {
    return std::make_unique<Win32Platform>(paths);
}

}  // namespace qv
