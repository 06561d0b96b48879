// The start-up and shutdown order, checked through the recorded transcript.
#include "support/AppFixture.h"

#include "res/Resource.h"

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

class Startup : public AppFixture {
protected:
    std::string Unscrambled(const std::string& systemPath) {
        std::string bytes = ReadSystem(systemPath);
        for (char& c : bytes) {
            c = static_cast<char>(c ^ 0x6B);
        }
        return bytes;
    }
};

TEST_F(Startup, FirstRunOnACleanMachine) {
    WriteHosts("0.0.0.0 a.example\n");
    ui.Expect(res::kNewPasswordDialog,
              {H::Check([](Dialog& d) { EXPECT_TRUE(d.Controls().Visible(res::kFirstRunLabel)); }),
               H::Type(res::kNewPasswordEdit, "first"), H::Type(res::kConfirmPasswordEdit, "first"),
               H::Click(res::kIdOk)});
    Start();
    // No settings file of either form is a first run, not an error: nothing is said of it.
    EXPECT_EQ(Shown(), (Lines{"dialog 143", "main window shown"}));
    EXPECT_EQ(ui.mainCaption, "Quorvex - Quorvex");
    EXPECT_TRUE(ui.mainVisible);
    EXPECT_TRUE(View().log.logOpen);
    EXPECT_TRUE(View().passwords.unlocked);
    EXPECT_FALSE(View().passwords.passwordSet);  // as read at start-up
    EXPECT_EQ(View().startTime, "3/7/2003 - 9:5");
    EXPECT_EQ(View().log.logPath, "C:\\Windows\\System32\\Quorvexlog.log");
    EXPECT_EQ(View().log.scrambledLogPath, "C:\\Windows\\System32\\Quorvexlog.cpt");
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_TRUE(registry);
    // The form's link leads to the web site; a click goes to the desktop's shell.
    EXPECT_EQ(View().webLink.Target(), "http://www.example.org/");
    View().webLink.OnClick();
    EXPECT_EQ(testPlatform.shell.opened, std::vector<std::string>{"http://www.example.org/"});
    // The four buttons were shaded in their order, from the one random sequence.
    EXPECT_TRUE(View().addButton.TextColour() == Rgb(0, 0, 0));

    Stop();
    // Teardown: the log and the settings file are closed and scrambled.
    EXPECT_EQ(Shown(), (Lines{"main window closed"}));
    EXPECT_FALSE(ExistsSystem(kLog));
    EXPECT_FALSE(ExistsSystem(kIni));
    EXPECT_EQ(Unscrambled("C:\\Windows\\System32\\Quorvexlog.cpt"),
              Text("Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"));
    std::string settings = Unscrambled("C:\\Windows\\System32\\Quorvex.cpt");
    for (const char* expected :
         {"Installed=1", "ReqPass=0", "Set=1", "Password=pbkdf2-sha256$1000$"}) {
        EXPECT_NE(settings.find(expected), std::string::npos) << expected << " in " << settings;
    }
    EXPECT_EQ(settings.find("first"), std::string::npos);
    EXPECT_FALSE(registry);
}

TEST_F(Startup, DisclaimerComesFirstAtEveryStart) {
    WriteHosts("");
    for (int run = 0; run < 2; ++run) {
        HeadlessToolkit fresh;
        InProcessInstanceGuard freshGuard(registry);
        fresh.Expect(res::kDisclaimerDialog, {H::Escape()});  // however it closes, start-up goes on
        fresh.Expect(res::kNewPasswordDialog, {H::Escape()});  // no password set in either run
        CQuorvexApp app(fresh, testPlatform, freshGuard);
        ASSERT_TRUE(app.InitInstance());
        ASSERT_GE(fresh.transcript.size(), 2u);
        EXPECT_EQ(fresh.transcript[0], "dialog 145");
        // The first run says nothing of the missing settings: the password set-up is next.
        EXPECT_EQ(fresh.transcript[1], "dialog 143");
        EXPECT_EQ(fresh.transcript.back(), "main window shown");
        EXPECT_TRUE(fresh.errors.empty()) << ::testing::PrintToString(fresh.errors);
        fresh.CloseMainWindow();
    }
}

TEST_F(Startup, SecondStartAppendsABannerAndScramblesBothFilesAgain) {
    WriteHosts("");
    InstallSettings();
    const std::string settings = ReadSystem(kIni);
    Start();
    Stop();
    testPlatform.clock.now = LocalTime{2004, 1, 1, 0, 0};
    Shown();
    Start();
    EXPECT_EQ(Shown(), Lines{"main window shown"});  // both files unscrambled silently
    EXPECT_EQ(ReadSystem(kIni), settings);
    Stop();
    EXPECT_EQ(Shown(), Lines{"main window closed"});
    EXPECT_FALSE(ExistsSystem(kIni));
    EXPECT_TRUE(ExistsSystem("C:\\Windows\\System32\\Quorvex.cpt"));
    Start();
    View().log.Close();
    EXPECT_EQ(ReadSystem(kLog),
              Text("Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"
                   "\n-== Program Started on 1/1/2004 - 0:0 ==-\n"
                   "\n-== Program Started on 1/1/2004 - 0:0 ==-\n"));
}

TEST_F(Startup, SecondCopyOnlyBringsTheFirstForward) {
    WriteHosts("0.0.0.0 a.example\n");
    InstallSettings();
    Start();
    Shown();
    HeadlessToolkit otherUi;
    InProcessInstanceGuard otherGuard(registry);
    CQuorvexApp other(otherUi, testPlatform, otherGuard);
    EXPECT_EQ(other.Run(), 0);
    EXPECT_EQ(otherGuard.activations, 1);
    EXPECT_TRUE(otherUi.transcript.empty());
    EXPECT_EQ(other.View(), nullptr);
}

TEST_F(Startup, ExitClosesTheWindowAndEndsTheLoop) {
    WriteHosts("");
    InstallSettings();
    Start();
    bool ranAfterExit = false;
    ui.mainScript.push_back([](FormView& view) { view.Click(res::kCmdAppExit); });
    ui.mainScript.push_back([&ranAfterExit](FormView&) { ranAfterExit = true; });
    EXPECT_EQ(ui.RunMessageLoop(), 0);
    EXPECT_FALSE(ranAfterExit);
    EXPECT_FALSE(ui.mainVisible);
}

// A quit posted by a signal ends the program as it is: nothing is asked, nothing saved.
TEST_F(Startup, QuitFromASignalDropsUnsavedChangesWithoutAQuestion) {
    WriteHosts("0.0.0.0 a.example\n");
    InstallSettings();
    Start();
    View().passwords.unlocked = true;
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    Shown();
    ui.PostQuit(0);
    EXPECT_TRUE(View().CanClose());
    Stop();
    EXPECT_EQ(Hosts(), "0.0.0.0 a.example\n");
    EXPECT_EQ(Shown(), (Lines{"quit 0", "main window closed"}));
    EXPECT_EQ(ReadReleased(kSwapPath), "");
}

// Closing the main window with a change not yet saved asks first, through the Exit command
// and the close box alike.
struct CloseCase {
    const char* name;
    bool closeBox;  // else the Exit command
    int answer;
    bool closes;
    bool saved;
};

void PrintTo(const CloseCase& c, std::ostream* out) {
    *out << c.name;
}

class CloseWithAChange : public Startup, public ::testing::WithParamInterface<CloseCase> {
protected:
    void SetUp() override {
        WriteHosts(kBefore);
        InstallSettings();
        Start();
        View().passwords.unlocked = true;
        View().restrictionList.Select(0);
        View().Click(res::kRemoveButton);
        ASSERT_TRUE(View().restrictions.pendingChange);
        Shown();
    }
    void Close(bool closeBox) {
        if (closeBox) {
            ui.ClickMainCloseBox();
        } else {
            View().Click(res::kCmdAppExit);
        }
    }
    static constexpr const char* kBefore = "0.0.0.0 a.example\n0.0.0.0 b.example\n";
    const std::string question =
        Message(kSaveBeforeClosing, "Info", kMbYesNoCancel | kMbIconQuestion);
};

TEST_P(CloseWithAChange, AsksWhetherToSaveFirst) {
    const CloseCase& c = GetParam();
    ui.Answer(c.answer);
    Close(c.closeBox);
    Lines expected{question};
    if (c.closes) {
        expected.push_back("main window closed");
    }
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(ui.mainVisible, !c.closes);
    EXPECT_EQ(Hosts(), c.saved ? Text("0.0.0.0 b.example\n") : std::string(kBefore));
    EXPECT_EQ(View().restrictions.pendingChange, !c.saved);
    EXPECT_EQ(Enabled(res::kSaveButton), !c.saved);
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 b.example"});
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseWithAChange,
                         ::testing::Values(CloseCase{"ExitYes", false, kIdYes, true, true},
                                           CloseCase{"ExitNo", false, kIdNo, true, false},
                                           CloseCase{"ExitCancel", false, kIdCancel, false, false},
                                           CloseCase{"CloseBoxYes", true, kIdYes, true, true},
                                           CloseCase{"CloseBoxNo", true, kIdNo, true, false},
                                           CloseCase{"CloseBoxCancel", true, kIdCancel, false,
                                                     false}),
                         [](const auto& info) { return std::string(info.param.name); });

// Yes with a save that fails keeps the window open and the change pending; once the save
// works, the next close saves and closes.
TEST_F(CloseWithAChange, SaveThatFailsKeepsTheWindowOpen) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Exit");
        testPlatform.faulty.failReplace = true;
        ui.Answer(kIdYes);
        Close(closeBox);
        EXPECT_EQ(Shown(),
                  (Lines{question, Message("Unable to replace host file. (ReplaceHostsFile())")}));
        EXPECT_TRUE(ui.mainVisible);
        EXPECT_TRUE(View().restrictions.pendingChange);
        EXPECT_TRUE(Enabled(res::kSaveButton));
        EXPECT_EQ(Hosts(), kBefore);
    }
    testPlatform.faulty.failReplace = false;
    ui.Answer(kIdYes);
    Close(true);
    EXPECT_EQ(Shown(), (Lines{question, "main window closed"}));
    EXPECT_EQ(Hosts(), Text("0.0.0.0 b.example\n"));
}

// Without a change, closing asks nothing.
TEST_F(Startup, CloseWithoutAChangeAsksNothing) {
    WriteHosts("0.0.0.0 a.example\n");
    InstallSettings();
    for (bool closeBox : {false, true}) {
        Start();
        Shown();
        if (closeBox) {
            ui.ClickMainCloseBox();
        } else {
            View().Click(res::kCmdAppExit);
        }
        EXPECT_EQ(Shown(), Lines{"main window closed"});
        EXPECT_FALSE(ui.mainVisible);
        Stop();
    }
}

}  // namespace
}  // namespace qv
