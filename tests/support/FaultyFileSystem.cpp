#include "support/FaultyFileSystem.h"

namespace qv::test {
namespace {

class FaultyFile : public File {
public:
    FaultyFile(std::unique_ptr<File> real, long long writeBudget, bool failReads,
               int* writesUntilFailure)
        : real(std::move(real)),
          writeBudget(writeBudget),
          failReads(failReads),
          writesUntilFailure(writesUntilFailure) {}

    long long Read(char* buffer, size_t size) override {
        if (failReads && readOnce) {
            return -1;
        }
        readOnce = true;
        return real->Read(buffer, size);
    }

    bool Write(const char* data, size_t size) override {
        if (writesUntilFailure != nullptr && *writesUntilFailure > 0 &&
            --*writesUntilFailure == 0) {
            return false;
        }
        if (writeBudget < 0) {
            return real->Write(data, size);
        }
        if (static_cast<long long>(size) > writeBudget) {
            // Part of the data lands, as on a disk that fills up mid-write.
            real->Write(data, static_cast<size_t>(writeBudget));
            writeBudget = 0;
            return false;
        }
        writeBudget -= static_cast<long long>(size);
        return real->Write(data, size);
    }

    bool Rewind() override { return real->Rewind(); }
    bool Sync() override { return real->Sync(); }

private:
    std::unique_ptr<File> real;
    long long writeBudget;  // -1: unlimited
    bool failReads;
    int* writesUntilFailure;
    bool readOnce = false;
};

}  // namespace

std::unique_ptr<File> FaultyFileSystem::Open(const std::string& path, const OpenOptions& options) {
    if (failOpen.count(path) != 0 || (onOpen && !onOpen(path))) {
        return nullptr;
    }
    auto file = real.Open(path, options);
    if (!file) {
        return nullptr;
    }
    bool limited = failWritesTo.count(path) != 0;
    bool badReads = failReads.count(path) != 0;
    auto once = failOneWrite.find(path);
    if (!limited && !badReads && once == failOneWrite.end()) {
        return file;
    }
    return std::make_unique<FaultyFile>(std::move(file), limited ? writeBudget : -1, badReads,
                                        once != failOneWrite.end() ? &once->second : nullptr);
}

bool FaultyFileSystem::Remove(const std::string& path) {
    return failRemove ? false : real.Remove(path);
}

bool FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    return real.Rename(from, to);
}

FileSystem::Replace FaultyFileSystem::ReplaceAtomically(const std::string& replacement,
                                                        const std::string& target) {
    ++replaceCalls;
    if (failReplace) {
        return Replace::Failed;
    }
    Replace result = real.ReplaceAtomically(replacement, target);
    return (replaceNotDurable && result == Replace::Done) ? Replace::NotDurable : result;
}

bool FaultyFileSystem::CommitNew(const std::string& replacement, const std::string& target) {
    if (failCommitTo.count(target) != 0) {
        real.Remove(replacement);
        return false;
    }
    return real.CommitNew(replacement, target);
}

}  // namespace qv::test
