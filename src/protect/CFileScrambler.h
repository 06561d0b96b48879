#pragma once

#include <string>

#include "framework/MessageBoxes.h"
#include "platform/File.h"

namespace qv {

// Moves the settings file and the activity log between their plain form (while the program
// runs) and their scrambled form (between runs): every byte exclusive-or 0x6B, nothing added.
class CFileScrambler {
public:
    static constexpr unsigned char kKey = 0x6B;

    // The log paths are read when an operation runs, so they may be built after construction.
    CFileScrambler(FileSystem& files, MessageBoxes& messages, const std::string& logPath,
                   const std::string& scrambledLogPath)
        : files(files), messages(messages), logPath(logPath), scrambledLogPath(scrambledLogPath) {}

    bool DecryptIniFile();
    bool DecryptLogFile();
    bool EncryptLogFile();
    bool EncryptIniFile();

    struct Messages {
        const char* sourceMissing;  // null: fail silently
        const char* targetFailed;
    };
    // Copies `source` into `target` scrambled and deletes the source. After a failure the
    // source is kept and no partial target is left behind.
    bool Transform(const std::string& source, const std::string& target, const Messages& texts);

private:
    FileSystem& files;
    MessageBoxes& messages;
    const std::string& logPath;
    const std::string& scrambledLogPath;
};

}  // namespace qv
