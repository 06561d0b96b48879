// A save never loses the hosts file: failures leave it as it was and the changes pending.
#include "support/AppFixture.h"

#include "res/Resource.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

const std::string kOriginal = "127.0.0.1 localhost\r\n0.0.0.0 ads.example\r\n";

class SaveSafety : public AppFixture {
protected:
    void SetUp() override {
        WriteHosts(kOriginal);
        InstallSettings();
        Start();
        View().passwords.unlocked = true;  // the password gate has tests of its own
        ui.Expect(res::kNewRestrictionDialog,
                  {H::Type(res::kUrlEdit, "new.example"), H::Click(res::kIdOk)});
        View().Click(res::kAddButton);
        Shown();
    }
    // Saves, expecting the save to fail.
    void FailingSave() {
        labelBefore = Label(res::kStatus1);
        View().Click(res::kSaveButton);
    }
    void ExpectNothingSaved() {
        EXPECT_EQ(Hosts(), kOriginal);
        EXPECT_TRUE(View().restrictions.pendingChange);
        EXPECT_TRUE(Enabled(res::kSaveButton));
        EXPECT_EQ(Label(res::kStatus1), labelBefore);
        View().log.Close();
        EXPECT_EQ(ReadSystem(kLog).find("User refreshed files"), std::string::npos);
    }
    std::string labelBefore;
};

TEST_F(SaveSafety, FailedReplaceKeepsTheHostsFile) {
    testPlatform.faulty.failReplace = true;
    FailingSave();
    EXPECT_EQ(labelBefore, "Input File Has Changed");
    EXPECT_EQ(Shown(), Lines{Message("Unable to replace host file. (ReplaceHostsFile())")});
    ExpectNothingSaved();
    // The files were opened again: a later save works.
    EXPECT_EQ(Label(res::kStatus2), "Output File Is Open");
    testPlatform.faulty.failReplace = false;
    View().log.OpenLogFile();
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("127.0.0.1 localhost\n0.0.0.0 ads.example\n0.0.0.0 new.example\n"));
    EXPECT_FALSE(View().restrictions.pendingChange);
}

TEST_F(SaveSafety, SwapFileThatCannotBeWrittenCompletelyIsNotUsed) {
    // Reopen the swap file through a file system that fills up after a few bytes.
    testPlatform.faulty.failWritesTo.insert(kSwapPath);
    testPlatform.faulty.writeBudget = 10;
    View().hostsFile.OpenFiles();
    FailingSave();
    EXPECT_EQ(Shown(), Lines{Message("Unable to replace host file. (ReplaceHostsFile())")});
    EXPECT_EQ(testPlatform.faulty.replaceCalls, 0);
    ExpectNothingSaved();
}

TEST_F(SaveSafety, SaveWithoutASwapFileWritesNothing) {
    View().hostsFile.outputFile.Close();
    testPlatform.faulty.failOpen.insert(kSwapPath);
    FailingSave();
    EXPECT_EQ(Shown(), Lines{Message("Unable to open output file.(OpenFiles())")});
    EXPECT_EQ(testPlatform.faulty.replaceCalls, 0);
    ExpectNothingSaved();
}

TEST_F(SaveSafety, SwapFileThatCouldNotBeMadeEarlierIsMadeAtTheSave) {
    View().hostsFile.outputFile.Close();
    View().Click(res::kSaveButton);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Hosts(), Text("127.0.0.1 localhost\n0.0.0.0 ads.example\n0.0.0.0 new.example\n"));
    EXPECT_FALSE(View().restrictions.pendingChange);
}

TEST_F(SaveSafety, HiddenLinesAreWrittenBackAfterTheList) {
    Stop();
    InstallSettings("[hidden.one]\nHidden=1\n[HIDDEN.TWO]\nHidden=1\n");
    WriteHosts("0.0.0.0 Hidden.One\n0.0.0.0 shown.example\n0.0.0.0 hidden.two  \n");
    Start();
    View().passwords.unlocked = true;
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 shown.example"});
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("0.0.0.0 Hidden.One\n0.0.0.0 hidden.two  \n"));
}

#ifndef _WIN32
TEST_F(SaveSafety, SavedHostsFileKeepsItsModeAndOwner) {
    std::string hosts = Real(kHostsPath).string();
    ASSERT_EQ(::chmod(hosts.c_str(), 0644), 0);
    bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(hosts.c_str(), 0, 0), 0);
    }
    mode_t old = ::umask(077);
    View().hostsFile.OpenFiles();  // a swap file made under the strict umask
    View().Click(res::kSaveButton);
    ::umask(old);
    struct stat st;
    ASSERT_EQ(::stat(hosts.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    if (root) {
        EXPECT_EQ(st.st_uid, 0u);
        EXPECT_EQ(st.st_gid, 0u);
    }
    EXPECT_NE(Hosts().find("new.example"), std::string::npos);
}
#endif

}  // namespace
}  // namespace qv
