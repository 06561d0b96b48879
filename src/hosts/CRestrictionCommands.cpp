#include "hosts/CRestrictionCommands.h"

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
    if (!pendingChange) {
        MarkChanged();
        form.SetText(res::kStatus1, "Input File Has Changed");
    }
    if (!settings.SectionExists(url.c_str())) {
        settings.WriteString(url.c_str(), settings::kDescKey,
                             EncodeDescription(dialog.description).c_str());
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
    TextFile& out = hosts.outputFile;
    if (!out.IsOpen()) {
        // Nothing to write into: the hosts file stays as it is and so does everything else.
        ui.MessageBox("Unable to open output file.(OpenFiles())", "", kMbOk);
        return;
    }
    for (size_t i = 0; i < list.Count(); ++i) {
        out.Write(list.Line(i));
        out.Write("\n");
    }
    for (const std::string& hidden : hosts.HiddenLines()) {
        out.Write(hidden);
        out.Write("\n");
    }
    if (RefreshFiles()) {
        log.WriteLogLine("User refreshed files\n");
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
    form.SetText(res::kStatus1, "Input File Is Open");
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
        settings.WriteString(section.c_str(), settings::kDescKey, entry.description.c_str());
    }
    InformationDialog info(ui);
    info.ipAddress = ip;
    info.url = url;
    info.description = DecodeDescription(
        settings.GetString(section.c_str(), settings::kDescKey, settings::kMissingDesc));
    if (info.DoModal() == kIdOk) {
        if (info.keepHidden) {
            settings.WriteBool(section.c_str(), settings::kHiddenKey, 1);
        }
        return;
    }
    entry.infoMode = true;
    entry.ipAddress = ip;
    entry.url = url;
    if (entry.DoModal() == kIdOk) {
        entry.description = EncodeDescription(entry.description);
        settings.WriteString(section.c_str(), settings::kDescKey, entry.description.c_str());
    }
}

}  // namespace qv
