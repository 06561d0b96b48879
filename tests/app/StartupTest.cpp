// The start-up and shutdown order, checked through the recorded transcript.
#include "support/AppFixture.h"

#include "res/Resource.h"

namespace qv {
namespace {

using test::AppFixture;
using Lines = std::vector<std::string>;

class Startup : public AppFixture {};

TEST_F(Startup, FirstRunOnACleanMachine) {
    WriteHosts("0.0.0.0 a.example\n");
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Unable to open file to Decrypt (ini)"), "main window shown"}));
    EXPECT_EQ(ui.mainCaption, "Quorvex - Quorvex");
    EXPECT_TRUE(ui.mainVisible);
    EXPECT_TRUE(View().log.logOpen);
    EXPECT_EQ(View().startTime, "3/7/2003 - 9:5");
    EXPECT_EQ(View().log.logPath, "C:\\Windows\\System32\\Quorvexlog.log");
    EXPECT_EQ(View().log.scrambledLogPath, "C:\\Windows\\System32\\Quorvexlog.cpt");
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_TRUE(registry);

    Stop();
    // Teardown: the log is closed and scrambled; there is no settings file to scramble yet.
    EXPECT_EQ(Shown(),
              (Lines{"main window closed", Message("Unable to open file to Encrypt (ini)")}));
    EXPECT_FALSE(ExistsSystem(kLog));
    std::string scrambled = ReadSystem("C:\\Windows\\System32\\Quorvexlog.cpt");
    for (char& c : scrambled) {
        c = static_cast<char>(c ^ 0x6B);
    }
    EXPECT_EQ(scrambled,
              Text("Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"));
    EXPECT_FALSE(registry);
}

TEST_F(Startup, SecondStartAppendsABannerAndScramblesBothFilesAgain) {
    WriteHosts("");
    WriteSystem(kIni, "[Main]\nInstalled=1\n");
    Start();
    Stop();
    testPlatform.clock.now = LocalTime{2004, 1, 1, 0, 0};
    Shown();
    Start();
    EXPECT_EQ(Shown(), Lines{"main window shown"});  // both files unscrambled silently
    EXPECT_EQ(ReadSystem(kIni), "[Main]\nInstalled=1\n");
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
    Start();
    bool ranAfterExit = false;
    ui.mainScript.push_back([](FormView& view) { view.Click(res::kCmdAppExit); });
    ui.mainScript.push_back([&ranAfterExit](FormView&) { ranAfterExit = true; });
    EXPECT_EQ(ui.RunMessageLoop(), 0);
    EXPECT_FALSE(ranAfterExit);
    EXPECT_FALSE(ui.mainVisible);
}

TEST_F(Startup, UnsavedChangesAreDroppedWithoutAQuestion) {
    WriteHosts("0.0.0.0 a.example\n");
    Start();
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    Shown();
    Stop();
    EXPECT_EQ(Hosts(), "0.0.0.0 a.example\n");
    EXPECT_EQ(Shown(),
              (Lines{"main window closed", Message("Unable to open file to Encrypt (ini)")}));
    EXPECT_EQ(ReadReleased(kSwapPath), "");
}

}  // namespace
}  // namespace qv
