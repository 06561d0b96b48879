#include "hosts/CHostsFile.h"

#include <cstring>
#include <memory>

#include "hosts/HostsLine.h"
#include "platform/NewFile.h"
#include "platform/Text.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace qv {
namespace {

const OpenOptions kReadHeld{OpenMode::ReadExisting, true, false, false};
// A new swap file every time, private until it becomes the hosts file: nobody else may hold
// it open or write into it meanwhile.
const OpenOptions kWriteHeld{OpenMode::CreateNew, true, true, true};

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

void CHostsFile::ReadFailed() {
    loaded = false;
    messages.MessageBox(kHostsUnreadable);
}

bool CHostsFile::FormatHostsFile() {
    std::string line;
    loaded = false;
    if (!inputFile.Rewind()) {
        ReadFailed();
        return false;
    }
    if (!inputFile.ReadLine(line)) {
        if (inputFile.ReadFailed()) {
            ReadFailed();
            return false;
        }
        return true;  // empty: taken as formatted
    }
    if (line.empty() || line.front() != '#') {
        return true;  // taken as formatted; not touched
    }
    outputFile.Close();
    messages.MessageBox("Host file not formatted.", "Info", kMbOk | kMbIconExclamation);
    // Nothing of the file as it was may be lost: without a kept copy it is not rewritten.
    if (!KeepOriginal()) {
        outputFile.Open(files, kSwapPath, kWriteHeld);
        if (inputFile.ReadFailed()) {
            ReadFailed();
        } else {
            messages.MessageBox(kOriginalNotKept, "Error", kMbOk | kMbIconStop);
        }
        return false;
    }
    if (!outputFile.Open(files, kSwapPath, kWriteHeld)) {
        messages.MessageBox("Unable to open swap file for formatting");
        return false;
    }
    if (!inputFile.Rewind()) {
        outputFile.Close();
        ReadFailed();
        return false;
    }
    while (inputFile.ReadLine(line)) {
        if (!IsCommentOrEmpty(line)) {
            outputFile.Write(FormatHostsLine(line));
            outputFile.Write("\n");
        }
    }
    if (inputFile.ReadFailed()) {
        // Half a file must never replace the whole one.
        outputFile.Close();
        ReadFailed();
        return false;
    }
    if (!ReplaceHostsFile()) {
        return false;
    }
    log.WriteLogLine(kHostsNormalisedEntry);
    return true;
}

bool CHostsFile::KeepOriginal() {
    FileIdentity existing;
    switch (files.Identify(kOriginalHostsPath, existing)) {
        case FileSystem::Lookup::Found:
            // Kept by an earlier normalisation: never written over. A link, folder or device
            // there is no copy, and is left alone (a link is never followed).
            return existing.regular;
        case FileSystem::Lookup::Failed:
            return false;
        case FileSystem::Lookup::Missing:
            break;
    }
    return WriteNewFile(files, kOriginalHostsPath,
                        [this](File& out) { return inputFile.CopyTo(out); });
}

std::unordered_set<std::string> CHostsFile::HiddenSections() {
    std::unordered_set<std::string> hidden;
    // One read of the list: a blocklist's settings can have a hundred thousand sections.
    auto names = settings.GetSectionNameList();
    // Reading by name finds the first section of that name, as a per-line read would.
    for (const char* name = names.get(); *name != '\0'; name += std::strlen(name) + 1) {
        if (settings.GetBool(name, settings::kHiddenKey, 0)) {
            hidden.insert(ToLowerAscii(name));
        }
    }
    return hidden;
}

void CHostsFile::FillRestrictionList() {
    loaded = false;
    if (!inputFile.IsOpen()) {
        return;
    }
    size_t first = list.Count();
    // One pass over the settings instead of one settings read per line: a blocklist can
    // have a million lines.
    std::unordered_set<std::string> hidden = HiddenSections();
    hiddenLines.clear();
    if (!inputFile.Rewind()) {
        ReadFailed();
        return;
    }
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
    if (inputFile.ReadFailed()) {
        // A list cut short would be saved as the whole file: show none.
        if (first == 0) {
            list.Clear();
        }
        while (list.Count() > first) {
            list.Delete(list.Count() - 1);
        }
        hiddenLines.clear();
        ReadFailed();
        return;
    }
    RememberLoaded(inputFile.Digest());
}

void CHostsFile::RememberLoaded(uint64_t digest) {
    loaded = true;
    loadedDigest = digest;
    if (files.Identify(kHostsPath, loadedIdentity) != FileSystem::Lookup::Found) {
        loadedIdentity = FileIdentity{};
    }
}

bool CHostsFile::ChangedSinceLoad() {
    FileIdentity now;
    if (files.Identify(kHostsPath, now) != FileSystem::Lookup::Found || !(now == loadedIdentity)) {
        return true;
    }
    // The same file, but it may have been rewritten in place.
    if (inputFile.IsOpen()) {
        if (!inputFile.Rewind() || !inputFile.Skim()) {
            return true;
        }
        return inputFile.Digest() != loadedDigest;
    }
    return false;
}

bool CHostsFile::ReplaceHostsFile() {
    // The swap file must be complete and on disk before it may take the hosts file's place;
    // the hosts file itself is never deleted first.
    bool written = outputFile.IsOpen() && outputFile.Sync();
    uint64_t digest = outputFile.Digest();
    inputFile.Close();
    written = outputFile.Close() && written;
    FileSystem::Replace result =
        written ? files.ReplaceAtomically(kSwapPath, kHostsPath) : FileSystem::Replace::Failed;
    if (result == FileSystem::Replace::Failed) {
        messages.MessageBox("Unable to replace host file. (ReplaceHostsFile())");
    } else if (result == FileSystem::Replace::NotDurable) {
        messages.MessageBox(kHostsNotDurable, "Info", kMbOk | kMbIconExclamation);
    }
    OpenFiles();
    if (result == FileSystem::Replace::Failed) {
        return false;
    }
    // The list and the new file are the same now, whatever the reopen found.
    RememberLoaded(digest);
    return true;
}

void CHostsFile::CloseFiles() {
    inputFile.Close();
    outputFile.Close();
}

}  // namespace qv
