#include "hosts/CRestrictionCommands.h"

#include <unordered_set>

#include "hosts/InformationDialog.h"
#include "hosts/NewRestrictionDialog.h"
#include "platform/Text.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace qv {
namespace {

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    size_t at = 0;
    for (size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, at)) {
        out.append(text, at, hit - at);
        out += to;
        at = hit + from.size();
    }
    out.append(text, at, std::string::npos);
    return out;
}

}  // namespace

std::string EncodeDescription(const std::string& text) {
    return ReplaceAll(text, "\r\n", "~~");
}

std::string DecodeDescription(const std::string& stored) {
    return ReplaceAll(stored, "~~", "\r\n");
}

std::string InformationSectionName(const std::string& url) {
    return (!url.empty() && url.front() == 'w') ? url : "www." + url;
}

void CRestrictionCommands::MarkChanged() {
    form.Enable(res::kSaveButton, true);
    pendingChange = true;
}

void CRestrictionCommands::OnAddRestriction() {
    NewRestrictionDialog dialog(ui);
    dialog.infoMode = false;
    if (dialog.DoModal() != kIdOk) {
        return;
    }
    const std::string& url = dialog.url;
    std::string line = ToLowerAscii(dialog.ipAddress + " " + url);
    for (size_t i = 0; i < list.Count(); ++i) {
        if (list.Line(i) == line) {
            ui.MessageBox(url + " already exists in the list.", "", kMbOk);
            return;
        }
    }
    list.Append(line);
    // The new line is shown: selected, and so scrolled into view by the list.
    list.Select(static_cast<int>(list.Count() - 1));
    if (!pendingChange) {
        MarkChanged();
        form.SetText(res::kStatus1, "Input File Has Changed");
    }
    if (!settings.SectionExists(url.c_str()) &&
        !settings.WriteString(url.c_str(), settings::kDescKey,
                              EncodeDescription(dialog.description).c_str())) {
        ui.MessageBox(kSettingsNotStored, "Error", kMbOk | kMbIconStop);
    }
    log.WriteLogLine("User added \"" + url + "\" to restrictions\n");
}

void CRestrictionCommands::OnRemoveRestriction() {
    if (!gate.Allow()) {
        return;
    }
    int selected = list.Selected();
    if (selected == ListModel::kNoSelection) {
        ui.MessageBox("You must select a line from the list.", "Info", kMbOk | kMbIconExclamation);
        return;
    }
    list.Delete(static_cast<size_t>(selected));
    if (!pendingChange) {
        MarkChanged();
    }
    log.WriteLogLine("User removed a restriction\n");
}

void CRestrictionCommands::OnSaveAndRefresh() {
    if (logView.ViewingLog()) {
        logView.SaveDecryptedLog();
        return;
    }
    if (!hosts.Loaded()) {
        // The list is not the whole hosts file: writing it would lose the rest.
        ui.MessageBox(kHostsUnreadable, "", kMbOk);
        return;
    }
    TextFile& out = hosts.outputFile;
    // A swap file that could not be made before may be made now; OpenFiles says why not.
    if (!out.IsOpen() && !hosts.OpenFiles()) {
        return;
    }
    if (hosts.ChangedSinceLoad() &&
        ui.MessageBox(kHostsChangedQuestion, "Info", kMbYesNo | kMbIconQuestion) != kIdYes) {
        return;
    }
    for (size_t i = 0; i < list.Count(); ++i) {
        out.Write(list.Line(i));
        out.Write("\n");
    }
    WriteHiddenLines(out);
    if (RefreshFiles()) {
        log.WriteLogLine("User refreshed files\n");
    }
}

void CRestrictionCommands::WriteHiddenLines(TextFile& out) {
    const std::vector<std::string>& hidden = hosts.HiddenLines();
    if (hidden.empty()) {
        return;
    }
    // A hidden line that was added again is in the list: it is written once, from there.
    std::unordered_set<std::string> lowered;
    for (const std::string& line : hidden) {
        lowered.insert(ToLowerAscii(line));
    }
    std::unordered_set<std::string> listed;
    for (size_t i = 0; i < list.Count(); ++i) {
        std::string line(list.Line(i));
        if (lowered.count(line) != 0) {
            listed.insert(std::move(line));
        }
    }
    for (const std::string& line : hidden) {
        if (listed.count(ToLowerAscii(line)) == 0) {
            out.Write(line);
            out.Write("\n");
        }
    }
}

bool CRestrictionCommands::RefreshFiles() {
    std::string status = form.Text(res::kStatus1);
    if (!hosts.ReplaceHostsFile()) {
        // The changes are still pending: the Save button stays, and so does the status line
        // that the reopening of the files set back.
        form.SetText(res::kStatus1, status);
        return false;
    }
    pendingChange = false;
    form.Enable(res::kSaveButton, false);
    // Saved, but the files could not be opened again: the status line says so.
    form.SetText(res::kStatus1,
                 hosts.inputFile.IsOpen() ? "Input File Is Open" : "Input File Is Closed");
    return true;
}

void CRestrictionCommands::OnRestrictionDblClk() {
    int selected = list.Selected();
    if (selected == ListModel::kNoSelection) {
        return;
    }
    std::string line(list.Line(static_cast<size_t>(selected)));
    size_t space = line.find(' ');
    std::string ip = space == std::string::npos ? std::string() : line.substr(0, space);
    std::string url = space == std::string::npos ? line : line.substr(space + 1);
    std::string section = InformationSectionName(url);

    NewRestrictionDialog entry(ui);
    if (!settings.SectionExists(section.c_str())) {
        if (ui.MessageBox("\"" + section + "\" has no information. Enter info now?", "Info",
                          kMbYesNo | kMbIconQuestion) != kIdYes) {
            return;
        }
        entry.infoMode = true;
        entry.ipAddress = ip;
        entry.url = url;
        entry.DoModal();
        // The dialog keeps the encoded text: a later "Change Description" shows it so.
        entry.description = EncodeDescription(entry.description);
        StoreSetting(
            settings.WriteString(section.c_str(), settings::kDescKey, entry.description.c_str()));
    }
    InformationDialog info(ui);
    info.ipAddress = ip;
    info.url = url;
    info.description = DecodeDescription(
        settings.GetString(section.c_str(), settings::kDescKey, settings::kMissingDesc));
    if (info.DoModal() == kIdOk) {
        if (info.keepHidden) {
            StoreSetting(settings.WriteBool(section.c_str(), settings::kHiddenKey, 1));
        }
        return;
    }
    entry.infoMode = true;
    entry.ipAddress = ip;
    entry.url = url;
    if (entry.DoModal() == kIdOk) {
        entry.description = EncodeDescription(entry.description);
        StoreSetting(
            settings.WriteString(section.c_str(), settings::kDescKey, entry.description.c_str()));
    }
}

void CRestrictionCommands::StoreSetting(int written) {
    if (!written) {
        ui.MessageBox(kSettingsNotStored, "Error", kMbOk | kMbIconStop);
    }
}

}  // namespace qv
