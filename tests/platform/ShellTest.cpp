// The shell's command building on every build, and this build's real shell against
// stand-ins for the desktop's helpers. No test opens a browser.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/Shell.h"
#include "support/TempRoot.h"

namespace qv {
namespace {

struct RegistryCase {
    const char* name;
    const char* command;
    const char* expected;
};

const RegistryCase kRegistryCases[] = {
    {"QuotedPlaceholder", "\"C:\\Program Files\\Web\\web.exe\" -nohome \"%1\"",
     "\"C:\\Program Files\\Web\\web.exe\" -nohome  http://www.example.org"},
    {"BarePlaceholder", "C:\\Web\\web.exe %1", "C:\\Web\\web.exe  http://www.example.org"},
    {"NoPlaceholder", "C:\\Web\\web.exe -new", "C:\\Web\\web.exe -new http://www.example.org"},
    {"TextAfterThePlaceholderIsDropped", "web.exe \"%1\" -extra %2",
     "web.exe  http://www.example.org"},
    {"QuotedPlaceholderWinsOverAnEarlierBareOne", "web.exe %1 -x \"%1\"",
     "web.exe %1 -x  http://www.example.org"},
    {"PlaceholderFirst", "%1", " http://www.example.org"},
    {"EmptyCommand", "", " http://www.example.org"},
};

class ShellRegistryCommandLine : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(ShellRegistryCommandLine, CutsAtThePlaceholderAndAppendsTheTarget) {
    EXPECT_EQ(RegistryCommandLine(GetParam().command, "http://www.example.org"),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shell, ShellRegistryCommandLine, ::testing::ValuesIn(kRegistryCases),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32

using Words = std::vector<std::string>;

struct DesktopCase {
    const char* name;
    const char* exec;  // as written in the desktop file
    Words expected;    // before the target; empty: the line is refused
};

const DesktopCase kDesktopCases[] = {
    {"Placeholder", "firefox %u", {"firefox"}},
    {"ListPlaceholderAndWhatFollowsIsDropped",
     "/usr/bin/web --flag %U --after",
     {"/usr/bin/web", "--flag"}},
    {"FilePlaceholder", "web %f", {"web"}},
    {"FileListPlaceholder", "web -a %F -b", {"web", "-a"}},
    {"NoPlaceholder", "web --new-window", {"web", "--new-window"}},
    {"QuotedProgram", "\"/opt/My Web/run\" --new %u", {"/opt/My Web/run", "--new"}},
    {"EscapesInQuotes", R"("say \\"hi\\"" "a\\$b" %u)", {"say \"hi\"", "a$b"}},
    {"SpaceEscapeIsASpaceBeforeTheSplit", R"(my\sweb %u)", {"my", "web"}},
    {"RunsOfBlanks", "web \t  --x   %u", {"web", "--x"}},
    {"OtherFieldCodesDropped", "web %i %c %k --icon %u", {"web", "--icon"}},
    {"PercentEscape", "web 100%%u %u", {"web", "100%u"}},
    {"PlaceholderInsideQuotes", "sh -c \"web %u\"", {}},
    {"UnclosedQuote", "\"web --x", {}},
    {"NothingBeforeThePlaceholder", "%u --x", {}},
    {"Empty", "", {}},
};

class ShellDesktopArguments : public ::testing::TestWithParam<DesktopCase> {};

TEST_P(ShellDesktopArguments, CutsAtThePlaceholderAndAddsTheTargetAsOneWord) {
    const std::string target = "http://www.example.org/a b;$(touch x)&c=\"d\"";
    Words expected = GetParam().expected;
    if (!expected.empty()) {
        expected.push_back(target);
    }
    EXPECT_EQ(DesktopCommandArguments(GetParam().exec, target), expected);
}

INSTANTIATE_TEST_SUITE_P(Shell, ShellDesktopArguments, ::testing::ValuesIn(kDesktopCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The real Linux shell with scripts standing in for xdg-open, xdg-mime and the browser.
class ShellPosix : public ::testing::Test {
protected:
    ShellPosix() {
        std::filesystem::create_directories(root / "data/applications");
        options.openProgram = (root / "xdg-open").string();
        options.mimeProgram = (root / "xdg-mime").string();
        options.dataDirectories = {(root / "data").string()};
        options.waitMilliseconds = 5000;
    }

    // An executable script that writes its arguments, one a line, to `<name>.args`.
    std::string Script(const std::string& name, const std::string& body) {
        std::filesystem::path file = root / name;
        test::WriteBytes(
            file,
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n" + body);
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
        return file.string();
    }
    std::string Arguments(const std::string& name) {
        return test::ReadBytes(root / (name + ".args"));
    }

    // For a program that runs on after the shell returned.
    std::string AwaitArguments(const std::string& name) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!std::filesystem::exists(root / (name + ".args")) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return Arguments(name);
    }

    void WriteEntry(const std::string& relative, const std::string& content) {
        std::filesystem::path file = root / "data/applications" / relative;
        std::filesystem::create_directories(file.parent_path());
        test::WriteBytes(file, content);
    }

    test::TempRoot root;
    PosixShellOptions options;
};

struct OpenCase {
    const char* name;
    const char* exit;
    intptr_t expected;  // 33: success
};

const OpenCase kOpenCases[] = {
    {"Success", "exit 0", shell::kStarted},
    {"NoSuchFile", "exit 2", shell::kFileNotFound},
    {"ToolMissing", "exit 3", shell::kNoAssociation},
    {"ActionFailed", "exit 4", shell::kNoAssociation},
    {"BadArguments", "exit 1", shell::kAssociationIncomplete},
    {"OtherCode", "exit 9", shell::kAssociationIncomplete},
    {"Killed", "kill -9 $$", shell::kAssociationIncomplete},
};

class ShellPosixOpen : public ShellPosix, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(ShellPosixOpen, MapsTheHelpersEndOntoAWindowsCode) {
    Script("xdg-open", std::string(GetParam().exit) + "\n");
    EXPECT_EQ(CreatePosixShell(options)->Open("mailto:quorvex@example.org", kShowNormal),
              GetParam().expected);
    EXPECT_EQ(Arguments("xdg-open"), "mailto:quorvex@example.org\n");
}

INSTANTIATE_TEST_SUITE_P(Shell, ShellPosixOpen, ::testing::ValuesIn(kOpenCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellPosix, HelperThatCannotStartGivesTheNearestCode) {
    EXPECT_EQ(CreatePosixShell(options)->Open("http://x", kShowNormal), shell::kFileNotFound);

    test::WriteBytes(root / "xdg-open", "#!/bin/sh\nexit 0\n");  // not executable
    std::filesystem::permissions(root / "xdg-open", std::filesystem::perms::owner_read);
    EXPECT_EQ(CreatePosixShell(options)->Open("http://x", kShowNormal), shell::kAccessDenied);

    test::WriteBytes(root / "xdg-open", "no program at all\n");  // executable, but no image
    std::filesystem::permissions(root / "xdg-open", std::filesystem::perms::owner_all);
    EXPECT_EQ(CreatePosixShell(options)->Open("http://x", kShowNormal), shell::kBadFormat);

    options.openProgram = "quorvex-no-such-helper";  // looked up in PATH
    EXPECT_EQ(CreatePosixShell(options)->Open("http://x", kShowNormal), shell::kFileNotFound);
}

TEST_F(ShellPosix, HelperStillRunningAfterTheWaitCountsAsStarted) {
    Script("xdg-open", "exec sleep 30 >/dev/null 2>&1\n");
    options.waitMilliseconds = 100;
    EXPECT_EQ(CreatePosixShell(options)->Open("http://x", kShowNormal), shell::kStarted);
}

struct EntryCase {
    const char* name;
    const char* mimeAnswer;  // what xdg-mime prints
    const char* file;        // where the entry is written, under applications/
    const char* content;
    const char* expected;  // the command; null: the lookup fails
};

const EntryCase kEntryCases[] = {
    {"Plain", "web.desktop\n", "web.desktop", "[Desktop Entry]\nName=Web\nExec=web %u\n", "web %u"},
    {"SpacesAroundTheEqualsSign", "web.desktop\n", "web.desktop",
     "[Desktop Entry]\nExec = /opt/web/run --new %U \n", "/opt/web/run --new %U"},
    {"OnlyTheDesktopEntryGroup", "web.desktop\n", "web.desktop",
     "# Exec=comment\n[Desktop Action new]\nExec=web --action %u\n[Desktop Entry]\n"
     "Exec[de]=web --de %u\nExec=web %u\n[Desktop Action x]\nExec=other\n",
     "web %u"},
    {"VendorFolder", "vendor-web.desktop\n", "vendor/web.desktop",
     "[Desktop Entry]\nExec=vendor-web %u\n", "vendor-web %u"},
    {"NoExec", "web.desktop\n", "web.desktop", "[Desktop Entry]\nName=Web\n", nullptr},
    {"ExecOutsideTheEntry", "web.desktop\n", "web.desktop", "[Other]\nExec=web\n", nullptr},
    {"NoEntryFile", "missing.desktop\n", "web.desktop", "[Desktop Entry]\nExec=web\n", nullptr},
    {"NoAnswer", "", "web.desktop", "[Desktop Entry]\nExec=web\n", nullptr},
    {"NotADesktopId", "web\n", "web", "[Desktop Entry]\nExec=web\n", nullptr},
    {"PathInTheAnswer", "../applications/web.desktop\n", "web.desktop",
     "[Desktop Entry]\nExec=web\n", nullptr},
};

class ShellPosixBrowser : public ShellPosix, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ShellPosixBrowser, ReadsTheDefaultHttpsHandlersExecLine) {
    Script("xdg-mime", std::string("printf '") + GetParam().mimeAnswer + "'\n");
    WriteEntry(GetParam().file, GetParam().content);
    std::string command = "unchanged";
    long result = CreatePosixShell(options)->ReadBrowserCommand(command);
    if (GetParam().expected != nullptr) {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(command, GetParam().expected);
    } else {
        EXPECT_NE(result, 0);
        EXPECT_EQ(command, "unchanged");
    }
    EXPECT_EQ(Arguments("xdg-mime"), "query\ndefault\nx-scheme-handler/https\n");
}

INSTANTIATE_TEST_SUITE_P(Shell, ShellPosixBrowser, ::testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShellPosix, EarlierDataDirectoryWinsAndAFailedQueryFails) {
    Script("xdg-mime", "echo web.desktop\n");
    WriteEntry("web.desktop", "[Desktop Entry]\nExec=second\n");
    std::filesystem::create_directories(root / "home/applications");
    test::WriteBytes(root / "home/applications/web.desktop", "[Desktop Entry]\nExec=first\n");
    options.dataDirectories.insert(options.dataDirectories.begin(), (root / "home").string());
    std::string command;
    EXPECT_EQ(CreatePosixShell(options)->ReadBrowserCommand(command), 0);
    EXPECT_EQ(command, "first");

    Script("xdg-mime", "echo web.desktop\nexit 1\n");
    EXPECT_NE(CreatePosixShell(options)->ReadBrowserCommand(command), 0);
}

TEST_F(ShellPosix, BrowserGetsTheTargetAsOneArgumentWithoutAShell) {
    std::string browser = Script("browser", "");
    std::string trap = (root / "pwned").string();
    const std::string target =
        "http://www.example.org/a b;touch " + trap + "&$(touch " + trap + ")";
    intptr_t result = CreatePosixShell(options)->RunBrowser(browser + " --new-window %u --dropped",
                                                            target, kShowNormal);
    EXPECT_GT(result, 32);
    EXPECT_EQ(AwaitArguments("browser"), "--new-window\n" + target + "\n");
    EXPECT_FALSE(std::filesystem::exists(trap));
}

TEST_F(ShellPosix, BrowserThatCannotStartGivesTheNearestCode) {
    auto desktop = CreatePosixShell(options);
    EXPECT_EQ(desktop->RunBrowser((root / "missing").string() + " %u", "http://x", kShowNormal),
              shell::kFileNotFound);
    EXPECT_EQ(desktop->RunBrowser("sh -c \"web %u\"", "http://x", kShowNormal),
              shell::kAssociationIncomplete);
    test::WriteBytes(root / "garbage", "no program at all\n");
    std::filesystem::permissions(root / "garbage", std::filesystem::perms::owner_all);
    EXPECT_EQ(desktop->RunBrowser((root / "garbage").string(), "http://x", kShowNormal),
              shell::kBadFormat);
}

#else

// The system's own shell functions, on a target and a program that do not exist.
TEST(ShellWin32, FailuresKeepTheSystemsCodes) {
    test::TempRoot root;
    auto desktop = CreateShell();
    EXPECT_EQ(desktop->Open((root / "missing.htm").string(), kShowNormal), shell::kFileNotFound);
    EXPECT_EQ(desktop->RunBrowser((root / "missing.exe").string(), "http://x", kShowNormal),
              shell::kFileNotFound);
}

#endif

}  // namespace
}  // namespace qv
