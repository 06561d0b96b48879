#include "protect/CActivityLog.h"

#include "platform/NewFile.h"
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
    FileIdentity existing;
    FileSystem::Lookup found = files.Identify(logPath, existing);
    // Only where surely no log is: a log that could not be looked at is not replaced.
    if (found == FileSystem::Lookup::Missing ||
        (found == FileSystem::Lookup::Found && !existing.regular)) {
        // A new log, made complete beside its place and then put there: a link or anything
        // else at the path is replaced, never written through.
        std::string header;
        AppendPlatformText(header, kLogHeader);
        WriteNewFile(files, logPath,
                     [&header](File& out) { return out.Write(header.data(), header.size()); });
    }
    if (!logFile.Open(files, logPath, {OpenMode::AppendExisting, true, true, true})) {
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
    if (logFile.Write(text) && logFile.Flush()) {
        return;
    }
    // The entry is lost; later ones are still tried. Said once per run, not at every entry.
    logFile.ClearError();
    if (!writeFailureReported) {
        writeFailureReported = true;
        messages.MessageBox(kLogWriteFailed, "Error", kMbOk | kMbIconStop);
    }
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
