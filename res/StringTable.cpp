#include "res/StringTable.h"

#include <map>

namespace qv {

const std::string& LoadString(unsigned id) {
    static const std::map<unsigned, std::string> table = {
        {kIdrMainFrame, "Quorvex\n\nQuorvex\n\n\nQuorvex.Document\nQuorvex Document"},
        {kIdsAppTitle, "Quorvex"},
        {kIdsPendingChange,
         "Host file has pending change. You must save or discard\nchanges before continuing. "
         "Save now?\nClicking 'No' will discard changes."},
        {kIdsLogPathPrefix, "C:\\Windows\\System32\\Quorvex"},
        {kIdsPasswordDisabled,
         "Certain functions will be disabled\nuntil you set up your password."},
    };
    static const std::string empty;
    auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

}  // namespace qv
