// The main window's menu and keyboard shortcuts (both resource 128).

#include <vector>

#include "framework/Template.h"
#include "res/Resource.h"

namespace qv {

namespace {

// Windows virtual-key codes of the keys used below.
constexpr unsigned kVkBack = 0x08;
constexpr unsigned kVkInsert = 0x2D;
constexpr unsigned kVkDelete = 0x2E;
constexpr unsigned kVkF6 = 0x75;

const MenuItem kSeparator{"", 0};

}  // namespace

const MenuTemplate& MainMenu() {
    static const MenuTemplate menu = {res::kMainFrame,
                                      {
                                          {"&Menu",
                                           {
                                               {"&Reset Log File", res::kCmdResetLogFile},
                                               {"Reset &Password", res::kCmdResetPassword},
                                               {"&Options", res::kCmdOptions},
                                               kSeparator,
                                               {"&Born From", res::kCmdBornFrom},
                                               kSeparator,
                                               {"E&xit", res::kCmdAppExit},
                                           }},
                                          {"&Help",
                                           {
                                               {"&Information", res::kCmdInformation},
                                               {"&About Quorvex...", res::kCmdAppAbout},
                                           }},
                                      }};
    return menu;
}

const std::vector<Accelerator>& MainAccelerators() {
    static const std::vector<Accelerator> table = {
        {'N', km::kCtrl, res::kCmdFileNew},          {'O', km::kCtrl, res::kCmdFileOpen},
        {'S', km::kCtrl, res::kCmdFileSave},         {'Z', km::kCtrl, res::kCmdEditUndo},
        {kVkBack, km::kAlt, res::kCmdEditUndo},      {'X', km::kCtrl, res::kCmdEditCut},
        {kVkDelete, km::kShift, res::kCmdEditCut},   {'C', km::kCtrl, res::kCmdEditCopy},
        {kVkInsert, km::kCtrl, res::kCmdEditCopy},   {'V', km::kCtrl, res::kCmdEditPaste},
        {kVkInsert, km::kShift, res::kCmdEditPaste}, {kVkF6, 0, res::kCmdNextPane},
        {kVkF6, km::kShift, res::kCmdPrevPane},
    };
    return table;
}

}  // namespace qv
