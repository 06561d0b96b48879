#pragma once

#include "framework/ControlSet.h"
#include "framework/ListModel.h"
#include "framework/Toolkit.h"
#include "hosts/CHostsFile.h"
#include "hosts/CRestrictionCommands.h"
#include "hosts/CommandHooks.h"
#include "protect/CActivityLog.h"

namespace qv {

// Log view mode: the restriction list shows the log's lines instead, and a plain copy of
// them can be saved; outside the mode the log can be reset.
class CLogView {
public:
    CLogView(Toolkit& ui, FileSystem& files, ControlSet& form, ListModel& list, CActivityLog& log,
             CHostsFile& hosts, CRestrictionCommands& restrictions, CommandGate& gate)
        : ui(ui),
          files(files),
          form(form),
          list(list),
          log(log),
          hosts(hosts),
          restrictions(restrictions),
          gate(gate) {}

    void OnViewLogFile();
    void CloseLogView();
    void SaveDecryptedLog();
    void OnResetLogFile();

    bool viewingLog = false;

private:
    bool logWasOpen = false;  // the log was open for appending when the view began
    Toolkit& ui;
    FileSystem& files;
    ControlSet& form;
    ListModel& list;
    CActivityLog& log;
    CHostsFile& hosts;
    CRestrictionCommands& restrictions;
    CommandGate& gate;  // the password, once per run
};

inline constexpr const char* kDecryptedLogPath = "quorvexlog.txt";

}  // namespace qv
