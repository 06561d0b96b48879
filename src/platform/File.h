#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace qv {

enum class OpenMode {
    ReadExisting,    // read-only; the file must exist
    WriteTruncate,   // write-only; created, or emptied when it exists
    AppendExisting,  // write-only at the end; the file must exist
    AppendCreate,    // write-only at the end; created when missing, content kept
};

struct OpenOptions {
    OpenMode mode = OpenMode::ReadExisting;
    bool exclusive = false;    // no other open of the file succeeds while this one is held
    bool privateFile = false;  // a new file is readable by its owner only (0600)
    bool noFollow = false;     // refuse a symbolic link or reparse point at the path
};

// Raw, unbuffered access to one open file. Closing happens in the destructor.
class File {
public:
    virtual ~File() = default;
    // Bytes read, 0 at the end of the file, -1 on an error.
    virtual long long Read(char* buffer, size_t size) = 0;
    // Writes all of `data` or reports failure.
    virtual bool Write(const char* data, size_t size) = 0;
    virtual bool Rewind() = 0;
    // Pushes written data to the disk.
    virtual bool Sync() = 0;
};

// The file operations the program needs, on system paths (mapped by the implementation).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> Open(const std::string& path, const OpenOptions& options) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Puts `replacement` in the place of `target` in one step: the replacement is synced,
    // takes the target's mode and owner, is renamed over the target, and the directory is
    // synced. The target is never deleted first; on failure it is left as it was.
    virtual bool ReplaceAtomically(const std::string& replacement, const std::string& target) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // The real path behind a system path (for messages and tests).
    virtual std::string MapPath(const std::string& path) = 0;
};

}  // namespace qv
