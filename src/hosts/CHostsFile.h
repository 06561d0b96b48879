#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "framework/ControlSet.h"
#include "framework/ListModel.h"
#include "framework/MessageBoxes.h"
#include "platform/TextFile.h"
#include "settings/CProfileFile.h"

namespace qv {

inline constexpr const char* kHostsPath = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts";
inline constexpr const char* kSwapPath = "C:\\WINDOWS\\system32\\drivers\\etc\\hosts.swp";

// The machine's hosts file and the swap file every new version is written through. While the
// program runs both are held open without sharing: the hosts file for reading, the swap file
// (empty) for writing.
class CHostsFile {
public:
    CHostsFile(FileSystem& files, MessageBoxes& messages, ControlSet& form, ListModel& list,
               CProfileFile& settings)
        : files(files), messages(messages), form(form), list(list), settings(settings) {}

    bool OpenFiles();
    // Normalises, then fills the list, leaving out hidden entries.
    void LoadHostsFile();
    // Rewrites the hosts file in normal form when its first line is a comment; false when
    // the load must stop.
    bool FormatHostsFile();
    void FillRestrictionList();
    // Puts the written swap file in place of the hosts file and reopens both. False, with
    // the hosts file untouched, when the swap file could not be written or replaced.
    bool ReplaceHostsFile();
    void CloseFiles();

    // Lines of the file that the fill left out as hidden, as read, in file order. A save
    // writes them back after the list's lines, so hiding an entry never deletes it.
    const std::vector<std::string>& HiddenLines() const { return hiddenLines; }

    TextFile inputFile;
    TextFile outputFile;

private:
    // The lower-case names of the settings sections whose Hidden reads true.
    std::unordered_set<std::string> HiddenSections();

    FileSystem& files;
    MessageBoxes& messages;
    ControlSet& form;
    ListModel& list;
    CProfileFile& settings;
    std::vector<std::string> hiddenLines;
};

}  // namespace qv
