#include "hosts/CHostsFile.h"

#include <cstring>
#include <memory>

#include "hosts/HostsLine.h"
#include "platform/Text.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace qv {
namespace {

const OpenOptions kReadHeld{OpenMode::ReadExisting, true, false, false};
const OpenOptions kWriteHeld{OpenMode::WriteTruncate, true, false, false};

}  // namespace

bool CHostsFile::OpenFiles() {
    if (!inputFile.Open(files, kHostsPath, kReadHeld)) {
        messages.MessageBox("Unable to open input host file. (OpenFiles())");
        return false;
    }
    if (!outputFile.Open(files, kSwapPath, kWriteHeld)) {
        messages.MessageBox("Unable to open output file.(OpenFiles())");
        return false;
    }
    form.SetText(res::kStatus1, "Input File Is Open");
    form.SetText(res::kStatus2, "Output File Is Open");
    return true;
}

void CHostsFile::LoadHostsFile() {
    // Without the hosts file there is nothing to normalise or list.
    if (!inputFile.IsOpen()) {
        return;
    }
    if (FormatHostsFile()) {
        FillRestrictionList();
    }
}

bool CHostsFile::FormatHostsFile() {
    std::string line;
    inputFile.Rewind();
    if (!inputFile.ReadLine(line) || line.empty() || line.front() != '#') {
        return true;  // taken as formatted; not touched
    }
    outputFile.Close();
    messages.MessageBox("Host file not formatted.", "Info", kMbOk | kMbIconExclamation);
    if (!outputFile.Open(files, kSwapPath, kWriteHeld)) {
        messages.MessageBox("Unable to open swap file for formatting");
        return false;
    }
    inputFile.Rewind();
    while (inputFile.ReadLine(line)) {
        if (!IsCommentOrEmpty(line)) {
            outputFile.Write(FormatHostsLine(line));
            outputFile.Write("\n");
        }
    }
    ReplaceHostsFile();
    return true;
}

std::unordered_set<std::string> CHostsFile::HiddenSections() {
    std::unordered_set<std::string> hidden;
    unsigned n = settings.GetSectionNames(nullptr, 0);
    if (n == 0) {
        return hidden;
    }
    auto names = std::make_unique<char[]>(n + 1);
    std::memset(names.get(), 0, n + 1);
    settings.GetSectionNames(names.get(), n);
    // Reading by name finds the first section of that name, as a per-line read would.
    for (const char* name = names.get(); *name != '\0'; name += std::strlen(name) + 1) {
        if (settings.GetBool(name, settings::kHiddenKey, 0)) {
            hidden.insert(ToLowerAscii(name));
        }
    }
    return hidden;
}

void CHostsFile::FillRestrictionList() {
    if (!inputFile.IsOpen()) {
        return;
    }
    // One pass over the settings instead of one settings read per line: a blocklist can
    // have a million lines.
    std::unordered_set<std::string> hidden = HiddenSections();
    hiddenLines.clear();
    inputFile.Rewind();
    std::string line;
    std::string lower;
    std::string url;
    list.BeginBatch();
    while (inputFile.ReadLine(line)) {
        lower.assign(line);
        for (char& c : lower) {
            c = ToLowerAscii(c);
        }
        if (!hidden.empty()) {
            url.assign(UrlField(lower));
            if (hidden.count(url) != 0) {
                hiddenLines.push_back(line);
                continue;
            }
        }
        list.Append(lower);
    }
    list.EndBatch();
}

bool CHostsFile::ReplaceHostsFile() {
    // The swap file must be complete and on disk before it may take the hosts file's place;
    // the hosts file itself is never deleted first.
    bool written = outputFile.IsOpen() && outputFile.Sync();
    inputFile.Close();
    written = outputFile.Close() && written;
    bool replaced = written && files.ReplaceAtomically(kSwapPath, kHostsPath);
    if (!replaced) {
        messages.MessageBox("Unable to replace host file. (ReplaceHostsFile())");
    }
    OpenFiles();
    return replaced;
}

void CHostsFile::CloseFiles() {
    inputFile.Close();
    outputFile.Close();
}

}  // namespace qv
