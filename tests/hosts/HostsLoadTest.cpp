// Loading the hosts file at start-up: normalisation, the restriction list, hidden entries.
#include "support/AppFixture.h"

#include <filesystem>
#include <functional>

#include "res/Resource.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace qv {
namespace {

using test::AppFixture;
using Lines = std::vector<std::string>;

class HostsLoad : public AppFixture {
protected:
    // With a settings file in place, start-up shows nothing of its own before the hosts file.
    HostsLoad() { InstallSettings(); }
};

TEST_F(HostsLoad, CommentFirstLineIsNormalisedOnce) {
    WriteHosts(
        "# Blocklist\r\n#\r\n127.0.0.1   localhost\r\n\r\n0.0.0.0\tAds.Example.com\r\n"
        "  # indented remark\r\nTracker.example\r\n");
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Host file not formatted.", "Info", 0x30), "main window shown"}));
    const std::string normal = Text(
        "127.0.0.1 localhost\n 0.0.0.0\tAds.Example.com\n # indented remark\n Tracker.example\n");
    EXPECT_EQ(Hosts(), normal);
    EXPECT_EQ(ListLines(), (Lines{"127.0.0.1 localhost", " 0.0.0.0\tads.example.com",
                                  " # indented remark", " tracker.example"}));
    Stop();
    EXPECT_EQ(Shown(), Lines{"main window closed"});
    // The next start finds a normal file: no message, nothing rewritten.
    Start();
    EXPECT_EQ(Shown(), (Lines{"main window shown"}));
    EXPECT_EQ(Hosts(), normal);
}

// Before the first normalisation the file is kept, byte for byte, beside the hosts file;
// the log says where.
TEST_F(HostsLoad, NormalisationKeepsTheOriginalAndLogsIt) {
    const std::string original = "# Blocklist\r\n0.0.0.0 a.example\r\n\r\n#\t\xe9 end";
    WriteHosts(original);
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Host file not formatted.", "Info", 0x30), "main window shown"}));
    EXPECT_EQ(Hosts(), Text("0.0.0.0 a.example\n"));
    EXPECT_EQ(ReadSystem(kOriginalHostsPath), original);
    EXPECT_FALSE(ExistsSystem(std::string(kOriginalHostsPath) + ".new"));
#ifndef _WIN32
    struct stat info {};
    ASSERT_EQ(::lstat(Real(kOriginalHostsPath).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
#endif
    View().log.Close();
    EXPECT_EQ(ReadSystem(kLog),
              Text("Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"
                   "Host file normalised; the original is kept as hosts.before-quorvex\n"));
}

// A kept original is never written over: a later normalisation (the file was replaced by
// another comment-first file) leaves the first copy as it was.
TEST_F(HostsLoad, TheFirstOriginalIsNeverWrittenOver) {
    const std::string first = "# first\n0.0.0.0 a.example\n";
    WriteHosts(first);
    Start();
    Stop();
    ASSERT_EQ(ReadSystem(kOriginalHostsPath), first);
    WriteHosts("# second\n0.0.0.0 b.example\n");
    Shown();
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Host file not formatted.", "Info", 0x30), "main window shown"}));
    EXPECT_EQ(Hosts(), Text("0.0.0.0 b.example\n"));
    EXPECT_EQ(ReadSystem(kOriginalHostsPath), first);
}

const std::string kCommentFirst = "# remarks\n0.0.0.0 a.example\n";
const std::string kOriginalNew = std::string(kOriginalHostsPath) + ".new";

// Without a kept copy nothing is normalised: the hosts file stays as it was, and no copy or
// part of one is left.
struct KeepFault {
    const char* name;
    std::function<void(test::FaultyFileSystem&)> inject;
};

void PrintTo(const KeepFault& c, std::ostream* out) {
    *out << c.name;
}

class OriginalNotKept : public HostsLoad, public ::testing::WithParamInterface<KeepFault> {};

TEST_P(OriginalNotKept, LeavesTheHostsFileAsItWas) {
    WriteHosts(kCommentFirst);
    GetParam().inject(testPlatform.faulty);
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Host file not formatted.", "Info", 0x30),
                     Message(kOriginalNotKept, "Error", kMbIconStop), "main window shown"}));
    EXPECT_EQ(Hosts(), kCommentFirst);
    EXPECT_FALSE(ExistsSystem(kOriginalHostsPath));
    EXPECT_FALSE(ExistsSystem(kOriginalNew));
    EXPECT_TRUE(ListLines().empty());
    EXPECT_FALSE(View().hostsFile.Loaded());
    EXPECT_EQ(testPlatform.faulty.replaceCalls, 0);
    View().log.Close();
    EXPECT_EQ(ReadSystem(kLog).find("normalised"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OriginalNotKept,
    ::testing::Values(
        KeepFault{"CopyCannotBeCreated",
                  [](test::FaultyFileSystem& f) { f.failOpen.insert(kOriginalNew); }},
        KeepFault{"DiskFullPartWay",
                  [](test::FaultyFileSystem& f) {
                      f.failWritesTo.insert(kOriginalNew);
                      f.writeBudget = 10;
                  }},
        KeepFault{"CopyCannotBeRenamedIntoPlace",
                  [](test::FaultyFileSystem& f) { f.failCommitTo.insert(kOriginalHostsPath); }},
        KeepFault{"SystemCannotTellWhatIsThere",
                  [](test::FaultyFileSystem& f) { f.failIdentify.insert(kOriginalHostsPath); }}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// A link planted where the copy goes is neither followed nor replaced: what it points to
// (or would create) stays as it was, and without a copy nothing is normalised.
TEST_F(HostsLoad, LinkAtTheOriginalsPathIsNotFollowed) {
    const std::filesystem::path victim = root.Path() / "victim";
    for (bool dangling : {false, true}) {
        SCOPED_TRACE(dangling ? "dangling link" : "link to a file");
        std::filesystem::remove(victim);
        if (!dangling) {
            test::WriteBytes(victim, "not to be touched");
        }
        std::filesystem::remove(Real(kOriginalHostsPath));
        std::filesystem::create_symlink(victim, Real(kOriginalHostsPath));
        WriteHosts(kCommentFirst);
        Shown();
        Start();
        EXPECT_EQ(Shown(),
                  (Lines{Message("Host file not formatted.", "Info", 0x30),
                         Message(kOriginalNotKept, "Error", kMbIconStop), "main window shown"}));
        EXPECT_EQ(Hosts(), kCommentFirst);
        EXPECT_TRUE(std::filesystem::is_symlink(Real(kOriginalHostsPath)));
        if (dangling) {
            EXPECT_FALSE(std::filesystem::exists(victim));
        } else {
            EXPECT_EQ(test::ReadBytes(victim), "not to be touched");
        }
        Stop();
    }
}
#endif

TEST_F(HostsLoad, FileNotStartingWithACommentIsTakenAsItIs) {
    for (const std::string& content : {std::string("\n# a comment\n0.0.0.0  Two.Spaces\n"),
                                       std::string("0.0.0.0   first.pair\n# a comment\n\n")}) {
        WriteHosts(content);
        Start();
        EXPECT_EQ(Hosts(), content);  // untouched
        std::vector<std::string> expected;
        std::string line;
        for (char c : content) {
            if (c == '\n') {
                expected.push_back(line);
                line.clear();
            } else {
                line += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
            }
        }
        EXPECT_EQ(ListLines(), expected);
        Stop();
    }
}

TEST_F(HostsLoad, EmptyHostsFileGivesAnEmptyListAndNoMessage) {
    WriteHosts("");
    Start();
    EXPECT_EQ(Shown(), (Lines{"main window shown"}));
    EXPECT_TRUE(ListLines().empty());
}

TEST_F(HostsLoad, LfAndCrLfFilesListTheSameLines) {
    WriteHosts("# c\n0.0.0.0 A.com\n0.0.0.0 b.com\n");
    Start();
    Lines lf = ListLines();
    Stop();
    WriteHosts("# c\r\n0.0.0.0 A.com\r\n0.0.0.0 b.com\r\n");
    Start();
    EXPECT_EQ(ListLines(), lf);
    EXPECT_EQ(Hosts(), Text("0.0.0.0 A.com\n0.0.0.0 b.com\n"));
}

TEST_F(HostsLoad, CapitalsAreListedInLowerCaseAndKeptInTheFile) {
    WriteHosts("0.0.0.0 WWW.Example.COM\n");
    Start();
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 www.example.com"});
    EXPECT_EQ(Hosts(), "0.0.0.0 WWW.Example.COM\n");
}

TEST_F(HostsLoad, HiddenEntriesAreLeftOut) {
    InstallSettings(
        "[a.com]\nHidden=1\n[B.COM]\nHidden=yes\n[c.com]\nHidden=true\n"
        "[d.com]\nHidden=0\n[e.com]\nHidden=no\n[f.com]\nDesc=x\n[g.com]\nHidden=false\n");
    WriteHosts(
        "0.0.0.0 a.com\n0.0.0.0 b.com\n1.1.1.1   C.com  \n0.0.0.0 d.com\n0.0.0.0 e.com\n"
        "0.0.0.0 f.com\n0.0.0.0 g.com\n0.0.0.0 a.com.au\n");
    Start();
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 d.com", "0.0.0.0 e.com", "0.0.0.0 f.com",
                                  "0.0.0.0 g.com", "0.0.0.0 a.com.au"}));
}

// A blocklist's settings: the section list is far longer than the first buffer of a read.
TEST_F(HostsLoad, HiddenEntriesAreLeftOutAmongThousandsOfSections) {
    std::string settings;
    std::string hosts;
    Lines shown;
    for (int i = 0; i < 3000; ++i) {
        std::string url = "www.site" + std::to_string(i) + ".example";
        settings += "[" + url + "]\nDesc=site " + std::to_string(i) + "\n";
        if (i % 7 == 0) {
            settings += "Hidden=1\n";
        }
        if (i % 100 == 0 || i % 100 == 1) {
            hosts += "0.0.0.0 " + url + "\n";
            if (i % 7 != 0) {
                shown.push_back("0.0.0.0 " + url);
            }
        }
    }
    InstallSettings(settings);
    WriteHosts(hosts);
    Start();
    EXPECT_EQ(ListLines(), shown);
}

TEST_F(HostsLoad, AfterTheLoadTheSwapFileIsEmptyAndHeld) {
    WriteHosts("# c\n0.0.0.0 a.com\n");
    Start();
    EXPECT_EQ(ReadReleased(kSwapPath), "");
    EXPECT_EQ(files().Open(kSwapPath, {OpenMode::WriteTruncate, true}), nullptr);
    EXPECT_EQ(files().Open(kHostsPath, {OpenMode::ReadExisting, true}), nullptr);
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
    EXPECT_EQ(Label(res::kStatus2), "Output File Is Open");
}

TEST_F(HostsLoad, NoHostsFileLeavesTheStatusLinesAndTheListEmpty) {
    Start();
    EXPECT_EQ(Shown(), (Lines{Message("Unable to open input host file. (OpenFiles())"),
                              "main window shown"}));
    EXPECT_EQ(Label(res::kStatus1), "Static");
    EXPECT_EQ(Label(res::kStatus2), "Static");
    EXPECT_TRUE(ListLines().empty());
    EXPECT_FALSE(ExistsSystem(kHostsPath));
}

TEST_F(HostsLoad, SwapFileThatCannotBeCreated) {
    WriteHosts("0.0.0.0 a.com\n");
    testPlatform.faulty.failOpen.insert(kSwapPath);
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Unable to open output file.(OpenFiles())"), "main window shown"}));
    EXPECT_EQ(Label(res::kStatus1), "Static");
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 a.com"});
}

TEST_F(HostsLoad, SwapFileThatCannotBeCreatedForNormalising) {
    const std::string content = "# c\n0.0.0.0 a.com\n";
    WriteHosts(content);
    Start();
    Stop();
    WriteHosts(content);
    Shown();
    ASSERT_TRUE(ExistsSystem("C:\\Windows\\System32\\Quorvex.cpt"));
    // The first open of the swap file works, the one for normalising does not.
    int opens = 0;
    testPlatform.faulty.onOpen = [&opens](const std::string& path) {
        return !(path == kSwapPath && ++opens == 2);
    };
    Start();
    EXPECT_EQ(Shown(),
              (Lines{Message("Host file not formatted.", "Info", 0x30),
                     Message("Unable to open swap file for formatting"), "main window shown"}));
    EXPECT_TRUE(ListLines().empty());
    EXPECT_EQ(Hosts(), content);
}

}  // namespace
}  // namespace qv
