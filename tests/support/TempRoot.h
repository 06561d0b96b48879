#pragma once

#include <filesystem>
#include <string>

namespace qv::test {

// A fresh directory for one test, removed afterwards.
class TempRoot {
public:
    TempRoot();
    ~TempRoot();
    TempRoot(const TempRoot&) = delete;
    TempRoot& operator=(const TempRoot&) = delete;

    const std::filesystem::path& Path() const { return root; }
    std::string String() const { return root.string(); }
    // A path under the root.
    std::filesystem::path operator/(const std::string& relative) const { return root / relative; }

private:
    std::filesystem::path root;
};

// Whole-file helpers for checking what the program wrote.
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace qv::test
