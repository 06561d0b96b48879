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
    EXPECT_EQ(files().ReplaceAtomically(kSwap, kHosts), FileSystem::Replace::Done);
    EXPECT_EQ(ReadSystem(kHosts), "new\n");
    EXPECT_FALSE(ExistsSystem(kSwap));
}

TEST_F(FileSystemTest, FailedReplaceLeavesTheOldFileAsItWas) {
    const std::string old = "127.0.0.1 localhost\r\n0.0.0.0 example.com\r\n";
    WriteSystem(kHosts, old);
    // No replacement file: nothing may happen to the target.
    EXPECT_EQ(files().ReplaceAtomically(kSwap, kHosts), FileSystem::Replace::Failed);
    EXPECT_EQ(ReadSystem(kHosts), old);
    // A replacement that cannot be moved (the target is a directory): same.
    WriteSystem(kSwap, "new");
    std::filesystem::create_directories(Real(Etc("dir")) / "x");
    EXPECT_EQ(files().ReplaceAtomically(kSwap, "C:\\WINDOWS\\system32\\drivers\\etc\\dir"),
              FileSystem::Replace::Failed);
    EXPECT_EQ(ReadSystem(kSwap), "new");
}

TEST_F(FileSystemTest, NewFilesReplaceWhateverIsAtTheirPathAndArePutInPlaceWhole) {
    WriteSystem(Etc("stale.new"), "stale content");
    {
        auto file = files().Open(Etc("stale.new"), {OpenMode::CreateNew});
        ASSERT_NE(file, nullptr);
        ASSERT_TRUE(file->Write("fresh", 5));
    }
    EXPECT_EQ(ReadSystem(Etc("stale.new")), "fresh");
    WriteSystem(Etc("target"), "old");
    EXPECT_TRUE(files().CommitNew(Etc("stale.new"), Etc("target")));
    EXPECT_EQ(ReadSystem(Etc("target")), "fresh");
    EXPECT_FALSE(ExistsSystem(Etc("stale.new")));
    // A failed commit leaves the target and no new file behind.
    WriteSystem(Etc("other.new"), "x");
    std::filesystem::create_directories(Real(Etc("dir")) / "x");
    EXPECT_FALSE(files().CommitNew(Etc("other.new"), Etc("dir")));
    EXPECT_FALSE(ExistsSystem(Etc("other.new")));
}

TEST_F(FileSystemTest, IdentityChangesWithTheFileAndTellsRegularFiles) {
    WriteSystem(Etc("a"), "one");
    FileIdentity first;
    FileIdentity again;
    ASSERT_EQ(files().Identify(Etc("a"), first), FileSystem::Lookup::Found);
    ASSERT_EQ(files().Identify(Etc("a"), again), FileSystem::Lookup::Found);
    EXPECT_TRUE(first == again);
    EXPECT_TRUE(first.regular);
    EXPECT_EQ(first.size, 3u);
    WriteSystem(Etc("b"), "two");
    ASSERT_TRUE(files().Rename(Etc("b"), Etc("a")));
    ASSERT_EQ(files().Identify(Etc("a"), again), FileSystem::Lookup::Found);
    EXPECT_FALSE(first == again);
    FileIdentity folder;
    std::filesystem::create_directories(Real(Etc("folder")));
    ASSERT_EQ(files().Identify(Etc("folder"), folder), FileSystem::Lookup::Found);
    EXPECT_FALSE(folder.regular);
    EXPECT_EQ(files().Identify(Etc("missing"), folder), FileSystem::Lookup::Missing);
}

TEST_F(FileSystemTest, FoldersAreNotOpenedAsFiles) {
    std::filesystem::create_directories(Real(Etc("folder")));
    EXPECT_EQ(files().Open(Etc("folder"), {OpenMode::ReadExisting}), nullptr);
    EXPECT_EQ(files().Open(Etc("folder"), {OpenMode::CreateNew}), nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(Real(Etc("folder"))));
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
    ASSERT_EQ(files().ReplaceAtomically(kSwap, kHosts), FileSystem::Replace::Done);
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

TEST_F(FileSystemTest, ReplaceGivesAHostsFileItsUsualModeWhenThereWasNone) {
    WriteSystem(kSwap, "new\n");
    ASSERT_EQ(::chmod(Real(kSwap).c_str(), 0600), 0);
    ASSERT_EQ(files().ReplaceAtomically(kSwap, kHosts), FileSystem::Replace::Done);
    struct stat st;
    ASSERT_EQ(::stat(Real(kHosts).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST_F(FileSystemTest, NewFilesAreOwnerOnlyWhateverTheUmask) {
    mode_t old = ::umask(0);
    auto file = files().Open(Etc("private.new"), {OpenMode::CreateNew});
    ::umask(old);
    ASSERT_NE(file, nullptr);
    struct stat st;
    ASSERT_EQ(::stat(Real(Etc("private.new")).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A link at a path the program writes is replaced by the new file; what it points to, there
// or not, is never touched or created.
TEST_F(FileSystemTest, NewFilesNeverWriteThroughLinks) {
    WriteSystem(Etc("victim"), "precious");
    std::filesystem::create_symlink(Real(Etc("victim")), Real(Etc("link.new")));
    std::filesystem::create_symlink(Real(Etc("nowhere")), Real(Etc("dangling.new")));
    for (const char* name : {"link.new", "dangling.new"}) {
        auto file = files().Open(Etc(name), {OpenMode::CreateNew});
        ASSERT_NE(file, nullptr) << name;
        ASSERT_TRUE(file->Write("mine", 4)) << name;
        file.reset();
        EXPECT_FALSE(std::filesystem::is_symlink(Real(Etc(name)))) << name;
        EXPECT_EQ(ReadSystem(Etc(name)), "mine") << name;
    }
    EXPECT_EQ(ReadSystem(Etc("victim")), "precious");
    EXPECT_FALSE(ExistsSystem(Etc("nowhere")));
}

// Special files at a fixed path fail at once, like missing ones: a FIFO would block the
// open, a device would be read without end.
TEST_F(FileSystemTest, SpecialFilesFailAtOnce) {
    ASSERT_EQ(::mkfifo(Real(Etc("fifo")).c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", Real(Etc("zero")));
    for (const char* name : {"fifo", "zero"}) {
        for (OpenMode mode : {OpenMode::ReadExisting, OpenMode::AppendExisting,
                              OpenMode::WriteTruncate, OpenMode::AppendCreate}) {
            EXPECT_EQ(files().Open(Etc(name), {mode}), nullptr)
                << name << " mode " << static_cast<int>(mode);
        }
    }
}

struct FolderCase {
    const char* name;
    mode_t mode;
    uid_t owner;  // 0: the user running the test
    bool link;
    bool accepted;
};

class SettingsFolderTest : public test::PlatformFixture,
                           public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SettingsFolderTest, OnlyAPrivateFolderOfTheUserIsAccepted) {
    const FolderCase& c = GetParam();
    if (c.owner != 0 && ::geteuid() != 0) {
        GTEST_SKIP() << "giving a folder away needs root";
    }
    std::filesystem::path folder = root.Path() / "var/lib/quorvex";
    std::filesystem::create_directories(folder.parent_path());
    if (c.link) {
        std::filesystem::create_directories(root.Path() / "elsewhere");
        std::filesystem::create_symlink(root.Path() / "elsewhere", folder);
    } else {
        std::filesystem::create_directories(folder);
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        if (c.owner != 0) {
            ASSERT_EQ(::chown(folder.c_str(), c.owner, c.owner), 0);
        }
    }
    std::string why;
    EXPECT_EQ(files().CheckPrivateFolder(why), c.accepted) << why;
    EXPECT_EQ(why.empty(), c.accepted) << why;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SettingsFolderTest,
    ::testing::Values(FolderCase{"Private", 0700, 0, false, true},
                      FolderCase{"ReadableByOthers", 0755, 0, false, true},
                      FolderCase{"GroupWritable", 0770, 0, false, false},
                      FolderCase{"WorldWritable", 0777, 0, false, false},
                      FolderCase{"StickyWorldWritable", 01777, 0, false, false},
                      FolderCase{"OwnedBySomeoneElse", 0700, 4321, false, false},
                      FolderCase{"Link", 0700, 0, true, false}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return info.param.name; });

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
