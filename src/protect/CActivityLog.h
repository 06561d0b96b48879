#pragma once

#include <string>
#include <string_view>

#include "framework/MessageBoxes.h"
#include "platform/Clock.h"
#include "platform/TextFile.h"

namespace qv {

// The activity log: what users did, one banner per program start. Plain text with the
// platform's line ends, only ever appended to; every entry reaches the disk at once, so a
// crash loses nothing already written.
class CActivityLog {
public:
    CActivityLog(FileSystem& files, MessageBoxes& messages) : files(files), messages(messages) {}

    // Builds `logPath` and `scrambledLogPath` from the prefix in the string table.
    void BuildPaths();
    // Makes sure the plain log exists (with its header) and opens it for appending.
    bool OpenLogFile();
    // Appends `text` exactly as given, when the log is open; otherwise drops it.
    void WriteLogLine(std::string_view text);
    void Close();

    TextFile logFile;
    std::string logPath;
    std::string scrambledLogPath;
    bool logOpen = false;

private:
    bool writeFailureReported = false;
    FileSystem& files;
    MessageBoxes& messages;
};

inline constexpr const char* kLogWriteFailed = "Unable to write to the log file.";
inline constexpr std::string_view kLogHeader = "Quorvex Log Created\n\n";

// "month/day/year - hour:minute", no leading zeros.
std::string FormatStartTime(const LocalTime& time);
// The entry written at every start.
std::string StartBanner(const std::string& startTime);

}  // namespace qv
