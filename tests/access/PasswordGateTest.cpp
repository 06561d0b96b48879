// The password: first run, the gate once per run, the start-up prompt, Reset Password and
// Options, as whole flows through the headless toolkit.
#include "support/AppFixture.h"

#include <filesystem>

#include "res/Resource.h"
#include "res/StringTable.h"

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

class PasswordGate : public AppFixture {
protected:
    void SetUp() override { WriteHosts("0.0.0.0 a.example\n0.0.0.0 b.example\n"); }

    static std::vector<H::Step> NewPassword(const std::string& password) {
        return {H::Type(res::kNewPasswordEdit, password),
                H::Type(res::kConfirmPasswordEdit, password), H::Click(res::kIdOk)};
    }
    static std::vector<H::Step> Password(const std::string& password) {
        return {H::Type(res::kPasswordEdit, password), H::Click(res::kPasswordOk)};
    }
    std::string LogText() {
        View().log.Close();
        std::string text = ReadSystem(kLog);
        View().log.OpenLogFile();
        return text;
    }
    std::string Setting(const char* key) {
        CProfileFile profile(platform->Profile());
        profile.SetPath(kIni);
        return profile.GetString("Main", key, "<none>");
    }
    void Remove(size_t line) {
        View().restrictionList.Select(static_cast<int>(line));
        View().Click(res::kRemoveButton);
    }
    // No file under the sandbox holds `secret` in plain text.
    void ExpectNowhereInPlainText(const std::string& secret) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path())) {
            if (entry.is_regular_file()) {
                EXPECT_EQ(test::ReadBytes(entry.path()).find(secret), std::string::npos)
                    << entry.path();
            }
        }
    }
    const std::string kDisabled =
        Message(LoadString(kIdsPasswordDisabled), "Info", kMbIconInformation);
};

TEST_F(PasswordGate, FirstRunCancelledThenEveryProtectedCommandOffersTheSetUp) {
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 143", kDisabled, "main window shown"}));
    EXPECT_EQ(Setting("Installed"), "1");
    EXPECT_EQ(Setting("Set"), "0");
    EXPECT_EQ(Setting("ReqPass"), "0");
    EXPECT_EQ(Setting("Password"), "<none>");

    // Remove: the set-up again, without its first-run sentence; cancelled again: refused.
    ui.Expect(res::kNewPasswordDialog,
              {H::Check([](Dialog& d) { EXPECT_FALSE(d.Controls().Visible(res::kFirstRunLabel)); }),
               H::CloseBox()});
    Remove(0);
    EXPECT_EQ(Shown(), (Lines{"dialog 143", kDisabled}));
    EXPECT_EQ(ListLines().size(), 2u);

    // Set now: the command goes on and nothing asks again in this run.
    ui.Expect(res::kNewPasswordDialog, NewPassword("hunter22"));
    Remove(0);
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 b.example"});
    EXPECT_EQ(Setting("Set"), "1");
    Remove(0);
    ui.Expect(res::kOptionsDialog, {H::Escape()});
    View().Click(res::kCmdOptions);  // straight to the options dialog
    EXPECT_EQ(Shown(), (Lines{"dialog 143", "dialog 144"}));
    Stop();
    ExpectNowhereInPlainText("hunter22");
}

TEST_F(PasswordGate, GateAsksOncePerRunAndLogsRefusals) {
    InstallSettings();
    Start();
    Shown();
    ui.Expect(res::kPasswordDialog, {H::Escape()});
    Remove(0);
    ui.Expect(res::kPasswordDialog, Password("Secret1"));  // case matters
    Remove(0);
    ui.Expect(res::kPasswordDialog, {H::Type(res::kPasswordEdit, kPassword), H::Enter()});
    Remove(0);
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 b.example"});
    EXPECT_EQ(Shown(), (Lines{"dialog 130", "dialog 130", "dialog 130"}));
    // No more prompts for any protected command in this run.
    Remove(0);
    ui.Answer(kIdNo);
    View().Click(res::kCmdResetLogFile);
    ui.Expect(res::kOptionsDialog, {H::Escape()});
    View().Click(res::kCmdOptions);
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    View().Click(res::kCmdResetPassword);
    ui.Answer(kIdNo);  // discard the removals
    View().Click(res::kViewLogButton);
    EXPECT_EQ(
        Shown(),
        (Lines{Message("This will clear contents of log file. Continue?", "Quorvex", 0x24),
               "dialog 144", "dialog 143", Message(LoadString(kIdsPendingChange), "Info", 0x24)}));
    EXPECT_TRUE(View().logView.viewingLog);
    View().Click(res::kViewLogButton);
    // The refusals are in the log without line ends; the next entry follows on the same line.
    // A wrong password shows only as many stars as it had characters.
    std::string log = LogText();
    EXPECT_NE(log.find(Text("User canceled password formUser entered wrong password: *******"
                            "User removed a restriction\nUser removed a restriction\n")),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Secret1"), std::string::npos);
    Stop();
    ExpectNowhereInPlainText(kPassword);
}

TEST_F(PasswordGate, RefusalsAreNotLoggedWhileTheLogIsClosed) {
    InstallSettings();
    Start();
    View().log.Close();
    ui.Expect(res::kPasswordDialog, {H::Escape()});
    ui.Expect(res::kPasswordDialog, Password("wrong"));
    Remove(0);
    Remove(0);
    EXPECT_EQ(ReadSystem(kLog).find("User"), std::string::npos);
}

TEST_F(PasswordGate, StartUpPromptRefusedEndsTheProgramThroughTheTeardown) {
    for (bool cancel : {true, false}) {
        InstallSettings();
        CProfileFile profile(platform->Profile());
        profile.SetPath(kIni);
        profile.WriteBool("Main", "ReqPass", 1);
        ui.Expect(res::kPasswordDialog,
                  cancel ? std::vector<H::Step>{H::Escape()} : Password("nope!"));
        Start();
        EXPECT_EQ(Shown(), (Lines{"dialog 130", "quit 0", "main window shown"}));
        ui.mainScript.push_back([](FormView&) { ADD_FAILURE() << "the loop should not run"; });
        EXPECT_EQ(ui.RunMessageLoop(), 0);
        ui.mainScript.clear();
        Stop();
        // The log has the banner but no refusal; nothing is left in plain form.
        EXPECT_FALSE(ExistsSystem(kIni));
        EXPECT_FALSE(ExistsSystem(kLog));
        std::string log = ReadSystem("C:\\Windows\\System32\\Quorvexlog.cpt");
        for (char& c : log) {
            c = static_cast<char>(c ^ 0x6B);
        }
        EXPECT_NE(log.find("Program Started"), std::string::npos);
        EXPECT_EQ(log.find("User"), std::string::npos);
        ui.quitPosted = false;
        std::filesystem::remove(Real("C:\\Windows\\System32\\Quorvex.cpt"));
        Shown();
    }
}

// A password that cannot be stored is said to be so, and the old one stays in place: when the
// hash cannot be made, and when the settings file cannot be written.
TEST_F(PasswordGate, PasswordThatCannotBeStoredKeepsTheOldOne) {
    InstallSettings();
    Start();
    Shown();
    const std::string before = Setting("Password");
    View().passwords.unlocked = true;
    ui.Expect(res::kNewPasswordDialog, NewPassword("replacement"));
    testPlatform.hashing.failDerive = true;
    View().Click(res::kCmdResetPassword);
    const std::string notStored = Message(kPasswordNotStored, "Error", kMbIconStop);
    EXPECT_EQ(Shown(), (Lines{"dialog 143", notStored}));
    EXPECT_EQ(Setting("Password"), before);
    testPlatform.hashing.failDerive = false;

    ui.Expect(res::kNewPasswordDialog, NewPassword("replacement"));
    testPlatform.profile.failWrites = true;
    View().Click(res::kCmdResetPassword);
    EXPECT_EQ(Shown(), (Lines{"dialog 143", notStored}));
    testPlatform.profile.failWrites = false;
    EXPECT_EQ(Setting("Password"), before);
    EXPECT_EQ(VerifyPassword(platform->Passwords(), Setting("Password"), kPassword),
              PasswordMatch::Right);
}

TEST_F(PasswordGate, FirstPasswordThatCannotBeStoredLeavesItUnset) {
    testPlatform.hashing.failDerive = true;
    ui.Expect(res::kNewPasswordDialog, NewPassword("first1"));
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 143", Message(kPasswordNotStored, "Error", kMbIconStop),
                              "main window shown"}));
    EXPECT_FALSE(View().passwords.unlocked);
    EXPECT_EQ(Setting("Set"), "0");
    EXPECT_EQ(Setting("Password"), "<none>");
}

TEST_F(PasswordGate, OptionsThatCannotBeStoredSayNothingWillChange) {
    InstallSettings();
    Start();
    Shown();
    View().passwords.unlocked = true;
    testPlatform.profile.failWrites = true;
    ui.Expect(res::kOptionsDialog, {H::Click(res::kRequirePasswordCheck), H::Click(res::kIdOk)});
    View().Click(res::kCmdOptions);
    EXPECT_EQ(Shown(), (Lines{"dialog 144", Message(kSettingsNotStored, "Error", kMbIconStop)}));
    testPlatform.profile.failWrites = false;
    EXPECT_EQ(Setting("ReqPass"), "0");
}

TEST_F(PasswordGate, StartUpPromptAcceptedUnlocksTheRun) {
    InstallSettings();
    {
        CProfileFile profile(platform->Profile());
        profile.SetPath(kIni);
        profile.WriteString("Main", "ReqPass", "yes");
    }
    ui.Expect(res::kPasswordDialog, Password(kPassword));
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 130", "main window shown"}));
    EXPECT_TRUE(View().passwords.unlocked);
    EXPECT_FALSE(ui.quitPosted);
}

TEST_F(PasswordGate, RequiredButNeverSetAsksForTheSetUpTwiceThenEnds) {
    WriteSystem(kIni, "[Main]\nInstalled=1\nReqPass=1\nSet=0\n");
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 143", kDisabled, "dialog 143", kDisabled, "quit 0",
                              "main window shown"}));
}

// A password is set but none is stored: the settings are damaged, and an empty entry must
// not open the gate. The program says so and ends, changing nothing.
TEST_F(PasswordGate, SetPasswordThatIsMissingIsDamageNotAnEmptyPassword) {
    const std::string damaged = "[Main]\nInstalled=1\nReqPass=0\nSet=1\n";
    WriteSystem(kIni, damaged);
    EXPECT_FALSE(TryStart());
    EXPECT_EQ(Shown(), Lines{Message(kSettingsUnreadable, "Error", kMbIconStop)});
    EXPECT_EQ(ReadSystem(kIni), damaged);
    EXPECT_FALSE(ExistsSystem("C:\\Windows\\System32\\Quorvex.cpt"));
    EXPECT_FALSE(ExistsSystem(kLog));

    // Found scrambled, it is left scrambled, byte for byte.
    std::string scrambled = damaged;
    for (char& c : scrambled) {
        c = static_cast<char>(c ^ 0x6B);
    }
    std::filesystem::remove(Real(kIni));
    WriteSystem("C:\\Windows\\System32\\Quorvex.cpt", scrambled);
    EXPECT_FALSE(TryStart());
    EXPECT_EQ(Shown(), Lines{Message(kSettingsUnreadable, "Error", kMbIconStop)});
    EXPECT_EQ(ReadSystem("C:\\Windows\\System32\\Quorvex.cpt"), scrambled);
    EXPECT_FALSE(ExistsSystem(kIni));
}

// Should the key go missing while the program runs, nothing matches it either.
TEST_F(PasswordGate, PasswordKeyLostWhileRunningOpensNothing) {
    InstallSettings();
    Start();
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    ASSERT_TRUE(profile.WriteString("Main", "Password", ""));
    ui.Expect(res::kPasswordDialog, {H::Click(res::kPasswordOk)});
    Remove(0);
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_FALSE(View().passwords.unlocked);
}

TEST_F(PasswordGate, PlainPasswordOfAnOlderVersionIsReplacedByItsHash) {
    WriteSystem(kIni, "[Main]\nInstalled=1\nReqPass=0\nSet=1\nPassword=legacy pass\n");
    Start();
    ui.Expect(res::kPasswordDialog, Password("legacy pass"));
    Remove(0);
    EXPECT_EQ(Setting("Password").rfind("pbkdf2-sha256$1000$", 0), 0u);
    Stop();
    ExpectNowhereInPlainText("legacy pass");
    // And it still unlocks the next run.
    Start();
    ui.Expect(res::kPasswordDialog, Password("legacy pass"));
    Remove(0);
    EXPECT_TRUE(View().passwords.unlocked);
}

TEST_F(PasswordGate, ResetPasswordTwiceWhenNothingWasSet) {
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    Start();
    Shown();
    // The gate sets a password, then the command asks again; cancelling keeps the first.
    ui.Expect(res::kNewPasswordDialog, NewPassword("alpha123"));
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    View().Click(res::kCmdResetPassword);
    EXPECT_EQ(Shown(), (Lines{"dialog 143", "dialog 143"}));
    const std::string stored = Setting("Password");
    EXPECT_EQ(stored.rfind("pbkdf2-sha256$", 0), 0u);
    // Reset again, now unlocked: a new password replaces it.
    ui.Expect(res::kNewPasswordDialog, NewPassword("beta4567"));
    View().Click(res::kCmdResetPassword);
    EXPECT_NE(Setting("Password"), stored);
    Stop();
    Start();
    ui.Expect(res::kPasswordDialog, Password("beta4567"));
    Remove(0);
    EXPECT_TRUE(View().passwords.unlocked);
}

TEST_F(PasswordGate, OptionsRewritesReqPassAndSaysWhen) {
    InstallSettings();
    Start();
    View().passwords.unlocked = true;
    const std::string message =
        Message("Changes will take effect the next time you start this program.");
    for (int tick : {0, 1}) {
        ui.Expect(res::kOptionsDialog,
                  {H::Check([](Dialog& d) {
                       EXPECT_EQ(d.Controls().Checked(res::kRequirePasswordCheck), 0);
                   }),
                   H::Click(res::kIdOk)});
        if (tick) {
            ui.Expect(res::kOptionsDialog,
                      {H::Click(res::kRequirePasswordCheck), H::Click(res::kIdOk)});
        }
        Shown();
        View().Click(res::kCmdOptions);
        EXPECT_EQ(Shown(), (Lines{"dialog 144", message}));
        EXPECT_EQ(Setting("ReqPass"), "0");
        if (tick) {
            View().Click(res::kCmdOptions);
            EXPECT_EQ(Setting("ReqPass"), "1");
        }
    }
    ui.Expect(res::kOptionsDialog, {H::Check([](Dialog& d) {
                                        EXPECT_EQ(d.Controls().Checked(res::kRequirePasswordCheck),
                                                  1);
                                    }),
                                    H::Click(res::kRequirePasswordCheck), H::Escape()});
    View().Click(res::kCmdOptions);
    EXPECT_EQ(Setting("ReqPass"), "1");  // cancelled: unchanged
}

}  // namespace
}  // namespace qv
