#include "protect/CLogView.h"

#include "res/Resource.h"
#include "res/StringTable.h"

namespace qv {

void CLogView::OnViewLogFile() {
    if (restrictions.pendingChange) {
        int answer =
            ui.MessageBox(LoadString(kIdsPendingChange), "Info", kMbYesNo | kMbIconQuestion);
        if (answer == kIdYes) {
            restrictions.OnSaveAndRefresh();
        } else {
            restrictions.pendingChange = false;
        }
    }
    if (viewingLog) {
        CloseLogView();
        return;
    }
    if (!gate.Allow()) {
        return;
    }
    viewingLog = true;
    form.Enable(res::kAddButton, false);
    form.Enable(res::kRemoveButton, false);
    form.Enable(res::kSaveButton, true);
    form.SetText(res::kViewLogButton, "Close Log File");
    form.SetText(res::kSaveButton, "Save Decrypted Log File");
    hosts.CloseFiles();
    log.Close();
    if (!log.logFile.Open(files, log.logPath, {OpenMode::ReadExisting, true, false, false})) {
        ui.MessageBox("Unable to open log file for viewing", "", kMbOk);
        return;
    }
    list.Clear();
    std::string line;
    list.BeginBatch();
    while (log.logFile.ReadLine(line)) {
        if (!line.empty()) {
            list.Append(line);
        }
    }
    list.EndBatch();
}

void CLogView::CloseLogView() {
    log.Close();
    viewingLog = false;
    form.SetText(res::kViewLogButton, "&View Log File");
    form.SetText(res::kSaveButton, "&Save Changes And Refresh Files");
    form.Enable(res::kAddButton, true);
    form.Enable(res::kRemoveButton, true);
    if (!restrictions.pendingChange) {
        form.Enable(res::kSaveButton, false);
    }
    list.Clear();
    hosts.OpenFiles();
    hosts.LoadHostsFile();
    log.OpenLogFile();
}

void CLogView::SaveDecryptedLog() {
    // Never through a link someone placed at that name; readable by its owner only, since
    // the log holds what was typed at the password prompt.
    TextFile copy;
    if (!copy.Open(files, kDecryptedLogPath, {OpenMode::WriteTruncate, false, true, true})) {
        ui.MessageBox("Unable to open logfile to write", "", kMbOk);
        return;
    }
    for (size_t i = 0; i < list.Count(); ++i) {
        copy.Write(list.Line(i));
        copy.Write("\n");
    }
    if (!copy.Close()) {
        // A copy that could not be written completely is no copy: do not call it saved.
        files.Remove(kDecryptedLogPath);
        ui.MessageBox("Unable to open logfile to write", "", kMbOk);
        return;
    }
    ui.MessageBox("Decrypted log file saved as \"quorvexlog.txt\".", "", kMbOk);
}

void CLogView::OnResetLogFile() {
    if (viewingLog) {
        ui.MessageBox("Cannot reset log file while viewing it. Close it first.", "Quorvex",
                      kMbOk | kMbIconExclamation);
        return;
    }
    if (!gate.Allow()) {
        return;
    }
    if (ui.MessageBox("This will clear contents of log file. Continue?", "Quorvex",
                      kMbYesNo | kMbIconQuestion) != kIdYes) {
        return;
    }
    log.Close();
    files.Remove(log.logPath);
    log.OpenLogFile();
    ui.MessageBox("Log file has been cleared.", "", kMbOk);
}

}  // namespace qv
