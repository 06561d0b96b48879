#pragma once

#include <string>

#include "framework/ControlSet.h"
#include "framework/ListModel.h"
#include "framework/Toolkit.h"
#include "hosts/CHostsFile.h"
#include "hosts/CommandHooks.h"
#include "protect/CActivityLog.h"
#include "settings/CProfileFile.h"
#include "settings/SettingsKeys.h"

namespace qv {

// What the user does with the restriction list: add, remove, save into the hosts file, and
// see or change an entry's description. Nothing reaches the hosts file until a save.
class CRestrictionCommands {
public:
    CRestrictionCommands(Toolkit& ui, ControlSet& form, ListModel& list, CProfileFile& settings,
                         CHostsFile& hosts, CActivityLog& log, CommandGate& gate,
                         LogViewState& logView)
        : ui(ui),
          form(form),
          list(list),
          settings(settings),
          hosts(hosts),
          log(log),
          gate(gate),
          logView(logView) {}

    void OnAddRestriction();
    void OnRemoveRestriction();
    void OnSaveAndRefresh();
    // Puts the written swap file in place; false (and nothing changed) when that failed.
    bool RefreshFiles();
    void OnRestrictionDblClk();

    bool pendingChange = false;

private:
    void MarkChanged();
    // Lines the fill left out as hidden, except those the list holds again.
    void WriteHiddenLines(TextFile& out);
    // Says so when a settings write failed.
    void StoreSetting(int written);

    Toolkit& ui;
    ControlSet& form;
    ListModel& list;
    CProfileFile& settings;
    CHostsFile& hosts;
    CActivityLog& log;
    CommandGate& gate;
    LogViewState& logView;
};

inline constexpr const char* kHostsChangedQuestion =
    "The host file was changed by another program since Quorvex read it. Replace it with the "
    "list shown?";

// Descriptions are one line in the settings file: each CR LF is stored as "~~".
std::string EncodeDescription(const std::string& text);
std::string DecodeDescription(const std::string& stored);
// The settings section the information flow uses for a URL field.
std::string InformationSectionName(const std::string& url);

}  // namespace qv
