// Start-up when the files around it are damaged, unreadable, planted or shared with another
// copy: the password, the settings and the log history are never lost, a damaged settings
// file is never taken for a first run, and nothing is written outside the sandbox.
#include "support/AppFixture.h"

#include <filesystem>
#include <map>

#include "res/Resource.h"
#include "settings/SettingsKeys.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

constexpr const char* kCpt = "C:\\Windows\\System32\\Quorvex.cpt";
constexpr const char* kLogCpt = "C:\\Windows\\System32\\Quorvexlog.cpt";

std::string Scrambled(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ 0x6B);
    }
    return bytes;
}

class StartupFaults : public AppFixture {
protected:
    void SetUp() override { WriteHosts("0.0.0.0 a.example\n"); }
    // Settings of an installed program, scrambled, as they are between runs.
    std::string ScrambledSettings() {
        return Scrambled("[Main]\nInstalled=1\nReqPass=1\nSet=1\nPassword=" +
                         *HashPassword(platform->Passwords(), kPassword) + "\n");
    }
    void ExpectPasswordPrompt() {
        ui.Expect(res::kPasswordDialog,
                  {H::Type(res::kPasswordEdit, kPassword), H::Click(res::kPasswordOk)});
    }
    // Every file under the sandbox with its bytes.
    std::map<std::string, std::string> Snapshot() {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path())) {
            if (entry.is_regular_file() && !entry.is_symlink()) {
                files[entry.path().string()] = test::ReadBytes(entry.path());
            }
        }
        return files;
    }
};

// Settings that exist but cannot be read, or are cut or damaged: the program says so and
// ends, and the next start with a readable file finds everything as it was.
struct DamageCase {
    const char* name;
    std::string plain;      // Quorvex.ini; empty: none
    std::string scrambled;  // Quorvex.cpt (plain text here, scrambled by the test); "": none
    bool failRead;          // reading the scrambled file fails part way
};

void PrintTo(const DamageCase& c, std::ostream* out) {
    *out << c.name;
}

class DamagedSettings : public StartupFaults, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedSettings, AreReportedAndLeftAsTheyWere) {
    const DamageCase& c = GetParam();
    if (!c.plain.empty()) {
        WriteSystem(kIni, c.plain);
    }
    if (!c.scrambled.empty()) {
        WriteSystem(kCpt, Scrambled(c.scrambled));
    }
    if (c.failRead) {
        testPlatform.faulty.failReads.insert(kCpt);
    }
    auto before = Snapshot();
    EXPECT_FALSE(TryStart());
    Lines shown = Shown();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), Message(kSettingsUnreadable, "Error", kMbIconStop));
    EXPECT_EQ(Snapshot(), before);
}

const std::string kLongPassword = "Password=pbkdf2-sha256$1000$" + std::string(200, 'x') + "\n";

INSTANTIATE_TEST_SUITE_P(
    Settings, DamagedSettings,
    ::testing::Values(
        DamageCase{"ScrambledCutBeforeSet", "", "[Main]\nInstalled=1\nReqPass=1\nS", false},
        DamageCase{"ScrambledWithoutInstalled", "", "[Other]\nx=1\n", false},
        DamageCase{"ScrambledGarbage", "", std::string(3000, '\x7f'), false},
        DamageCase{
            "ScrambledReadFails", "",
            "[Main]\nInstalled=1\nReqPass=1\nSet=1\n" + kLongPassword + std::string(100000, ';'),
            true},
        DamageCase{"PlainWithoutPassword", "[Main]\nInstalled=1\nReqPass=0\nSet=1\n", "", false},
        DamageCase{"PlainCut", "[Main]\nInstalled=1\nReq", "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupFaults, FirstRunOnlyWhenNoSettingsFileOfEitherFormExists) {
    WriteSystem(kCpt, ScrambledSettings());
    // An empty plain file (an older version's crash) does not hide the scrambled one.
    WriteSystem(kIni, "");
    ExpectPasswordPrompt();
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 130", "main window shown"}));
    EXPECT_TRUE(View().passwords.unlocked);
}

// Only a first run is silent: scrambled settings that are there but cannot be read still
// say so, and end the start.
TEST_F(StartupFaults, ScrambledSettingsThatCannotBeReadSaySo) {
    for (bool failIdentify : {false, true}) {
        SCOPED_TRACE(failIdentify ? "the file system cannot tell" : "the read fails");
        WriteSystem(kCpt, ScrambledSettings() + std::string(100000, ';'));
        testPlatform.faulty.failReads.clear();
        testPlatform.faulty.failIdentify.clear();
        (failIdentify ? testPlatform.faulty.failIdentify : testPlatform.faulty.failReads)
            .insert(kCpt);
        auto before = Snapshot();
        EXPECT_FALSE(TryStart());
        EXPECT_EQ(Shown(), (Lines{Message("Unable to open file to Decrypt (ini)"),
                                  Message(kSettingsUnreadable, "Error", kMbIconStop)}));
        EXPECT_EQ(Snapshot(), before);
    }
}

TEST_F(StartupFaults, ScrambledSettingsThatCannotBeWrittenPlainEndTheStart) {
    WriteSystem(kCpt, ScrambledSettings());
    testPlatform.faulty.failOpen.insert(std::string(kIni) + ".new");
    auto before = Snapshot();
    EXPECT_FALSE(TryStart());
    EXPECT_EQ(Shown(), (Lines{Message("Unable to open file to write Decryption to (ini)"),
                              Message(kSettingsUnreadable, "Error", kMbIconStop)}));
    EXPECT_EQ(Snapshot(), before);
}

// The log's history survives a start whose unscramble of it fails: this run logs nothing and
// its exit does not put a shorter log in place of the old one.
TEST_F(StartupFaults, LogThatCannotBeUnscrambledKeepsItsHistory) {
    InstallSettings();
    const std::string history = Scrambled("Quorvex Log Created\n\n" + std::string(100000, 'h'));
    WriteSystem(kLogCpt, history);
    testPlatform.faulty.failReads.insert(kLogCpt);
    Start();
    EXPECT_EQ(Shown(), (Lines{Message(kLogUnreadable), "main window shown"}));
    EXPECT_FALSE(View().log.logOpen);
    Stop();
    EXPECT_EQ(ReadSystem(kLogCpt), history);
    EXPECT_FALSE(ExistsSystem(kLog));
    testPlatform.faulty.failReads.clear();
    Start();
    Stop();
    EXPECT_EQ(Scrambled(ReadSystem(kLogCpt)).rfind(Scrambled(history), 0), 0u);
}

// A second copy started while the first still shows its start-up dialogs ends at once and
// touches nothing: the first copy took the block before its first file.
TEST_F(StartupFaults, SecondCopyDuringTheFirstCopysDisclaimerEndsAtOnce) {
    InstallSettings();
    std::map<std::string, std::string> before;
    int otherActivations = -1;
    bool otherStarted = true;
    ui.Expect(res::kDisclaimerDialog, {H::Check([&](Dialog&) {
                                           before = Snapshot();
                                           HeadlessToolkit otherUi;
                                           InProcessInstanceGuard otherGuard(registry);
                                           CQuorvexApp other(otherUi, testPlatform, otherGuard);
                                           otherStarted = other.InitInstance();
                                           otherActivations = otherGuard.activations;
                                           EXPECT_TRUE(otherUi.transcript.empty());
                                           EXPECT_EQ(Snapshot(), before);
                                       }),
                                       H::Click(res::kIdOk)});
    guard = std::make_unique<InProcessInstanceGuard>(registry);
    app = std::make_unique<CQuorvexApp>(ui, testPlatform, *guard);
    EXPECT_TRUE(app->InitInstance());
    EXPECT_FALSE(otherStarted);
    EXPECT_EQ(otherActivations, 1);
    EXPECT_FALSE(before.empty());
    EXPECT_TRUE(View().log.logOpen);
}

#ifndef _WIN32
// The settings folder must be the user's own, and writable by no one else.
TEST_F(StartupFaults, SettingsFolderOpenToOthersIsRefused) {
    InstallSettings();
    std::filesystem::path folder = Real(kIni).parent_path();
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    auto before = Snapshot();
    EXPECT_FALSE(TryStart());
    Lines shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("can be written by other users"), std::string::npos) << shown[0];
    EXPECT_EQ(Snapshot(), before);
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
}

// Special files where the settings and the log belong fail at once, like missing files: a
// FIFO would block the start, /dev/zero would fill the memory.
TEST_F(StartupFaults, SpecialFilesAtTheSettingsPathsDoNotHang) {
    std::filesystem::create_directories(Real(kIni).parent_path());
    ASSERT_EQ(::mkfifo(Real(kCpt).c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(Real(kIni).c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", Real(kLogCpt));
    ui.Expect(res::kNewPasswordDialog, {H::Escape()});
    Start();
    // Special files count as no settings file: a first run, with nothing to say of it.
    EXPECT_EQ(Shown().front(), "dialog 143");
    Stop();
    EXPECT_TRUE(std::filesystem::is_regular_file(Real(kCpt)));
    EXPECT_TRUE(std::filesystem::is_symlink(Real(kLogCpt)) ||
                std::filesystem::is_regular_file(Real(kLogCpt)));
}

// Links planted at every path the program writes, before the start or while it runs, never
// lead a write outside the sandbox: the link itself is replaced, its target is untouched,
// and a dangling link's target is never created.
struct LinkCase {
    const char* name;
    const char* path;  // a system path, or a bare name in the working folder
};

void PrintTo(const LinkCase& c, std::ostream* out) {
    *out << c.name;
}

class PlantedLinks : public StartupFaults, public ::testing::WithParamInterface<LinkCase> {
protected:
    void SetUp() override {
        StartupFaults::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::create_directories(root.Path() / "cwd");
        std::filesystem::current_path(root.Path() / "cwd");
        InstallSettings();
        outside.emplace();
        test::WriteBytes(outside->Path() / "victim", "precious");
    }
    void TearDown() override {
        StartupFaults::TearDown();
        std::filesystem::current_path(previous);
    }
    void Plant() {
        std::filesystem::path at = std::filesystem::absolute(Real(GetParam().path));
        std::filesystem::create_directories(at.parent_path());
        std::error_code ignored;
        std::filesystem::remove(at.string() + ".dangling", ignored);
        std::filesystem::remove(at, ignored);
        std::filesystem::create_symlink(outside->Path() / "victim", at);
        dangling = at.string() + ".dangling";
    }
    void PlantDangling() {
        std::filesystem::path at = std::filesystem::absolute(Real(GetParam().path));
        std::error_code ignored;
        std::filesystem::remove(at, ignored);
        std::filesystem::create_symlink(outside->Path() / "created", at);
    }
    // A run that does everything that writes: add with a description, save, change the
    // password, view and save the log, exit. A link in place of the hosts file, the settings
    // or the log takes their content away, so the run may meet errors, a first run or
    // questions: only where the writes land is checked.
    void Run(bool plantWhileRunning, bool danglingLink) {
        if (!TryStart()) {
            ui.errors.clear();
            return;
        }
        View().passwords.unlocked = true;
        if (plantWhileRunning) {
            danglingLink ? PlantDangling() : Plant();
        }
        ui.Expect(res::kNewRestrictionDialog,
                  {H::Type(res::kUrlEdit, "new.example"), H::Type(res::kDescriptionEdit, "d"),
                   H::Click(res::kIdOk)});
        View().Click(res::kAddButton);
        View().Click(res::kSaveButton);
        ui.Expect(res::kNewPasswordDialog,
                  {H::Type(res::kNewPasswordEdit, "other1"),
                   H::Type(res::kConfirmPasswordEdit, "other1"), H::Click(res::kIdOk)});
        View().Click(res::kCmdResetPassword);
        View().Click(res::kViewLogButton);
        View().Click(res::kSaveButton);
        if (View().logView.viewingLog) {
            View().Click(res::kViewLogButton);
        }
        Stop();
        ui.errors.clear();
        ui.transcript.clear();
        seen = 0;
    }
    void ExpectOutsideUntouched() {
        EXPECT_EQ(test::ReadBytes(outside->Path() / "victim"), "precious");
        EXPECT_FALSE(std::filesystem::exists(outside->Path() / "created"));
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry :
             std::filesystem::directory_iterator(outside->Path())) {
            ++count;
        }
        EXPECT_EQ(count, 1u);
    }
    std::filesystem::path previous;
    std::optional<test::TempRoot> outside;
    std::string dangling;
};

TEST_P(PlantedLinks, BeforeTheStart) {
    Plant();
    Run(false, false);
    ExpectOutsideUntouched();
    PlantDangling();
    Run(false, true);
    ExpectOutsideUntouched();
}

TEST_P(PlantedLinks, WhileTheProgramRuns) {
    Run(true, false);
    ExpectOutsideUntouched();
    Run(true, true);
    ExpectOutsideUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PlantedLinks,
    ::testing::Values(LinkCase{"Swap", "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.swp"},
                      LinkCase{"Hosts", "C:\\WINDOWS\\system32\\drivers\\etc\\hosts"},
                      LinkCase{"PlainSettings", "C:\\Windows\\System32\\Quorvex.ini"},
                      LinkCase{"NewPlainSettings", "C:\\Windows\\System32\\Quorvex.ini.new"},
                      LinkCase{"ScrambledSettings", "C:\\Windows\\System32\\Quorvex.cpt"},
                      LinkCase{"NewScrambledSettings", "C:\\Windows\\System32\\Quorvex.cpt.new"},
                      LinkCase{"PlainLog", "C:\\Windows\\System32\\Quorvexlog.log"},
                      LinkCase{"NewPlainLog", "C:\\Windows\\System32\\Quorvexlog.log.new"},
                      LinkCase{"ScrambledLog", "C:\\Windows\\System32\\Quorvexlog.cpt"},
                      LinkCase{"NewScrambledLog", "C:\\Windows\\System32\\Quorvexlog.cpt.new"},
                      LinkCase{"DecryptedCopy", "quorvexlog.txt"},
                      LinkCase{"NewDecryptedCopy", "quorvexlog.txt.new"}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

}  // namespace
}  // namespace qv
