#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/PasswordHash.h"
#include "app/CQuorvexApp.h"
#include "framework/headless/HeadlessToolkit.h"
#include "hosts/CHostsFile.h"
#include "support/FaultyFileSystem.h"
#include "support/PlatformFixture.h"

namespace qv::test {

// The real platform, with a file system, profile functions and hashing that can be made to
// fail.
class TestPlatform : public Platform {
public:
    explicit TestPlatform(Platform& real)
        : real(real), faulty(real.Files()), profile(real.Profile()), hashing(real.Passwords()) {}
    FileSystem& Files() override { return faulty; }
    ProfileFunctions& Profile() override { return profile; }
    Clock& LocalClock() override { return clock; }
    PasswordHashing& Passwords() override { return hashing; }
    Shell& DesktopShell() override { return shell; }
    const PathMap& Paths() const override { return real.Paths(); }

    struct FixedClock : Clock {
        LocalTime now{2003, 3, 7, 9, 5};
        LocalTime Now() override { return now; }
    } clock;
    // No test opens a browser: the shell records what it was asked to open.
    struct RecordingShell : Shell {
        intptr_t Open(const std::string& target, int) override {
            opened.push_back(target);
            return 42;
        }
        long ReadBrowserCommand(std::string&) override { return 2; }
        intptr_t RunBrowser(const std::string&, const std::string&, int) override { return 2; }
        std::vector<std::string> opened;
    } shell;
    // Writes fail while `failWrites` is set, as on a full disk.
    struct FaultyProfile : ProfileFunctions {
        explicit FaultyProfile(ProfileFunctions& real) : real(real) {}
        unsigned GetString(const char* section, const char* key, const char* fallback, char* out,
                           unsigned size, const std::string& path) override {
            return real.GetString(section, key, fallback, out, size, path);
        }
        int WriteString(const char* section, const char* key, const char* value,
                        const std::string& path) override {
            return failWrites ? 0 : real.WriteString(section, key, value, path);
        }
        unsigned GetSectionNames(char* out, unsigned size, const std::string& path) override {
            return real.GetSectionNames(out, size, path);
        }
        ProfileFunctions& real;
        bool failWrites = false;
    };
    // Deriving a hash fails while `failDerive` is set.
    struct FaultyHashing : PasswordHashing {
        explicit FaultyHashing(PasswordHashing& real) : real(real) { SetIterationsForTests(1000); }
        bool RandomBytes(unsigned char* out, size_t count) override {
            return real.RandomBytes(out, count);
        }
        bool DeriveSha256(const std::string& password, const std::string& salt,
                          unsigned iterations, unsigned char out[32]) override {
            return !failDerive && real.DeriveSha256(password, salt, iterations, out);
        }
        PasswordHashing& real;
        bool failDerive = false;
    };

    Platform& real;
    FaultyFileSystem faulty;
    FaultyProfile profile;
    FaultyHashing hashing;
};

// Whole program starts in-process, through the headless toolkit, in a sandbox root.
class AppFixture : public PlatformFixture {
protected:
    static constexpr const char* kIni = "C:\\Windows\\System32\\Quorvex.ini";
    static constexpr const char* kLog = "C:\\Windows\\System32\\Quorvexlog.log";

    static constexpr const char* kPassword = "secret1";

    // Full-strength hashing costs a noticeable fraction of a second per check.
    AppFixture() : testPlatform(*platform) { platform->Passwords().SetIterationsForTests(1000); }

    // Settings of an installed program with the password kPassword.
    void InstallSettings(const std::string& extra = "") {
        WriteSystem(kIni, "[Main]\nInstalled=1\nReqPass=0\nSet=1\nPassword=" +
                              *HashPassword(platform->Passwords(), kPassword) + "\n" + extra);
    }

    void TearDown() override {
        Stop();
        EXPECT_TRUE(ui.errors.empty()) << ::testing::PrintToString(ui.errors);
    }

    // Starts the program: start-up runs to the shown main window.
    CQuorvexView& Start() {
        EXPECT_TRUE(TryStart());
        return *app->View();
    }
    // Starts the program; false when the start-up ended it before the main window (the view
    // is then gone).
    bool TryStart() {
        Stop();
        guard = std::make_unique<InProcessInstanceGuard>(registry);
        app = std::make_unique<CQuorvexApp>(ui, testPlatform, *guard);
        // Every start shows the disclaimer first; the tests of the start-up order check it.
        ui.ExpectFirst(145, {HeadlessToolkit::Click(1)});
        size_t before = ui.transcript.size();
        bool started = app->InitInstance();
        if (before < ui.transcript.size() && ui.transcript[before] == "dialog 145") {
            ui.transcript.erase(ui.transcript.begin() + static_cast<std::ptrdiff_t>(before));
        } else {
            ADD_FAILURE() << "no disclaimer at start-up";
        }
        if (!started) {
            app.reset();
            guard.reset();
        }
        return started;
    }
    // Runs the message loop with nothing to do, then the teardown (closing the window).
    void Stop() {
        if (app && app->View() != nullptr) {
            ui.RunMessageLoop();
            ui.CloseMainWindow();
            app.reset();
            guard.reset();
        }
    }
    CQuorvexView& View() { return *app->View(); }

    void WriteHosts(const std::string& bytes) { WriteSystem(kHostsPath, bytes); }
    // The hosts file's bytes. A running program holds the file without sharing, and Windows
    // then lets no one read it: the files are let go for the read and taken again.
    std::string Hosts() { return ReadReleased(kHostsPath); }
    std::string ReadReleased(const std::string& path) {
        if (!app) {
            return ReadSystem(path);
        }
        ControlSet& form = View().Controls();
        std::string status1 = form.Text(1013);
        std::string status2 = form.Text(1014);
        bool held = View().hostsFile.inputFile.IsOpen();
        View().hostsFile.CloseFiles();
        std::string bytes = ReadSystem(path);
        if (held) {
            View().hostsFile.OpenFiles();
        }
        form.SetText(1013, status1);
        form.SetText(1014, status2);
        return bytes;
    }
    std::string Label(int id) { return View().Controls().Text(id); }
    bool Enabled(int id) { return View().Controls().Enabled(id); }
    std::vector<std::string> ListLines() {
        std::vector<std::string> lines;
        ListModel& list = View().restrictionList;
        for (size_t i = 0; i < list.Count(); ++i) {
            lines.emplace_back(list.Line(i));
        }
        return lines;
    }
    // The transcript since the last call.
    std::vector<std::string> Shown() {
        std::vector<std::string> out(ui.transcript.begin() + static_cast<std::ptrdiff_t>(seen),
                                     ui.transcript.end());
        seen = ui.transcript.size();
        return out;
    }
    static std::string Message(const std::string& text, const std::string& caption = "",
                               unsigned style = kMbOk) {
        return DescribeMessage(text, caption, style);
    }

    HeadlessToolkit ui;
    TestPlatform testPlatform;
    bool registry = false;
    std::unique_ptr<InProcessInstanceGuard> guard;
    std::unique_ptr<CQuorvexApp> app;
    size_t seen = 0;
};

}  // namespace qv::test
