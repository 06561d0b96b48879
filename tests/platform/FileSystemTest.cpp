#include <gtest/gtest.h>

#include "platform/TextFile.h"
#include "support/FaultyFileSystem.h"
#include "support/PlatformFixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {
namespace {

const std::string kHosts = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
const std::string kSwap = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.swp";

class FileSystemTest : public test::PlatformFixture {};

TEST_F(FileSystemTest, AtomicReplacePutsTheNewFileInPlace) {
    WriteSystem(kHosts, "old\n");
    WriteSystem(kSwap, "new\n");
    EXPECT_TRUE(files().ReplaceAtomically(kSwap, kHosts));
    EXPECT_EQ(ReadSystem(kHosts), "new\n");
    EXPECT_FALSE(ExistsSystem(kSwap));
}

TEST_F(FileSystemTest, FailedReplaceLeavesTheOldFileAsItWas) {
    const std::string old = "127.0.0.1 localhost\r\n0.0.0.0 example.com\r\n";
    WriteSystem(kHosts, old);
    // No replacement file: nothing may happen to the target.
    EXPECT_FALSE(files().ReplaceAtomically(kSwap, kHosts));
    EXPECT_EQ(ReadSystem(kHosts), old);
    // A replacement that cannot be moved (the target is a directory): same.
    WriteSystem(kSwap, "new");
    std::filesystem::create_directories(Real(Etc("dir")) / "x");
    EXPECT_FALSE(files().ReplaceAtomically(kSwap, "C:\\WINDOWS\\system32\\drivers\\etc\\dir"));
    EXPECT_EQ(ReadSystem(kSwap), "new");
}

TEST_F(FileSystemTest, RemoveAndRename) {
    WriteSystem(Etc("a.txt"), "a");
    EXPECT_TRUE(files().Rename(Etc("a.txt"), Etc("b.txt")));
    EXPECT_FALSE(ExistsSystem(Etc("a.txt")));
    EXPECT_TRUE(files().Exists(Etc("b.txt")));
    EXPECT_TRUE(files().Remove(Etc("b.txt")));
    EXPECT_FALSE(files().Exists(Etc("b.txt")));
    EXPECT_FALSE(files().Remove(Etc("b.txt")));
}

TEST_F(FileSystemTest, FailedWriteIsReportedOnClose) {
    test::FaultyFileSystem faulty(files());
    faulty.failWritesTo.insert(Etc("full.txt"));
    faulty.writeBudget = 3;
    TextFile file;
    ASSERT_TRUE(file.Open(faulty, Etc("full.txt"), {OpenMode::WriteTruncate}));
    file.Write("more than three bytes");
    EXPECT_FALSE(file.Close());
}

#ifndef _WIN32
TEST_F(FileSystemTest, ReplaceKeepsModeAndOwner) {
    WriteSystem(kHosts, "old\n");
    std::string hosts = Real(kHosts).string();
    ASSERT_EQ(::chmod(hosts.c_str(), 0644), 0);
    bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(hosts.c_str(), 1234, 2345), 0);
    }
    mode_t old = ::umask(077);
    {
        TextFile swap;
        ASSERT_TRUE(swap.Open(files(), kSwap, {OpenMode::WriteTruncate, true}));
        swap.Write("new\n");
        ASSERT_TRUE(swap.Close());
    }
    ::umask(old);
    ASSERT_TRUE(files().ReplaceAtomically(kSwap, kHosts));
    struct stat st;
    ASSERT_EQ(::stat(hosts.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 2345u);
    }
}

TEST_F(FileSystemTest, PrivateFilesAreOwnerOnly) {
    TextFile file;
    ASSERT_TRUE(file.Open(files(), "C:\\Windows\\System32\\secret.log",
                          {OpenMode::AppendCreate, true, true}));
    file.Close();
    struct stat st;
    ASSERT_EQ(::stat(Real("C:\\Windows\\System32\\secret.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(FileSystemTest, NoFollowRefusesSymbolicLinks) {
    WriteSystem(Etc("target.txt"), "t");
    std::filesystem::create_symlink(Real(Etc("target.txt")), Real(Etc("link.txt")));
    EXPECT_EQ(files().Open(Etc("link.txt"), {OpenMode::WriteTruncate, false, false, true}),
              nullptr);
    EXPECT_EQ(ReadSystem(Etc("target.txt")), "t");
}
#endif

}  // namespace
}  // namespace qv
