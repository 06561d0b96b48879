// Log view mode: entering and leaving it, the decrypted copy, and the reset.
#include "support/AppFixture.h"

#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "res/Resource.h"
#include "res/StringTable.h"

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

class LogView : public AppFixture {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(root.Path() / "cwd");
        std::filesystem::current_path(root.Path() / "cwd");
        WriteHosts("0.0.0.0 a.example\n0.0.0.0 b.example\n");
        InstallSettings();
        Start();
        View().passwords.unlocked = true;  // the gate has tests of its own
        Shown();
    }
    void TearDown() override {
        AppFixture::TearDown();
        std::filesystem::current_path(previous);
    }
    std::string Caption(int id) { return Label(id); }
    void Add(const std::string& url) {
        ui.Expect(res::kNewRestrictionDialog, {H::Type(res::kUrlEdit, url), H::Click(res::kIdOk)});
        View().Click(res::kAddButton);
    }
    void ExpectNormalMode(bool saveEnabled) {
        EXPECT_FALSE(View().logView.viewingLog);
        EXPECT_EQ(Caption(res::kViewLogButton), "&View Log File");
        EXPECT_EQ(Caption(res::kSaveButton), "&Save Changes And Refresh Files");
        EXPECT_TRUE(Enabled(res::kAddButton));
        EXPECT_TRUE(Enabled(res::kRemoveButton));
        EXPECT_EQ(Enabled(res::kSaveButton), saveEnabled);
        EXPECT_TRUE(View().log.logOpen);
    }
    void ExpectLogMode() {
        EXPECT_TRUE(View().logView.viewingLog);
        EXPECT_EQ(Caption(res::kViewLogButton), "Close Log File");
        EXPECT_EQ(Caption(res::kSaveButton), "Save Decrypted Log File");
        EXPECT_FALSE(Enabled(res::kAddButton));
        EXPECT_FALSE(Enabled(res::kRemoveButton));
        EXPECT_TRUE(Enabled(res::kSaveButton));
        EXPECT_TRUE(Enabled(res::kViewLogButton));
        EXPECT_FALSE(View().log.logOpen);
    }
    const std::string kPending =
        Message(LoadString(kIdsPendingChange), "Info", kMbYesNo | kMbIconQuestion);
    std::filesystem::path previous;
};

// The log view needs every change saved: when the save at its question fails, the program
// stays with the list, the pending change, the Save button and the status line as they were.
TEST_F(LogView, FailedSaveAtTheQuestionStaysInNormalMode) {
    Add("c.example");
    Shown();
    testPlatform.faulty.failReplace = true;
    ui.Answer(kIdYes);
    View().Click(res::kViewLogButton);
    EXPECT_EQ(Shown(),
              (Lines{kPending, Message("Unable to replace host file. (ReplaceHostsFile())")}));
    ExpectNormalMode(true);
    EXPECT_TRUE(View().restrictions.pendingChange);
    EXPECT_EQ(Label(res::kStatus1), "Input File Has Changed");
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 a.example", "0.0.0.0 b.example", "0.0.0.0 c.example"}));
    // The change is saved into the hosts file later, not into a log copy.
    testPlatform.faulty.failReplace = false;
    View().Click(res::kSaveButton);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Hosts(), Text("0.0.0.0 a.example\n0.0.0.0 b.example\n0.0.0.0 c.example\n"));
    EXPECT_FALSE(std::filesystem::exists("quorvexlog.txt"));
}

TEST_F(LogView, ShowsTheNonEmptyLinesAndComesBack) {
    Add("c.example");
    ui.Answer(kIdYes);  // save first
    View().Click(res::kViewLogButton);
    EXPECT_EQ(Shown(), (Lines{"dialog 131", kPending}));
    ExpectLogMode();
    EXPECT_EQ(ListLines(),
              (Lines{"Quorvex Log Created", "-== Program Started on 3/7/2003 - 9:5 ==-",
                     "User added \"c.example\" to restrictions", "User refreshed files"}));
    // The hosts files are let go while the log is shown.
    EXPECT_FALSE(View().hostsFile.inputFile.IsOpen());
    EXPECT_FALSE(View().hostsFile.outputFile.IsOpen());

    View().Click(res::kViewLogButton);
    ExpectNormalMode(false);
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 a.example", "0.0.0.0 b.example", "0.0.0.0 c.example"}));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(LogView, DiscardedChangesAreGoneWhenTheListComesBack) {
    Add("c.example");
    ui.Answer(kIdNo);
    View().Click(res::kViewLogButton);
    ExpectLogMode();
    EXPECT_FALSE(View().restrictions.pendingChange);
    View().Click(res::kViewLogButton);
    ExpectNormalMode(false);
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 a.example", "0.0.0.0 b.example"}));
    EXPECT_EQ(Hosts(), "0.0.0.0 a.example\n0.0.0.0 b.example\n");
}

TEST_F(LogView, NoThenAWrongPasswordStaysInNormalModeWithTheLines) {
    View().passwords.unlocked = false;
    Add("c.example");
    ui.Answer(kIdNo);
    ui.Expect(res::kPasswordDialog,
              {H::Type(res::kPasswordEdit, "bad"), H::Click(res::kPasswordOk)});
    View().Click(res::kViewLogButton);
    EXPECT_FALSE(View().logView.viewingLog);
    EXPECT_FALSE(View().restrictions.pendingChange);
    EXPECT_TRUE(Enabled(res::kSaveButton));
    EXPECT_EQ(ListLines().back(), "0.0.0.0 c.example");
}

TEST_F(LogView, SaveDecryptedLogWritesTheShownLines) {
    test::WriteBytes("quorvexlog.txt",
                     "an older copy that is longer than the new one will be........");
    View().Click(res::kViewLogButton);
    Shown();
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message("Decrypted log file saved as \"quorvexlog.txt\".")});
    EXPECT_EQ(test::ReadBytes("quorvexlog.txt"),
              Text("Quorvex Log Created\n-== Program Started on 3/7/2003 - 9:5 ==-\n"));
    ExpectLogMode();
}

#ifndef _WIN32
// The copy is a new private file put in place of whatever had its name: a link is replaced,
// never written through, and someone else's file of that name never receives the log.
TEST_F(LogView, SaveDecryptedLogNeverWritesThroughALinkOrIntoAnotherFile) {
    test::WriteBytes(root.Path() / "elsewhere", "keep");
    std::filesystem::create_symlink(root.Path() / "elsewhere", "quorvexlog.txt");
    View().Click(res::kViewLogButton);
    Shown();
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message("Decrypted log file saved as \"quorvexlog.txt\".")});
    EXPECT_EQ(test::ReadBytes(root.Path() / "elsewhere"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink("quorvexlog.txt"));
    EXPECT_NE(test::ReadBytes("quorvexlog.txt").find("Program Started"), std::string::npos);

    std::filesystem::remove("quorvexlog.txt");
    test::WriteBytes("quorvexlog.txt", "another user's file");
    ASSERT_EQ(::chmod("quorvexlog.txt", 0644), 0);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message("Decrypted log file saved as \"quorvexlog.txt\".")});
    struct stat st;
    ASSERT_EQ(::stat("quorvexlog.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_NE(test::ReadBytes("quorvexlog.txt").find("Program Started"), std::string::npos);
}
#endif

TEST_F(LogView, LogThatCannotBeOpenedForViewing) {
    // Only the open for reading fails: the mode is not entered, the list stays, and the log
    // goes on taking entries (a copy "saved" from here would hold the restrictions).
    int failures = 1;
    testPlatform.faulty.onOpen = [&failures](const std::string& path) {
        return !(path == kLog && failures-- > 0);
    };
    View().Click(res::kViewLogButton);
    EXPECT_EQ(Shown(), Lines{Message("Unable to open log file for viewing")});
    ExpectNormalMode(false);
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 a.example", "0.0.0.0 b.example"}));
    EXPECT_TRUE(View().log.logOpen);
}

TEST_F(LogView, LogThatCannotBeReadForViewingLeavesTheMode) {
    View().log.WriteLogLine(std::string(200000, 'x') + "\n");
    testPlatform.faulty.failReads.insert(kLog);
    View().Click(res::kViewLogButton);
    EXPECT_EQ(Shown(), Lines{Message("Unable to open log file for viewing")});
    ExpectNormalMode(false);
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 a.example", "0.0.0.0 b.example"}));
}

TEST_F(LogView, ResetIsRefusedWhileViewing) {
    View().passwords.unlocked = false;
    ui.Expect(res::kPasswordDialog,
              {H::Type(res::kPasswordEdit, kPassword), H::Click(res::kPasswordOk)});
    View().Click(res::kViewLogButton);
    Shown();
    View().Click(res::kCmdResetLogFile);  // no password asked
    EXPECT_EQ(Shown(), Lines{Message("Cannot reset log file while viewing it. Close it first.",
                                     "Quorvex", kMbIconExclamation)});
}

TEST_F(LogView, ResetLeavesOnlyTheHeader) {
    ui.Answer(kIdNo);
    View().Click(res::kCmdResetLogFile);
    EXPECT_EQ(Shown(), Lines{Message("This will clear contents of log file. Continue?", "Quorvex",
                                     kMbYesNo | kMbIconQuestion)});
    ui.Answer(kIdYes);
    View().Click(res::kCmdResetLogFile);
    EXPECT_EQ(Shown(), (Lines{Message("This will clear contents of log file. Continue?", "Quorvex",
                                      kMbYesNo | kMbIconQuestion),
                              Message("Log file has been cleared.")}));
    View().Click(res::kViewLogButton);
    EXPECT_EQ(ListLines(), Lines{"Quorvex Log Created"});
}

TEST_F(LogView, DoubleClickStillWorksOnALogLine) {
    View().Click(res::kViewLogButton);
    ui.Answer(kIdNo);
    View().DoubleClick(res::kRestrictionList, 1);  // "-== Program Started on ..."
    EXPECT_EQ(Shown(),
              Lines{Message("\"www.Program Started on 3/7/2003 - 9:5 ==-\" has no information. "
                            "Enter info now?",
                            "Info", kMbYesNo | kMbIconQuestion)});
}

TEST_F(LogView, ClosingTheProgramWhileViewingScramblesTheLog) {
    View().Click(res::kViewLogButton);
    Stop();
    EXPECT_FALSE(ExistsSystem(kLog));
    EXPECT_TRUE(ExistsSystem("C:\\Windows\\System32\\Quorvexlog.cpt"));
}

// The hosts file is let go while the log is shown; one that another program rewrote with a
// comment first is normalised when the list comes back, and the log says so.
TEST_F(LogView, NormalisationOnLeavingIsLogged) {
    View().Click(res::kViewLogButton);
    WriteHosts("# rewritten\n0.0.0.0 c.example\n");
    View().Click(res::kViewLogButton);
    EXPECT_EQ(Shown(), (Lines{Message("Host file not formatted.", "Info", 0x30)}));
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 c.example"});
    EXPECT_EQ(ReadSystem(kOriginalHostsPath), "# rewritten\n0.0.0.0 c.example\n");
    View().log.Close();
    const std::string log = ReadSystem(kLog);
    const std::string entry =
        Text("Host file normalised; the original is kept as hosts.before-quorvex\n");
    ASSERT_GE(log.size(), entry.size());
    EXPECT_EQ(log.substr(log.size() - entry.size()), entry);
}

}  // namespace
}  // namespace qv
