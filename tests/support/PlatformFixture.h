#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/TextFile.h"
#include "support/TempRoot.h"

namespace qv::test {

// A test with its own sandbox root and this build's real platform layer over it.
class PlatformFixture : public ::testing::Test {
protected:
    PlatformFixture() : platform(CreatePlatform(PathMap::ForRoot(root.String()))) {
        std::filesystem::create_directories(Real(Etc("hosts")).parent_path());
    }

    FileSystem& files() { return platform->Files(); }
    // A system path in the hosts file's folder, which the sandbox maps under the root.
    static std::string Etc(const std::string& name) {
        return "C:\\WINDOWS\\system32\\drivers\\etc\\" + name;
    }
    // Where a system path lands in the sandbox.
    std::filesystem::path Real(const std::string& systemPath) {
        return std::filesystem::path(platform->Files().MapPath(systemPath));
    }
    std::string ReadSystem(const std::string& systemPath) { return ReadBytes(Real(systemPath)); }
    void WriteSystem(const std::string& systemPath, const std::string& bytes) {
        WriteBytes(Real(systemPath), bytes);
    }
    // `text` as the platform's text mode writes it ("\n" as the platform's line end).
    static std::string Text(const std::string& text) {
        std::string out;
        for (char c : text) {
            if (c == '\n') {
                out += kLineEnd;
            } else {
                out += c;
            }
        }
        return out;
    }
    bool ExistsSystem(const std::string& systemPath) {
        return std::filesystem::exists(Real(systemPath));
    }

    TempRoot root;
    std::unique_ptr<Platform> platform;
};

}  // namespace qv::test
