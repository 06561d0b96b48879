#include "protect/CLogView.h"

#include "platform/NewFile.h"
#include "platform/TextFile.h"
#include "res/Resource.h"
#include "res/StringTable.h"

namespace qv {

void CLogView::OnViewLogFile() {
    if (restrictions.pendingChange) {
        int answer =
            ui.MessageBox(LoadString(kIdsPendingChange), "Info", kMbYesNo | kMbIconQuestion);
        if (answer == kIdYes) {
            restrictions.OnSaveAndRefresh();
            if (restrictions.pendingChange) {
                // Not saved: the list, its change and the Save button stay as they were.
                return;
            }
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
    // The log is read in its own open, held while it is shown; without it nothing changes.
    logWasOpen = log.logOpen;
    log.Close();
    if (!log.logFile.Open(files, log.logPath, {OpenMode::ReadExisting, true, false, false})) {
        if (logWasOpen) {
            log.OpenLogFile();
        }
        ui.MessageBox("Unable to open log file for viewing", "", kMbOk);
        return;
    }
    viewingLog = true;
    form.Enable(res::kAddButton, false);
    form.Enable(res::kRemoveButton, false);
    form.Enable(res::kSaveButton, true);
    form.SetText(res::kViewLogButton, "Close Log File");
    form.SetText(res::kSaveButton, "Save Decrypted Log File");
    hosts.CloseFiles();
    list.Clear();
    std::string line;
    list.BeginBatch();
    while (log.logFile.ReadLine(line)) {
        if (!line.empty()) {
            list.Append(line);
        }
    }
    list.EndBatch();
    if (log.logFile.ReadFailed()) {
        // Part of the log is no copy of it: back to the restrictions.
        ui.MessageBox("Unable to open log file for viewing", "", kMbOk);
        CloseLogView();
    }
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
    // A log this run could not use stays as it is. The log comes first, so a normalisation
    // of the reloaded hosts file is logged.
    if (logWasOpen) {
        log.OpenLogFile();
    }
    hosts.OpenFiles();
    hosts.LoadHostsFile();
}

void CLogView::SaveDecryptedLog() {
    // A new file of its own, readable by its owner only, put in place once complete: never
    // written through a link or into someone else's file of that name.
    bool written = WriteNewFile(files, kDecryptedLogPath, [this](File& out) {
        std::string piece;
        for (size_t i = 0; i < list.Count(); ++i) {
            AppendPlatformText(piece, list.Line(i));
            AppendPlatformText(piece, "\n");
            if (piece.size() >= (1 << 16) || i + 1 == list.Count()) {
                if (!out.Write(piece.data(), piece.size())) {
                    return false;
                }
                piece.clear();
            }
        }
        return true;
    });
    if (!written) {
        // A copy that could not be written completely is no copy: do not call it saved.
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
