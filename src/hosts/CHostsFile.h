#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "framework/ControlSet.h"
#include "framework/ListModel.h"
#include "framework/MessageBoxes.h"
#include "platform/TextFile.h"
#include "protect/CActivityLog.h"
#include "settings/CProfileFile.h"

namespace qv {

inline constexpr const char* kHostsPath = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
inline constexpr const char* kSwapPath = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.swp";
// The hosts file as it was before its first normalisation, kept beside it.
inline constexpr const char* kOriginalHostsPath =
    "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.before-quorvex";

// The machine's hosts file and the swap file every new version is written through. While the
// program runs both are held open without sharing: the hosts file for reading, the swap file
// (empty) for writing.
class CHostsFile {
public:
    CHostsFile(FileSystem& files, MessageBoxes& messages, ControlSet& form, ListModel& list,
               CProfileFile& settings, CActivityLog& log)
        : files(files), messages(messages), form(form), list(list), settings(settings), log(log) {}

    bool OpenFiles();
    // Normalises, then fills the list, leaving out hidden entries.
    void LoadHostsFile();
    // Rewrites the hosts file in normal form when its first line is a comment, once the file
    // as it was is kept (kOriginalHostsPath); false when the load must stop.
    bool FormatHostsFile();
    void FillRestrictionList();
    // Puts the written swap file in place of the hosts file and reopens both. False, with
    // the hosts file untouched, when the swap file could not be written or replaced.
    bool ReplaceHostsFile();
    void CloseFiles();

    // The list holds the whole hosts file: the last load read it to its end without an error
    // (or a save wrote it). Until then no save may write.
    bool Loaded() const { return loaded; }
    // Another program changed or replaced the hosts file since it was loaded or saved.
    bool ChangedSinceLoad();

    // Lines of the file that the fill left out as hidden, as read, in file order. A save
    // writes them back after the list's lines, so hiding an entry never deletes it.
    const std::vector<std::string>& HiddenLines() const { return hiddenLines; }

    TextFile inputFile;
    TextFile outputFile;

private:
    // The lower-case names of the settings sections whose Hidden reads true.
    std::unordered_set<std::string> HiddenSections();
    // A read of the hosts file failed: nothing read may be used.
    void ReadFailed();
    // Makes sure the hosts file as it is now is kept at kOriginalHostsPath before a
    // normalisation: copied there when nothing is there, never written over when a copy is.
    // False when there is no copy: the file cannot be written, or something other than a
    // regular file is at that path.
    bool KeepOriginal();
    // Remembers which file the list stands for, with the fingerprint of its content.
    void RememberLoaded(uint64_t digest);

    FileSystem& files;
    MessageBoxes& messages;
    ControlSet& form;
    ListModel& list;
    CProfileFile& settings;
    CActivityLog& log;
    std::vector<std::string> hiddenLines;
    bool loaded = false;
    FileIdentity loadedIdentity;
    uint64_t loadedDigest = 0;
};

inline constexpr const char* kHostsUnreadable = "Unable to read the host file.";
inline constexpr const char* kHostsNormalisedEntry =
    "Host file normalised; the original is kept as hosts.before-quorvex\n";
inline constexpr const char* kOriginalNotKept =
    "Unable to keep the host file as it is in hosts.before-quorvex. The host file is not "
    "normalised and is left as it is.";
inline constexpr const char* kHostsNotDurable =
    "The host file was replaced, but the system could not confirm that the change is on the "
    "disk.";

}  // namespace qv
