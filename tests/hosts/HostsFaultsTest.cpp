// The hosts file when things go wrong: read errors, special files, changes made by another
// program, and saves whose reopening or syncing fails. The list shown and the file on disk
// never disagree silently, and no save writes a list that is not the whole file.
#include "support/AppFixture.h"

#include <filesystem>

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

std::string ManyLines(int count, const std::string& first = "") {
    std::string text = first;
    for (int i = 0; i < count; ++i) {
        text += "0.0.0.0 host" + std::to_string(i) + ".example\n";
    }
    return text;
}

class HostsFaults : public AppFixture {
protected:
    HostsFaults() { InstallSettings(); }
    void Add(const std::string& url) {
        ui.Expect(res::kNewRestrictionDialog, {H::Type(res::kUrlEdit, url), H::Click(res::kIdOk)});
        View().Click(res::kAddButton);
    }
};

// A read that fails part way is an error: no list, no normalising, and no save may write
// until a load has read the whole file.
struct ReadErrorCase {
    const char* name;
    std::string content;
    Lines messages;
};

class HostsReadError : public HostsFaults, public ::testing::WithParamInterface<ReadErrorCase> {};

TEST_P(HostsReadError, NothingIsListedAndNothingIsWritten) {
    const ReadErrorCase& c = GetParam();
    WriteHosts(c.content);
    testPlatform.faulty.failReads.insert(kHostsPath);
    Start();
    Lines expected = c.messages;
    expected.push_back("main window shown");
    EXPECT_EQ(Shown(), expected);
    EXPECT_TRUE(ListLines().empty());
    EXPECT_FALSE(View().hostsFile.Loaded());
    // Half a file is no copy of it either.
    EXPECT_FALSE(ExistsSystem(kOriginalHostsPath));
    EXPECT_FALSE(ExistsSystem(std::string(kOriginalHostsPath) + ".new"));

    View().passwords.unlocked = true;
    Add("new.example");
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), (Lines{"dialog 131", Message(kHostsUnreadable)}));
    EXPECT_EQ(Hosts(), c.content);
    EXPECT_TRUE(View().restrictions.pendingChange);
    EXPECT_EQ(testPlatform.faulty.replaceCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Loads, HostsReadError,
    ::testing::Values(
        ReadErrorCase{"Plain", ManyLines(10000), {DescribeMessage(kHostsUnreadable, "", kMbOk)}},
        ReadErrorCase{"CommentFirst",
                      ManyLines(10000, "# a blocklist\n"),
                      {DescribeMessage("Host file not formatted.", "Info", 0x30),
                       DescribeMessage(kHostsUnreadable, "", kMbOk)}}),
    [](const auto& info) { return std::string(info.param.name); });

// After a failed load, leaving the log view loads again; a load that works makes saves work.
TEST_F(HostsFaults, ALaterLoadThatWorksAllowsSavesAgain) {
    WriteHosts(ManyLines(10000));
    testPlatform.faulty.failReads.insert(kHostsPath);
    Start();
    View().passwords.unlocked = true;
    testPlatform.faulty.failReads.clear();
    View().Click(res::kViewLogButton);
    View().Click(res::kViewLogButton);
    EXPECT_EQ(ListLines().size(), 10000u);
    Add("new.example");
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text(ManyLines(10000) + "0.0.0.0 new.example\n"));
}

TEST_F(HostsFaults, FolderInPlaceOfTheHostsFileIsNoHostsFile) {
    std::filesystem::create_directories(Real(kHostsPath));
    Start();
    EXPECT_EQ(Shown(), (Lines{Message("Unable to open input host file. (OpenFiles())"),
                              "main window shown"}));
    EXPECT_FALSE(View().hostsFile.Loaded());
    EXPECT_TRUE(std::filesystem::is_directory(Real(kHostsPath)));
}

// The Save that works but whose files cannot be opened again says so in the status line.
TEST_F(HostsFaults, SavedButNotReopened) {
    WriteHosts("0.0.0.0 a.example\n");
    Start();
    Add("new.example");
    Shown();
    testPlatform.faulty.onOpen = [](const std::string& path) { return path != kHostsPath; };
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message("Unable to open input host file. (OpenFiles())")});
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Closed");
    EXPECT_FALSE(View().restrictions.pendingChange);
    testPlatform.faulty.onOpen = nullptr;
    EXPECT_EQ(Hosts(), Text("0.0.0.0 a.example\n0.0.0.0 new.example\n"));
}

TEST_F(HostsFaults, ReplaceThatCannotBeSyncedIsSaidButCountsAsSaved) {
    WriteHosts("0.0.0.0 a.example\n");
    Start();
    Add("new.example");
    Shown();
    testPlatform.faulty.replaceNotDurable = true;
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message(kHostsNotDurable, "Info", 0x30)});
    EXPECT_FALSE(View().restrictions.pendingChange);
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
    EXPECT_EQ(Hosts(), Text("0.0.0.0 a.example\n0.0.0.0 new.example\n"));
}

// A line the fill left out as hidden and that the user adds again is written once.
TEST_F(HostsFaults, HiddenLineAddedAgainIsWrittenOnce) {
    Stop();
    InstallSettings("[hidden.example]\nHidden=1\n");
    WriteHosts("0.0.0.0 Hidden.Example\n0.0.0.0 shown.example\n");
    Start();
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 shown.example"});
    Add("hidden.example");
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("0.0.0.0 shown.example\n0.0.0.0 hidden.example\n"));
}

// Descriptions and the hidden flag live in the settings file: a write that fails is said.
TEST_F(HostsFaults, DescriptionThatCannotBeStoredIsSaid) {
    WriteHosts("0.0.0.0 www.a.example\n");
    Start();
    Shown();
    testPlatform.profile.failWrites = true;
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kUrlEdit, "www.new.example"), H::Type(res::kDescriptionEdit, "d"),
               H::Click(res::kIdOk)});
    View().Click(res::kAddButton);
    const std::string notStored = Message(kSettingsNotStored, "Error", kMbIconStop);
    EXPECT_EQ(Shown(), (Lines{"dialog 131", notStored}));
    EXPECT_EQ(ListLines(), (Lines{"0.0.0.0 www.a.example", "0.0.0.0 www.new.example"}));

    // Entering information for an entry without any.
    View().restrictionList.Select(0);
    ui.Answer(kIdYes);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kDescriptionEdit, "text"), H::Click(res::kIdOk)});
    ui.Expect(res::kInformationDialog, {H::Click(res::kIdOk)});
    View().DoubleClick(res::kRestrictionList, 0);
    Lines shown = Shown();
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown[2], notStored);
}

// Someone who just failed the start-up password gets nothing done to the hosts file: no
// normalising, no swap file.
TEST_F(HostsFaults, RefusedStartUpPasswordLeavesTheHostsFileAlone) {
    Stop();
    InstallSettings();
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    ASSERT_TRUE(profile.WriteBool("Main", "ReqPass", 1));
    const std::string content = "# my own notes\n127.0.0.1 localhost\n";
    WriteHosts(content);
    ui.Expect(res::kPasswordDialog,
              {H::Type(res::kPasswordEdit, "wrong"), H::Click(res::kPasswordOk)});
    Start();
    EXPECT_EQ(Shown(), (Lines{"dialog 130", "quit 0", "main window shown"}));
    EXPECT_EQ(Hosts(), content);
    EXPECT_FALSE(ExistsSystem(kSwapPath));
    Stop();
    EXPECT_EQ(Hosts(), content);
    EXPECT_FALSE(ExistsSystem(kSwapPath));
}

#ifndef _WIN32
TEST_F(HostsFaults, SpecialFileInPlaceOfTheHostsFileDoesNotHang) {
    ASSERT_EQ(::mkfifo(Real(kHostsPath).c_str(), 0644), 0);
    Start();
    EXPECT_EQ(Shown(), (Lines{Message("Unable to open input host file. (OpenFiles())"),
                              "main window shown"}));
    Stop();
    Shown();
    std::filesystem::remove(Real(kHostsPath));
    std::filesystem::create_symlink("/dev/zero", Real(kHostsPath));
    Start();
    EXPECT_EQ(Shown(), (Lines{Message("Unable to open input host file. (OpenFiles())"),
                              "main window shown"}));
}

// Nobody else may write into the swap file before it becomes the hosts file.
TEST_F(HostsFaults, SwapFileIsPrivateWhateverTheUmask) {
    WriteHosts("0.0.0.0 a.example\n");
    mode_t old = ::umask(0);
    Start();
    ::umask(old);
    struct stat st;
    ASSERT_EQ(::stat(Real(kSwapPath).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// On Linux the hold on the hosts file is only advisory: what other programs did meanwhile is
// noticed before the list replaces it.
struct OtherProgramCase {
    const char* name;
    void (*change)(const std::string& hosts);
};

void Append(const std::string& hosts) {
    test::WriteBytes(hosts, test::ReadBytes(hosts) + "0.0.0.0 theirs.example\n");
}
void RewriteInPlace(const std::string& hosts) {
    std::string bytes = test::ReadBytes(hosts);
    bytes[0] = '1';
    FILE* f = std::fopen(hosts.c_str(), "r+");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
void RenameOver(const std::string& hosts) {
    test::WriteBytes(hosts + ".theirs", "0.0.0.0 theirs.example\n");
    ASSERT_EQ(std::rename((hosts + ".theirs").c_str(), hosts.c_str()), 0);
}

class HostsChangedElsewhere : public HostsFaults,
                              public ::testing::WithParamInterface<OtherProgramCase> {
protected:
    void SetUp() override {
        WriteHosts("0.0.0.0 a.example\n");
        Start();
        Add("new.example");
        Shown();
        GetParam().change(Real(kHostsPath).string());
        theirs = test::ReadBytes(Real(kHostsPath));
    }
    std::string theirs;
};

TEST_P(HostsChangedElsewhere, NoKeepsTheirVersionAndTheChangePending) {
    ui.Answer(kIdNo);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message(kHostsChangedQuestion, "Info", kMbYesNo | kMbIconQuestion)});
    EXPECT_EQ(test::ReadBytes(Real(kHostsPath)), theirs);
    EXPECT_TRUE(View().restrictions.pendingChange);
    EXPECT_TRUE(Enabled(res::kSaveButton));
}

TEST_P(HostsChangedElsewhere, YesReplacesItAndTheNextSaveDoesNotAsk) {
    ui.Answer(kIdYes);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{Message(kHostsChangedQuestion, "Info", kMbYesNo | kMbIconQuestion)});
    EXPECT_EQ(Hosts(), "0.0.0.0 a.example\n0.0.0.0 new.example\n");
    EXPECT_FALSE(View().restrictions.pendingChange);
    Add("newer.example");
    View().Click(res::kSaveButton);
    EXPECT_EQ(Shown(), Lines{"dialog 131"});
}

INSTANTIATE_TEST_SUITE_P(Changes, HostsChangedElsewhere,
                         ::testing::Values(OtherProgramCase{"Appended", Append},
                                           OtherProgramCase{"RewrittenInPlace", RewriteInPlace},
                                           OtherProgramCase{"RenamedOver", RenameOver}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostsFaults, UnchangedFileIsSavedWithoutAsking) {
    WriteHosts("0.0.0.0 a.example\n");
    Start();
    Add("new.example");
    Shown();
    View().Click(res::kSaveButton);
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(Hosts(), "0.0.0.0 a.example\n0.0.0.0 new.example\n");
}
#endif

}  // namespace
}  // namespace qv
