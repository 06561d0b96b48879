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
    // Write-only, a new private file (0600) created exclusively: whatever is at the path (a
    // stale file, or a link, never its target) is removed first. Every file the program writes
    // at a fixed path starts this way and is then renamed into place (CommitNew).
    CreateNew,
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

// Who a file is and what it holds, as far as the file system tells without reading it.
struct FileIdentity {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    unsigned long long size = 0;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    bool regular = false;  // a plain file, not a folder, link, FIFO or device
    bool operator==(const FileIdentity&) const = default;
};

// The file operations the program needs, on system paths (mapped by the implementation).
class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Only regular files open: a folder, FIFO or device at the path fails like a missing file,
    // and opening never blocks on one.
    virtual std::unique_ptr<File> Open(const std::string& path, const OpenOptions& options) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Puts `replacement` in the place of `target` in one step: the replacement is synced,
    // takes the target's mode and owner, is renamed over the target, and the directory is
    // synced. The target is never deleted first; on failure it is left as it was.
    // NotDurable: the rename happened but the folder could not be synced.
    enum class Replace { Failed, Done, NotDurable };
    virtual Replace ReplaceAtomically(const std::string& replacement, const std::string& target) = 0;
    // Renames a file made with CreateNew (and synced) over `target`, keeping the new file's
    // own mode, and syncs the folder. The target is never deleted first.
    virtual bool CommitNew(const std::string& replacement, const std::string& target) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // The identity of the file at `path` (not following a link). Failed when the system could
    // not tell: that is no proof that nothing is there.
    enum class Lookup { Missing, Found, Failed };
    virtual Lookup Identify(const std::string& path, FileIdentity& identity) = 0;
    // The folder of the settings file and the log is a real folder, owned by the user running
    // the program and writable by no one else. False, with the reason, when it is not.
    virtual bool CheckPrivateFolder(std::string& why) = 0;
    // The real path behind a system path (for messages and tests).
    virtual std::string MapPath(const std::string& path) = 0;
};

}  // namespace qv
