#pragma once

#include "platform/File.h"
#include "platform/Paths.h"

namespace qv {

class PosixFileSystem : public FileSystem {
public:
    explicit PosixFileSystem(PathMap paths) : paths(std::move(paths)) {}

    std::unique_ptr<File> Open(const std::string& path, const OpenOptions& options) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    Replace ReplaceAtomically(const std::string& replacement, const std::string& target) override;
    bool CommitNew(const std::string& replacement, const std::string& target) override;
    bool Exists(const std::string& path) override;
    Lookup Identify(const std::string& path, FileIdentity& identity) override;
    bool CheckPrivateFolder(std::string& why) override;
    std::string MapPath(const std::string& path) override { return paths.Map(path); }

private:
    PathMap paths;
};

// Syncs the directory that holds `path`, so a rename in it survives a crash.
bool SyncParentDirectory(const std::string& path);

}  // namespace qv
