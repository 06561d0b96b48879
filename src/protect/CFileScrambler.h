#pragma once

#include <string>

#include "framework/MessageBoxes.h"
#include "platform/File.h"

namespace qv {

// Moves the settings file and the activity log between their plain form (while the program
// runs) and their scrambled form (between runs): every byte exclusive-or 0x6B, nothing added.
//
// A target is written as a new file and renamed into place once it is complete and synced;
// the source is removed only after that. So a file of either form that exists is always
// complete, whatever failed or crashed, and where both exist the plain one is the newer.
class CFileScrambler {
public:
    static constexpr unsigned char kKey = 0x6B;

    enum class Result {
        Done,           // the target holds the source's content, scrambled or unscrambled
        SourceMissing,  // nothing to transform: no regular file at the source path
        Failed,         // the source is kept as it was; no partial target is left
    };

    // The log paths are read when an operation runs, so they may be built after construction.
    CFileScrambler(FileSystem& files, MessageBoxes& messages, const std::string& logPath,
                   const std::string& scrambledLogPath)
        : files(files), messages(messages), logPath(logPath), scrambledLogPath(scrambledLogPath) {}

    // The settings file at start: Done when a plain one is ready (the plain file wins),
    // SourceMissing when neither form exists (a first run, said nothing of), Failed, with a
    // message, when one exists but could not be read or unscrambled.
    Result DecryptIniFile();
    // The log at start: the plain log wins; Failed when the scrambled log could not be read
    // or unscrambled (it is then kept as it is).
    Result DecryptLogFile();
    Result EncryptLogFile();
    Result EncryptIniFile();

    struct Messages {
        const char* sourceMissing;     // null: fail silently
        const char* targetFailed;      // the target could not be written
        const char* sourceUnreadable;  // the source exists but could not be read
    };
    Result Transform(const std::string& source, const std::string& target, const Messages& texts);

private:
    // What is at `path`: a link, folder, FIFO or device counts as none; Unknown when the
    // system could not tell.
    enum class Presence { None, Empty, File, Unknown };
    Presence Find(const std::string& path);

    FileSystem& files;
    MessageBoxes& messages;
    const std::string& logPath;
    const std::string& scrambledLogPath;
};

inline constexpr const char* kLogUnreadable =
    "The log file cannot be read. It is kept as it is, and this run is not logged.";

}  // namespace qv
