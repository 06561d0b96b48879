#include "protect/CActivityLog.h"

#include "res/StringTable.h"

namespace qv {

void CActivityLog::BuildPaths() {
    logPath = LoadString(kIdsLogPathPrefix);
    scrambledLogPath = logPath;
    logPath += "log.log";
    scrambledLogPath += "log.cpt";
}

bool CActivityLog::OpenLogFile() {
    Close();
    bool exists =
        static_cast<bool>(files.Open(logPath, {OpenMode::ReadExisting, false, false, false}));
    if (!exists) {
        TextFile fresh;
        if (fresh.Open(files, logPath, {OpenMode::AppendCreate, true, true, false})) {
            fresh.Write(kLogHeader);
            fresh.Close();
        }
    }
    if (!logFile.Open(files, logPath, {OpenMode::AppendExisting, true, true, false})) {
        messages.MessageBox("Unable to open logfile");
        return false;
    }
    logOpen = true;
    return true;
}

void CActivityLog::WriteLogLine(std::string_view text) {
    if (!logOpen) {
        return;
    }
    logFile.Write(text);
    logFile.Flush();
}

void CActivityLog::Close() {
    logFile.Close();
    logOpen = false;
}

std::string FormatStartTime(const LocalTime& time) {
    return std::to_string(time.month) + "/" + std::to_string(time.day) + "/" +
           std::to_string(time.year) + " - " + std::to_string(time.hour) + ":" +
           std::to_string(time.minute);
}

std::string StartBanner(const std::string& startTime) {
    return "\n-== Program Started on " + startTime + " ==-\n";
}

}  // namespace qv
