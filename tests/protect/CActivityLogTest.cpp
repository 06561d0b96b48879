#include <gtest/gtest.h>

#include "protect/CActivityLog.h"
#include "support/FaultyFileSystem.h"
#include "support/PlatformFixture.h"
#include "support/RecordingMessageBoxes.h"

namespace qv {
namespace {

const std::string kLog = "C:\\Windows\\System32\\Quorvexlog.log";

class ActivityLogTest : public test::PlatformFixture {
protected:
    ActivityLogTest() : faulty(files()) {}

    // One program start: open the log and write the banner, then the entries, then close.
    void Run(const std::string& startTime, const std::vector<std::string>& entries) {
        CActivityLog log(faulty, messages);
        log.BuildPaths();
        if (log.OpenLogFile()) {
            log.WriteLogLine(StartBanner(startTime));
        }
        for (const std::string& entry : entries) {
            log.WriteLogLine(entry);
        }
        log.Close();
    }

    test::RecordingMessageBoxes messages;
    test::FaultyFileSystem faulty;
};

TEST_F(ActivityLogTest, PathsComeFromTheStringTable) {
    CActivityLog log(files(), messages);
    log.BuildPaths();
    EXPECT_EQ(log.logPath, "C:\\Windows\\System32\\Quorvexlog.log");
    EXPECT_EQ(log.scrambledLogPath, "C:\\Windows\\System32\\Quorvexlog.cpt");
    EXPECT_FALSE(log.logOpen);
}

TEST_F(ActivityLogTest, FirstRunWritesHeaderEmptyLineThenBanner) {
    Run("3/7/2003 - 9:5", {});
    EXPECT_EQ(ReadSystem(kLog),
              Text("Quorvex Log Created\n\n\n-== Program Started on 3/7/2003 - 9:5 ==-\n"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ActivityLogTest, LaterStartsAppendAndNeverEmptyTheLog) {
    Run("1/1/2004 - 0:0",
        {"User added \"a.com\" to restrictions\n", "User canceled password form"});
    Run("1/2/2004 - 10:30", {"User removed a restriction\n"});
    EXPECT_EQ(ReadSystem(kLog), Text("Quorvex Log Created\n\n"
                                     "\n-== Program Started on 1/1/2004 - 0:0 ==-\n"
                                     "User added \"a.com\" to restrictions\n"
                                     "User canceled password form"
                                     "\n-== Program Started on 1/2/2004 - 10:30 ==-\n"
                                     "User removed a restriction\n"));
}

TEST_F(ActivityLogTest, EntriesAreWrittenVerbatimAndAtOnce) {
    CActivityLog log(files(), messages);
    log.BuildPaths();
    ASSERT_TRUE(log.OpenLogFile());
    log.WriteLogLine("User entered wrong password: \"%s%n%x\"");
    const std::string expected =
        Text("Quorvex Log Created\n\nUser entered wrong password: \"%s%n%x\"");
#ifndef _WIN32
    // Already on disk while the log is still open: nothing waits in a buffer. (Windows
    // lets no one read the log while we hold it.)
    EXPECT_EQ(ReadSystem(kLog), expected);
#endif
    log.Close();
    EXPECT_EQ(ReadSystem(kLog), expected);
}

TEST_F(ActivityLogTest, ClosedLogDropsEntries) {
    CActivityLog log(files(), messages);
    log.BuildPaths();
    log.WriteLogLine("dropped\n");
    EXPECT_FALSE(ExistsSystem(kLog));
    ASSERT_TRUE(log.OpenLogFile());
    log.Close();
    log.WriteLogLine("dropped too\n");
    EXPECT_EQ(ReadSystem(kLog), Text("Quorvex Log Created\n\n"));
}

// One failed write loses that entry, is said once, and the entries after it still arrive.
TEST_F(ActivityLogTest, FailedWriteIsReportedOnceAndLaterEntriesAreKept) {
    faulty.failOneWrite[kLog] = 2;  // the banner's write, then the first entry's
    Run("1/1/2004 - 0:0", {"first\n", "second\n", "third\n"});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kLogWriteFailed});
    EXPECT_EQ(ReadSystem(kLog), Text("Quorvex Log Created\n\n"
                                     "\n-== Program Started on 1/1/2004 - 0:0 ==-\n"
                                     "second\nthird\n"));
    messages.shown.clear();
    faulty.failOneWrite[kLog] = 1;
    faulty.failWritesTo.insert(kLog);
    faulty.writeBudget = 0;
    Run("1/2/2004 - 0:0", {"lost\n", "lost too\n"});
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{kLogWriteFailed});
}

TEST_F(ActivityLogTest, LogThatCannotBeOpenedIsReported) {
    faulty.failOpen.insert(kLog);
    faulty.failOpen.insert(kLog + ".new");
    Run("1/1/2004 - 0:0", {"User removed a restriction\n"});
    EXPECT_EQ(
        messages.shown,
        (std::vector<test::RecordingMessageBoxes::Shown>{{"Unable to open logfile", "", kMbOk}}));
    EXPECT_FALSE(ExistsSystem(kLog));
}

TEST_F(ActivityLogTest, ExistingLogIsKeptAsItIs) {
    WriteSystem(kLog, "earlier content without header");
    Run("5/6/2007 - 8:9", {});
    EXPECT_EQ(ReadSystem(kLog), "earlier content without header" +
                                    Text("\n-== Program Started on 5/6/2007 - 8:9 ==-\n"));
}

TEST(StartTime, FormatTable) {
    struct Case {
        LocalTime time;
        const char* text;
    };
    for (Case c :
         {Case{{2003, 3, 7, 9, 5}, "3/7/2003 - 9:5"}, Case{{2004, 1, 1, 0, 0}, "1/1/2004 - 0:0"},
          Case{{2026, 12, 31, 23, 59}, "12/31/2026 - 23:59"}}) {
        EXPECT_EQ(FormatStartTime(c.time), c.text);
    }
    EXPECT_EQ(StartBanner("1/1/2004 - 0:0"), "\n-== Program Started on 1/1/2004 - 0:0 ==-\n");
}

TEST(StartTime, ClockGivesAPlausibleLocalTime) {
    test::TempRoot root;
    auto platform = CreatePlatform(PathMap::ForRoot(root.String()));
    LocalTime now = platform->LocalClock().Now();
    EXPECT_GE(now.year, 2024);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
}

}  // namespace
}  // namespace qv
