#include <gtest/gtest.h>

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
    ASSERT_TRUE(scrambler.EncryptIniFile());
    EXPECT_FALSE(ExistsSystem(kIni));
    EXPECT_EQ(ReadSystem(kCpt), Scrambled(all));
    ASSERT_TRUE(scrambler.DecryptIniFile());
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
    ASSERT_TRUE(scrambler.EncryptLogFile());
    ASSERT_TRUE(scrambler.DecryptLogFile());
    EXPECT_EQ(ReadSystem(kLog), big);
}

TEST_F(ScramblerTest, EmptyFileGivesEmptyScrambledFile) {
    WriteSystem(kLog, "");
    ASSERT_TRUE(scrambler.EncryptLogFile());
    EXPECT_TRUE(ExistsSystem(kLogCpt));
    EXPECT_EQ(ReadSystem(kLogCpt), "");
    EXPECT_FALSE(ExistsSystem(kLog));
}

struct MessageCase {
    const char* name;
    bool (CFileScrambler::*operation)();
    const char* source;
    const char* target;
    const char* sourceMessage;  // null: silent
    const char* targetMessage;
};

const MessageCase kMessageCases[] = {
    {"DecryptIni", &CFileScrambler::DecryptIniFile, "C:\\Windows\\System32\\Quorvex.cpt",
     "C:\\Windows\\System32\\Quorvex.ini", "Unable to open file to Decrypt (ini)",
     "Unable to open file to write Decryption to (ini)"},
    {"DecryptLog", &CFileScrambler::DecryptLogFile, "C:\\Windows\\System32\\Quorvexlog.cpt",
     "C:\\Windows\\System32\\Quorvexlog.log", nullptr,
     "Unable to open file to write Decryption to"},
    {"EncryptLog", &CFileScrambler::EncryptLogFile, "C:\\Windows\\System32\\Quorvexlog.log",
     "C:\\Windows\\System32\\Quorvexlog.cpt", "Unable to open file to Encrypt (log)",
     "Unable to open file to write encryption to"},
    {"EncryptIni", &CFileScrambler::EncryptIniFile, "C:\\Windows\\System32\\Quorvex.ini",
     "C:\\Windows\\System32\\Quorvex.cpt", "Unable to open file to Encrypt (ini)",
     "Unable to open file to write encryption to (ini)"},
};

class ScramblerMessages : public ScramblerTest,
                          public ::testing::WithParamInterface<MessageCase> {};

TEST_P(ScramblerMessages, MissingSource) {
    const MessageCase& c = GetParam();
    EXPECT_FALSE((scrambler.*c.operation)());
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
    faulty.failOpen.insert(c.target);
    EXPECT_FALSE((scrambler.*c.operation)());
    EXPECT_EQ(messages.shown,
              (std::vector<test::RecordingMessageBoxes::Shown>{{c.targetMessage, "", kMbOk}}));
    EXPECT_EQ(ReadSystem(c.source), "content");
}

TEST_P(ScramblerMessages, WriteErrorMidCopyKeepsTheSourceAndLeavesNoTarget) {
    const MessageCase& c = GetParam();
    std::string content(200000, 'z');
    WriteSystem(c.source, content);
    faulty.failWritesTo.insert(c.target);
    faulty.writeBudget = 1000;
    EXPECT_FALSE((scrambler.*c.operation)());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.targetMessage});
    EXPECT_EQ(ReadSystem(c.source), content);
    EXPECT_FALSE(ExistsSystem(c.target));
}

TEST_P(ScramblerMessages, ReadErrorMidCopyKeepsTheSourceAndLeavesNoTarget) {
    const MessageCase& c = GetParam();
    std::string content(200000, 'r');
    WriteSystem(c.source, content);
    faulty.failReads.insert(c.source);
    EXPECT_FALSE((scrambler.*c.operation)());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.targetMessage});
    EXPECT_EQ(ReadSystem(c.source), content);
    EXPECT_FALSE(ExistsSystem(c.target));
}

INSTANTIATE_TEST_SUITE_P(Operations, ScramblerMessages, ::testing::ValuesIn(kMessageCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScramblerTest, PlainSettingsFileWinsAndScrambledOneIsLeftAlone) {
    WriteSystem(kIni, "[Main]\nInstalled=1\n");
    WriteSystem(kCpt, Scrambled("[Main]\nInstalled=0\n"));
    EXPECT_TRUE(scrambler.DecryptIniFile());
    EXPECT_EQ(ReadSystem(kIni), "[Main]\nInstalled=1\n");
    EXPECT_EQ(ReadSystem(kCpt), Scrambled("[Main]\nInstalled=0\n"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ScramblerTest, ScrambledLogWinsOverAPlainOne) {
    WriteSystem(kLog, "stale plain log");
    WriteSystem(kLogCpt, Scrambled("the real log"));
    EXPECT_TRUE(scrambler.DecryptLogFile());
    EXPECT_EQ(ReadSystem(kLog), "the real log");
    EXPECT_FALSE(ExistsSystem(kLogCpt));
}

TEST_F(ScramblerTest, HeldSourceIsNotTouched) {
    WriteSystem(kIni, "held");
    auto holder = files().Open(kIni, {OpenMode::ReadExisting, true});
    ASSERT_NE(holder, nullptr);
    EXPECT_FALSE(scrambler.EncryptIniFile());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Unable to open file to Encrypt (ini)"});
    holder.reset();
    EXPECT_EQ(ReadSystem(kIni), "held");
}

}  // namespace
}  // namespace qv
