// Loading the hosts file at start-up: normalisation, the restriction list, hidden entries.
#include "support/AppFixture.h"

#include "res/Resource.h"

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
