#pragma once

#include <string>
#include <vector>

namespace qv {

// Control and dialog tables: every toolkit builds its windows from these, so a layout is
// written once. Positions and sizes are in dialog units.

enum class ControlKind {
    PushButton,
    CheckBox,
    Edit,
    Label,
    ListBox,
    Picture,  // a bitmap resource, unscaled
    Icon,     // an icon resource
    Frame,    // an etched rectangle around other controls
    Rule,     // a black horizontal rule
};

// Control style bits.
namespace cs {
inline constexpr unsigned kDefault = 1u << 0;            // default push button (Enter presses it)
inline constexpr unsigned kDisabled = 1u << 1;           // disabled when created
inline constexpr unsigned kHidden = 1u << 2;             // not visible when created
inline constexpr unsigned kTabStop = 1u << 3;            // takes the focus with Tab
inline constexpr unsigned kPassword = 1u << 4;           // edit shows a mask character
inline constexpr unsigned kMultiline = 1u << 5;          // edit of several lines
inline constexpr unsigned kWantReturn = 1u << 6;         // Enter inserts a line break
inline constexpr unsigned kAutoHScroll = 1u << 7;        // edit scrolls horizontally
inline constexpr unsigned kBorder = 1u << 8;             // thin border
inline constexpr unsigned kVScroll = 1u << 9;            // vertical scroll bar
inline constexpr unsigned kNotify = 1u << 10;            // list box reports double-clicks
inline constexpr unsigned kNoIntegralHeight = 1u << 11;  // list height not rounded to lines
inline constexpr unsigned kSunken = 1u << 12;            // sunken edge
inline constexpr unsigned kAutoCheck = 1u << 13;         // check box toggles itself when clicked
inline constexpr unsigned kOwnerDraw = 1u << 14;         // drawn by a custom control model
inline constexpr unsigned kNoSelect = 1u << 15;          // list items cannot be selected
inline constexpr unsigned kUseTabStops = 1u << 16;       // list expands tab characters
inline constexpr unsigned kWebLink = 1u << 17;           // label hosted by the web link model
}  // namespace cs

// Dialog style bits.
namespace ds {
inline constexpr unsigned kCaption = 1u << 0;     // caption bar
inline constexpr unsigned kSysMenu = 1u << 1;     // system menu with close box
inline constexpr unsigned kModalFrame = 1u << 2;  // modal dialog frame
inline constexpr unsigned kClientEdge = 1u << 3;  // sunken client edge
inline constexpr unsigned kChild = 1u << 4;       // child window without caption or border
}  // namespace ds

struct ControlTemplate {
    int id;  // -1 for controls without an id of their own
    ControlKind kind;
    std::string text;
    int x, y, cx, cy;
    unsigned style = 0;
    int resource = 0;  // bitmap or icon of a picture
};

struct DialogTemplate {
    int id;
    std::string caption;
    int cx, cy;
    unsigned style;
    std::string font;
    int pointSize;
    std::vector<ControlTemplate> controls;  // template order, which is the tab order
};

struct MenuItem {
    std::string text;  // empty: separator
    int command;
};

struct MenuPopup {
    std::string text;
    std::vector<MenuItem> items;
};

struct MenuTemplate {
    int id;
    std::vector<MenuPopup> popups;
};

// Modifier bits of a shortcut.
namespace km {
inline constexpr unsigned kCtrl = 1u << 0;
inline constexpr unsigned kShift = 1u << 1;
inline constexpr unsigned kAlt = 1u << 2;
}  // namespace km

struct Accelerator {
    unsigned virtualKey;  // Windows virtual-key code ('N', VK_F6 = 0x75, ...)
    unsigned modifiers;
    int command;
};

// The tables in res/.
const DialogTemplate* FindDialogTemplate(int id);
const MenuTemplate& MainMenu();
const std::vector<Accelerator>& MainAccelerators();

}  // namespace qv
