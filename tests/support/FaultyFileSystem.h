#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/File.h"

namespace qv::test {

// Wraps a real file system and makes chosen operations fail, the way a full disk, a lost
// device or a busy file would.
class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& real) : real(real) {}

    std::unique_ptr<File> Open(const std::string& path, const OpenOptions& options) override;
    bool Remove(const std::string& path) override;
    bool Rename(const std::string& from, const std::string& to) override;
    Replace ReplaceAtomically(const std::string& replacement, const std::string& target) override;
    bool CommitNew(const std::string& replacement, const std::string& target) override;
    bool Exists(const std::string& path) override { return real.Exists(path); }
    Lookup Identify(const std::string& path, FileIdentity& identity) override {
        return failIdentify.count(path) != 0 ? Lookup::Failed : real.Identify(path, identity);
    }
    bool CheckPrivateFolder(std::string& why) override { return real.CheckPrivateFolder(why); }
    std::string MapPath(const std::string& path) override { return real.MapPath(path); }

    std::set<std::string> failOpen;                  // system paths whose opens fail
    std::set<std::string> failIdentify;  // system paths the file system cannot tell about
    std::function<bool(const std::string&)> onOpen;  // when set, false fails the open
    std::set<std::string> failWritesTo;  // system paths whose files accept this many bytes...
    long long writeBudget = 0;           // ...and then fail every write (a full disk)
    std::set<std::string> failReads;     // system paths whose reads fail after the first chunk
    // System paths where one write fails (the n-th, counting from 1, over all opens) and the
    // writes before and after it work: a passing error.
    std::map<std::string, int> failOneWrite;
    bool failReplace = false;
    bool replaceNotDurable = false;  // the replace happens, the folder sync fails
    std::set<std::string> failCommitTo;  // system paths that no new file may replace
    bool failRemove = false;
    int replaceCalls = 0;

private:
    FileSystem& real;
};

}  // namespace qv::test
