#include <gtest/gtest.h>

#include <filesystem>

#include "protect/CFileScrambler.h"
#include "support/FaultyFileSystem.h"
#include "support/PlatformFixture.h"
#include "support/RecordingMessageBoxes.h"

namespace qv {
namespace {

const std::string kIni = "C:\\Windows\\System32\\Quorvex.ini";
const std::string kCpt = "C:\\Windows\\System32\\Quorvex.cpt";
const std::string kLog = "C:\\Windows\\System32\\Quorvexlog.log";
const std::string kLogCpt = "C:\\Windows\\System32\\Quorvexlog.cpt";

std::string Scrambled(std::string bytes) {
    for (char& c : bytes) {
        c = static_cast<char>(c ^ 0x6B);
    }
    return bytes;
}

using Result = CFileScrambler::Result;

class ScramblerTest : public test::PlatformFixture {
protected:
    ScramblerTest() : faulty(files()), scrambler(faulty, messages, logPath, scrambledLogPath) {}

    test::RecordingMessageBoxes messages;
    test::FaultyFileSystem faulty;
    std::string logPath = kLog;
    std::string scrambledLogPath = kLogCpt;
    CFileScrambler scrambler;
};

TEST_F(ScramblerTest, RoundTripOfEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    all += "\r\n\n\r" + all;
    WriteSystem(kIni, all);
    ASSERT_EQ(scrambler.EncryptIniFile(), Result::Done);
    EXPECT_FALSE(ExistsSystem(kIni));
    EXPECT_EQ(ReadSystem(kCpt), Scrambled(all));
    ASSERT_EQ(scrambler.DecryptIniFile(), Result::Done);
    EXPECT_FALSE(ExistsSystem(kCpt));
    EXPECT_EQ(ReadSystem(kIni), all);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScramblerTest, LargeFileCrossesBufferBoundaries) {
    std::string big;
    for (int i = 0; i < 300000; ++i) {
        big += static_cast<char>(i * 7);
    }
    WriteSystem(kLog, big);
    ASSERT_EQ(scrambler.EncryptLogFile(), Result::Done);
    ASSERT_EQ(scrambler.DecryptLogFile(), Result::Done);
    EXPECT_EQ(ReadSystem(kLog), big);
}

TEST_F(ScramblerTest, EmptyFileGivesEmptyScrambledFile) {
    WriteSystem(kLog, "");
    ASSERT_EQ(scrambler.EncryptLogFile(), Result::Done);
    EXPECT_TRUE(ExistsSystem(kLogCpt));
    EXPECT_EQ(ReadSystem(kLogCpt), "");
    EXPECT_FALSE(ExistsSystem(kLog));
}

struct MessageCase {
    const char* name;
    Result (CFileScrambler::*operation)();
    const char* source;
    const char* target;
    const char* sourceMessage;  // null: silent
    const char* targetMessage;
    const char* unreadableMessage;
};

const MessageCase kMessageCases[] = {
    {"DecryptIni", &CFileScrambler::DecryptIniFile, "C:\\Windows\\System32\\Quorvex.cpt",
     "C:\\Windows\\System32\\Quorvex.ini", nullptr,
     "Unable to open file to write Decryption to (ini)", "Unable to open file to Decrypt (ini)"},
    {"DecryptLog", &CFileScrambler::DecryptLogFile, "C:\\Windows\\System32\\Quorvexlog.cpt",
     "C:\\Windows\\System32\\Quorvexlog.log", nullptr, "Unable to open file to write Decryption to",
     kLogUnreadable},
    {"EncryptLog", &CFileScrambler::EncryptLogFile, "C:\\Windows\\System32\\Quorvexlog.log",
     "C:\\Windows\\System32\\Quorvexlog.cpt", "Unable to open file to Encrypt (log)",
     "Unable to open file to write encryption to", "Unable to open file to Encrypt (log)"},
    {"EncryptIni", &CFileScrambler::EncryptIniFile, "C:\\Windows\\System32\\Quorvex.ini",
     "C:\\Windows\\System32\\Quorvex.cpt", "Unable to open file to Encrypt (ini)",
     "Unable to open file to write encryption to (ini)", "Unable to open file to Encrypt (ini)"},
};

void PrintTo(const MessageCase& c, std::ostream* out) {
    *out << c.name;
}

std::string NewFile(const char* target) {
    return std::string(target) + ".new";
}

class ScramblerMessages : public ScramblerTest,
                          public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ScramblerMessages, MissingSource) {
    const MessageCase& c = GetParam();
    EXPECT_EQ((scrambler.*c.operation)(), Result::SourceMissing);
    std::vector<test::RecordingMessageBoxes::Shown> expected;
    if (c.sourceMessage != nullptr) {
        expected.push_back({c.sourceMessage, "", kMbOk});
    }
    EXPECT_EQ(messages.shown, expected);
    EXPECT_FALSE(ExistsSystem(c.target));
}

TEST_P(ScramblerMessages, TargetCannotBeCreated) {
    const MessageCase& c = GetParam();
    WriteSystem(c.source, "content");
    faulty.failOpen.insert(NewFile(c.target));
    EXPECT_EQ((scrambler.*c.operation)(), Result::Failed);
    EXPECT_EQ(messages.shown,
              (std::vector<test::RecordingMessageBoxes::Shown>{{c.targetMessage, "", kMbOk}}));
    EXPECT_EQ(ReadSystem(c.source), "content");
}

// A target of the other form from an earlier run (when scrambling at exit; at start the plain
// form wins and is not replaced) stays whole until the new one is complete:
// a failure part way never leaves a shorter file in its place.
class ScramblerFailures : public ScramblerMessages {
protected:
    void SetUp() override {
        const MessageCase& c = GetParam();
        WriteSystem(c.source, content);
        WriteSystem(c.target, "the earlier copy, whole");
    }
    void ExpectBothKept() {
        const MessageCase& c = GetParam();
        EXPECT_EQ(ReadSystem(c.source), content);
        EXPECT_EQ(ReadSystem(c.target), "the earlier copy, whole");
        EXPECT_FALSE(ExistsSystem(NewFile(c.target)));
    }
    const std::string content = std::string(200000, 'z');
};

TEST_P(ScramblerFailures, WriteErrorMidCopy) {
    const MessageCase& c = GetParam();
    faulty.failWritesTo.insert(NewFile(c.target));
    faulty.writeBudget = 1000;
    EXPECT_EQ((scrambler.*c.operation)(), Result::Failed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.targetMessage});
    ExpectBothKept();
}

TEST_P(ScramblerFailures, ReadErrorMidCopy) {
    const MessageCase& c = GetParam();
    faulty.failReads.insert(c.source);
    EXPECT_EQ((scrambler.*c.operation)(), Result::Failed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.unreadableMessage});
    ExpectBothKept();
}

TEST_P(ScramblerFailures, RenameIntoPlaceFails) {
    const MessageCase& c = GetParam();
    faulty.failCommitTo.insert(c.target);
    EXPECT_EQ((scrambler.*c.operation)(), Result::Failed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.targetMessage});
    ExpectBothKept();
}

TEST_P(ScramblerFailures, SourceThatCannotBeRemovedStaysBesideACompleteTarget) {
    const MessageCase& c = GetParam();
    faulty.failRemove = true;
    EXPECT_EQ((scrambler.*c.operation)(), Result::Done);
    EXPECT_EQ(ReadSystem(c.source), content);
    EXPECT_EQ(ReadSystem(c.target), Scrambled(content));
}

INSTANTIATE_TEST_SUITE_P(Operations, ScramblerFailures,
                         ::testing::Values(kMessageCases[2], kMessageCases[3]),
                         [](const auto& info) { return std::string(info.param.name); });

// The plain log wins over a scrambled one at start, so unscrambling the log is only tried
// with no plain log: its failures leave the scrambled log as it was.
TEST_F(ScramblerTest, LogThatCannotBeUnscrambledIsKept) {
    WriteSystem(kLogCpt, std::string(200000, 'q'));
    faulty.failReads.insert(kLogCpt);
    EXPECT_EQ(scrambler.DecryptLogFile(), Result::Failed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kLogUnreadable});
    EXPECT_EQ(ReadSystem(kLogCpt), std::string(200000, 'q'));
    EXPECT_FALSE(ExistsSystem(kLog));
}

// Special files and links at a source are no source; the link's target is not read.
TEST_F(ScramblerTest, OnlyRegularFilesAreSources) {
    std::filesystem::create_directories(Real(kIni));
    EXPECT_EQ(scrambler.EncryptIniFile(), Result::SourceMissing);
#ifndef _WIN32
    WriteSystem(kLog + ".target", "not a log");
    std::filesystem::create_symlink(Real(kLog + ".target"), Real(kLog));
    EXPECT_EQ(scrambler.EncryptLogFile(), Result::SourceMissing);
    EXPECT_FALSE(ExistsSystem(kLogCpt));
#endif
}

INSTANTIATE_TEST_SUITE_P(Operations, ScramblerMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScramblerTest, PlainSettingsFileWinsAndScrambledOneIsLeftAlone) {
    WriteSystem(kIni, "[Main]\nInstalled=1\n");
    WriteSystem(kCpt, Scrambled("[Main]\nInstalled=0\n"));
    EXPECT_EQ(scrambler.DecryptIniFile(), Result::Done);
    EXPECT_EQ(ReadSystem(kIni), "[Main]\nInstalled=1\n");
    EXPECT_EQ(ReadSystem(kCpt), Scrambled("[Main]\nInstalled=0\n"));
    EXPECT_TRUE(messages.shown.empty());
}

// Both forms exist only after a crash or a failure between the new file's rename and the old
// file's removal, and the plain one is then the newer (a run appends to it).
TEST_F(ScramblerTest, PlainLogWinsOverAScrambledOne) {
    WriteSystem(kLog, "the whole log, and what this run added");
    WriteSystem(kLogCpt, Scrambled("the whole log"));
    EXPECT_EQ(scrambler.DecryptLogFile(), Result::Done);
    EXPECT_EQ(ReadSystem(kLog), "the whole log, and what this run added");
    EXPECT_EQ(ReadSystem(kLogCpt), Scrambled("the whole log"));
    EXPECT_TRUE(messages.shown.empty());
}

// An empty plain settings file is what an older version's crash left: it hides nothing.
TEST_F(ScramblerTest, EmptyPlainSettingsFileGivesWayToTheScrambledOne) {
    WriteSystem(kIni, "");
    WriteSystem(kCpt, Scrambled("[Main]\nInstalled=1\n"));
    EXPECT_EQ(scrambler.DecryptIniFile(), Result::Done);
    EXPECT_EQ(ReadSystem(kIni), "[Main]\nInstalled=1\n");
    EXPECT_FALSE(ExistsSystem(kCpt));
}

TEST_F(ScramblerTest, NoSettingsFileOfEitherFormIsAFirstRun) {
    EXPECT_EQ(scrambler.DecryptIniFile(), Result::SourceMissing);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScramblerTest, HeldSourceIsNotTouched) {
    WriteSystem(kIni, "held");
    auto holder = files().Open(kIni, {OpenMode::ReadExisting, true});
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(scrambler.EncryptIniFile(), Result::Failed);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to open file to Encrypt (ini)"});
    holder.reset();
    EXPECT_EQ(ReadSystem(kIni), "held");
}

}  // namespace
}  // namespace qv
