#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/Template.h"
#include "res/Resource.h"

namespace qv {
namespace {

using K = ControlKind;

constexpr unsigned kModal = ds::kCaption | ds::kSysMenu | ds::kModalFrame;

const char* KindName(ControlKind kind) {
    switch (kind) {
        case K::PushButton:
            return "PushButton";
        case K::CheckBox:
            return "CheckBox";
        case K::Edit:
            return "Edit";
        case K::Label:
            return "Label";
        case K::ListBox:
            return "ListBox";
        case K::Picture:
            return "Picture";
        case K::Icon:
            return "Icon";
        case K::Frame:
            return "Frame";
        case K::Rule:
            return "Rule";
    }
    return "?";
}

std::string Where(const DialogTemplate& d, size_t index) {
    const ControlTemplate& c = d.controls[index];
    return "dialog " + std::to_string(d.id) + ", control #" + std::to_string(index) + " (id " +
           std::to_string(c.id) + ", " + KindName(c.kind) + ")";
}

// All dialog ids the program uses.
const std::vector<int> kAllDialogIds = {
    res::kAboutDialog,          res::kMainForm,       res::kPasswordDialog,
    res::kNewRestrictionDialog, res::kBornFromDialog, res::kSourceDialog,
    res::kNewPasswordDialog,    res::kOptionsDialog,  res::kDisclaimerDialog,
    res::kInformationDialog,
};

std::vector<const DialogTemplate*> AllDialogs() {
    std::vector<const DialogTemplate*> all;
    for (int id : kAllDialogIds) {
        const DialogTemplate* d = FindDialogTemplate(id);
        if (d != nullptr)
            all.push_back(d);
    }
    return all;
}

bool IsInputKind(ControlKind kind) {
    return kind == K::Edit || kind == K::PushButton || kind == K::CheckBox || kind == K::ListBox;
}

// ---------------------------------------------------------------------------------------------
// Each dialog's frame, and its control ids in template (= tab) order.

struct DialogCase {
    int id;
    std::string caption;
    int cx, cy;
    unsigned style;
    std::vector<int> controlIds;  // template order
};

const std::vector<DialogCase> kDialogCases = {
    {101, "", 358, 254, ds::kChild, {1001, 1002, 1003, 1006, 1012, 1013, 1014, 1015, -1, -1, 1016}},
    {131,
     "Enter New Restriction",
     245,
     214,
     kModal | ds::kClientEdge,
     {1008, 1009, 1027, 1, 2, -1, -1, 1017, -1}},
    {146, "Information", 268, 182, kModal, {1, -1, -1, 1029, 1030, -1, 1031, 2, 1033}},
    {130, "Password Required", 187, 76, kModal | ds::kClientEdge, {1007, 1018, 1019, -1}},
    {143, "Set New Password", 269, 126, kModal, {1022, 1023, 1, 1025, -1, -1, -1, -1, 2}},
    {144, "Options", 355, 223, kModal, {1, 2, 1026}},
    {145, "Quorvex", 318, 148, kModal, {-1, -1, -1, -1, -1, -1, -1, -1, 1}},
    {100, "About Quorvex", 304, 175, kModal, {-1, -1, -1, -1, -1, 1028, 1}},
    {132, "Born From", 449, 237, kModal | ds::kClientEdge, {-1, -1, 1, 1020}},
    {139, "16 Bit Source", 381, 253, kModal, {1021, 1}},
};

TEST(DialogTemplates, FrameAndControlOrderOfEachDialog) {
    ASSERT_EQ(kDialogCases.size(), kAllDialogIds.size());
    for (const DialogCase& tc : kDialogCases) {
        SCOPED_TRACE("dialog " + std::to_string(tc.id));
        const DialogTemplate* d = FindDialogTemplate(tc.id);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->id, tc.id);
        EXPECT_EQ(d->caption, tc.caption);
        EXPECT_EQ(d->cx, tc.cx);
        EXPECT_EQ(d->cy, tc.cy);
        EXPECT_EQ(d->style, tc.style);
        std::vector<int> ids;
        for (const ControlTemplate& c : d->controls) ids.push_back(c.id);
        EXPECT_EQ(ids, tc.controlIds);
    }
}

// ---------------------------------------------------------------------------------------------
// Key controls, checked field by field (the style exactly).

struct ControlCase {
    int dialog;
    size_t index;  // position in the template
    int id;
    ControlKind kind;
    std::string text;
    int x, y, cx, cy;
    unsigned style;
    int resource;
};

constexpr unsigned kShaded = cs::kOwnerDraw | cs::kTabStop;
constexpr unsigned kLineEdit = cs::kBorder | cs::kAutoHScroll | cs::kTabStop;
constexpr unsigned kMasked = kLineEdit | cs::kPassword;
constexpr unsigned kDefButton = cs::kDefault | cs::kTabStop;
constexpr unsigned kCheck = cs::kAutoCheck | cs::kTabStop;

const std::vector<ControlCase> kControlCases = {
    // Main form.
    {101, 0, 1001, K::PushButton, "&Add Restriction", 7, 29, 133, 14, kShaded, 0},
    {101, 2, 1003, K::PushButton, "&Save Changes And Refresh Files", 7, 75, 133, 14, kShaded, 0},
    {101, 3, 1006, K::ListBox, "", 150, 26, 201, 221,
     cs::kBorder | cs::kVScroll | cs::kNotify | cs::kNoIntegralHeight | cs::kTabStop, 0},
    {101, 4, 1012, K::Label, "www.example.org", 49, 234, 44, 8, cs::kWebLink, 0},
    {101, 6, 1014, K::Label, "Static", 7, 18, 137, 8, 0, 0},
    {101, 7, 1015, K::Picture, "", 7, 118, 133, 105, cs::kSunken, 136},
    {101, 8, -1, K::Label, "Current Restrictions", 192, 7, 62, 8, 0, 0},
    {101, 9, -1, K::Label, "IP" + std::string(18, ' ') + "URL", 163, 18, 58, 8, 0, 0},
    {101, 10, 1016, K::PushButton, "&View Log File", 7, 98, 133, 14, kShaded, 0},
    // Enter New Restriction.
    {131, 0, 1008, K::Edit, "", 71, 44, 103, 14, kLineEdit, 0},
    {131, 1, 1009, K::Edit, "", 63, 79, 120, 14, kLineEdit, 0},
    {131, 2, 1027, K::Edit, "", 7, 120, 231, 63,
     cs::kMultiline | cs::kWantReturn | cs::kAutoHScroll | cs::kBorder | cs::kTabStop, 0},
    {131, 3, 1, K::PushButton, "OK", 59, 193, 50, 14, kDefButton, 0},
    {131, 5, -1, K::Label, "Enter Redirect IP Address", 81, 32, 82, 8, 0, 0},
    {131, 7, 1017, K::CheckBox, "Use default IP (0.0.0.0) (Recommended)", 51, 18, 143, 10, kCheck,
     0},
    // Information.
    {146, 0, 1, K::PushButton, "OK", 147, 161, 74, 14, kDefButton, 0},
    {146, 4, 1030, K::Label, "Static", 29, 28, 232, 8, 0, 0},
    {146, 6, 1031, K::Label, "Static", 7, 61, 254, 68, cs::kSunken, 0},
    {146, 7, 2, K::PushButton, "Change Description", 45, 161, 74, 14, cs::kTabStop, 0},
    {146, 8, 1033, K::CheckBox, "Keep this entry hidden in list", 7, 142, 103, 10,
     kCheck | cs::kDisabled, 0},
    // Password Required.
    {130, 0, 1007, K::Edit, "", 37, 27, 112, 14, kMasked, 0},
    {130, 1, 1018, K::PushButton, "OK", 35, 54, 55, 15, kShaded | cs::kDefault, 0},
    {130, 2, 1019, K::PushButton, "Cancel", 96, 54, 55, 15, kShaded, 0},
    {130, 3, -1, K::Label, "Password Required", 61, 12, 62, 8, 0, 0},
    // Set New Password.
    {143, 1, 1023, K::Edit, "", 125, 83, 90, 14, kMasked, 0},
    {143, 3, 1025, K::Label, "It appears that this is the first time this program has been ran.",
     39, 7, 190, 8, 0, 0},
    {143, 4, -1, K::Label, "In order to keep the program secure, you are required to set", 41, 21,
     188, 8, 0, 0},
    {143, 8, 2, K::PushButton, "Cancel", 162, 105, 50, 14, cs::kTabStop, 0},
    // Options.
    {144, 2, 1026, K::CheckBox, "Require Password To Start Program", 7, 7, 129, 10, kCheck, 0},
    // Disclaimer.
    {145, 0, -1, K::Frame, "", 7, 7, 304, 112, 0, 0},
    {145, 2, -1, K::Label,
     "This program is still in its beta stage. While it is operational, it is not complete. ", 38,
     28, 242, 8, 0, 0},
    {145, 3, -1, K::Rule, "", 23, 47, 271, 1, 0, 0},
    {145, 5, -1, K::Label,
     "By using this program, you are agreeing not to hold neither the author of this program,", 25,
     75, 267, 8, 0, 0},
    {145, 7, -1, K::Label,
     "damages that may or may not have been caused by the use or misuse of this program.", 24, 97,
     270, 8, 0, 0},
    {145, 8, 1, K::PushButton, "OK", 133, 127, 50, 14, kDefButton, 0},
    // About.
    {100, 0, -1, K::Icon, "", 11, 17, 20, 20, 0, 128},
    {100, 1, -1, K::Label, "Quorvex Version 1.0", 40, 10, 119, 8, 0, 0},
    {100, 3, -1, K::Label, "If you dont care, drop me a line and tell me what you think. ", 58, 62,
     186, 8, 0, 0},
    {100, 5, 1028, K::Label, "quorvex@example.org", 122, 99, 60, 8, cs::kWebLink, 0},
    {100, 6, 1, K::PushButton, "OK", 126, 154, 50, 14, kDefButton, 0},
    // Born From.
    {132, 0, -1, K::Picture, "", 7, 7, 435, 204, 0, 133},
    {132, 3, 1020, K::PushButton, "View 16 bit Source Code", 269, 216, 94, 14, cs::kTabStop, 0},
    // Source viewer.
    {139, 0, 1021, K::ListBox, "", 7, 7, 367, 218,
     cs::kBorder | cs::kVScroll | cs::kTabStop | cs::kNoSelect | cs::kUseTabStops |
         cs::kNoIntegralHeight,
     0},
    {139, 1, 1, K::PushButton, "OK", 165, 232, 50, 14, kDefButton, 0},
};

TEST(DialogTemplates, KeyControls) {
    for (const ControlCase& tc : kControlCases) {
        SCOPED_TRACE("dialog " + std::to_string(tc.dialog) + ", control #" +
                     std::to_string(tc.index));
        const DialogTemplate* d = FindDialogTemplate(tc.dialog);
        ASSERT_NE(d, nullptr);
        ASSERT_LT(tc.index, d->controls.size());
        const ControlTemplate& c = d->controls[tc.index];
        EXPECT_EQ(c.id, tc.id);
        EXPECT_STREQ(KindName(c.kind), KindName(tc.kind));
        EXPECT_EQ(c.text, tc.text);
        EXPECT_EQ(c.x, tc.x);
        EXPECT_EQ(c.y, tc.y);
        EXPECT_EQ(c.cx, tc.cx);
        EXPECT_EQ(c.cy, tc.cy);
        EXPECT_EQ(c.style, tc.style);
        EXPECT_EQ(c.resource, tc.resource);
    }
}

TEST(DialogTemplates, UnknownIdsHaveNoTemplate) {
    for (int id : {0, -1, 1, 99, 102, 128, 129, 133, 136, 138, 140, 147, 148, 1001, 32771}) {
        EXPECT_EQ(FindDialogTemplate(id), nullptr) << "id " << id;
    }
}

// ---------------------------------------------------------------------------------------------
// Invariants over all templates.

TEST(DialogTemplates, EveryTemplateUsesTheSameFont) {
    ASSERT_EQ(AllDialogs().size(), kAllDialogIds.size());
    for (const DialogTemplate* d : AllDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(d->id));
        EXPECT_EQ(d->font, "MS Sans Serif");
        EXPECT_EQ(d->pointSize, 8);
    }
}

TEST(DialogTemplates, ModalDialogsHaveCaptionSystemMenuAndModalFrame) {
    for (const DialogTemplate* d : AllDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(d->id));
        if (d->id == res::kMainForm) {
            EXPECT_EQ(d->style, ds::kChild);
            continue;
        }
        EXPECT_EQ(d->style & kModal, kModal);
        EXPECT_EQ(d->style & ds::kChild, 0u);
        EXPECT_FALSE(d->caption.empty());
    }
}

TEST(DialogTemplates, ControlIdsAreUniqueWithinADialog) {
    for (const DialogTemplate* d : AllDialogs()) {
        std::set<int> seen;
        for (size_t i = 0; i < d->controls.size(); ++i) {
            int id = d->controls[i].id;
            EXPECT_TRUE(id == -1 || id > 0) << Where(*d, i);
            if (id == -1)
                continue;
            EXPECT_TRUE(seen.insert(id).second) << Where(*d, i) << ": id used twice";
        }
    }
}

TEST(DialogTemplates, ControlsLieInsideTheirDialog) {
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            EXPECT_GE(c.x, 0) << Where(*d, i);
            EXPECT_GE(c.y, 0) << Where(*d, i);
            EXPECT_GT(c.cx, 0) << Where(*d, i);
            EXPECT_GT(c.cy, 0) << Where(*d, i);
            EXPECT_LE(c.x + c.cx, d->cx) << Where(*d, i);
            EXPECT_LE(c.y + c.cy, d->cy) << Where(*d, i);
        }
    }
}

TEST(DialogTemplates, ExactlyOneDefaultButtonInEveryModalDialog) {
    for (const DialogTemplate* d : AllDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(d->id));
        int buttons = 0;
        int defaults = 0;
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            if (c.kind == K::PushButton)
                ++buttons;
            if (c.style & cs::kDefault) {
                ++defaults;
                EXPECT_EQ(c.kind, K::PushButton) << Where(*d, i);
            }
        }
        EXPECT_GT(buttons, 0);
        // The main form is a child window: Enter presses none of its buttons.
        EXPECT_EQ(defaults, d->id == res::kMainForm ? 0 : 1);
    }
}

TEST(DialogTemplates, ExactlyTheInputControlsAreTabStops) {
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            EXPECT_EQ((c.style & cs::kTabStop) != 0, IsInputKind(c.kind)) << Where(*d, i);
        }
    }
}

// Style bits that only make sense on one kind of control.
TEST(DialogTemplates, KindSpecificStylesStayOnTheirKind) {
    struct Rule {
        unsigned bit;
        std::vector<ControlKind> allowed;
    };
    const std::vector<Rule> rules = {
        {cs::kPassword, {K::Edit}},
        {cs::kMultiline, {K::Edit}},
        {cs::kWantReturn, {K::Edit}},
        {cs::kAutoHScroll, {K::Edit}},
        {cs::kAutoCheck, {K::CheckBox}},
        {cs::kOwnerDraw, {K::PushButton}},
        {cs::kDefault, {K::PushButton}},
        {cs::kNotify, {K::ListBox}},
        {cs::kNoSelect, {K::ListBox}},
        {cs::kUseTabStops, {K::ListBox}},
        {cs::kNoIntegralHeight, {K::ListBox}},
        {cs::kVScroll, {K::ListBox, K::Edit}},
        {cs::kWebLink, {K::Label}},
        {cs::kSunken, {K::Label, K::Picture}},
    };
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            for (const Rule& r : rules) {
                if ((c.style & r.bit) == 0)
                    continue;
                bool ok = false;
                for (ControlKind k : r.allowed) ok = ok || k == c.kind;
                EXPECT_TRUE(ok) << Where(*d, i) << " carries style bit 0x" << std::hex << r.bit;
            }
        }
    }
}

TEST(DialogTemplates, EveryCheckBoxTogglesItselfAndEveryEditHasABorder) {
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            if (c.kind == K::CheckBox) {
                EXPECT_TRUE(c.style & cs::kAutoCheck) << Where(*d, i);
            }
            if (c.kind == K::Edit) {
                EXPECT_TRUE(c.style & cs::kBorder) << Where(*d, i);
                EXPECT_TRUE(c.style & cs::kAutoHScroll) << Where(*d, i);
                EXPECT_TRUE(c.text.empty()) << Where(*d, i);
            }
        }
    }
}

TEST(DialogTemplates, OnlyPicturesAndIconsNameAResource) {
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            bool graphic = c.kind == K::Picture || c.kind == K::Icon;
            EXPECT_EQ(c.resource != 0, graphic) << Where(*d, i);
            if (graphic || c.kind == K::Frame || c.kind == K::Rule || c.kind == K::ListBox) {
                EXPECT_TRUE(c.text.empty()) << Where(*d, i);
            }
        }
    }
}

// Buttons, check boxes and labels show a text; only the figures and lists go without.
TEST(DialogTemplates, ButtonsCheckBoxesAndLabelsHaveText) {
    for (const DialogTemplate* d : AllDialogs()) {
        for (size_t i = 0; i < d->controls.size(); ++i) {
            const ControlTemplate& c = d->controls[i];
            if (c.kind == K::PushButton || c.kind == K::CheckBox || c.kind == K::Label) {
                EXPECT_FALSE(c.text.empty()) << Where(*d, i);
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Menu.

TEST(MainMenu, PopupsItemsAndCommandsInOrder) {
    const MenuTemplate& menu = MainMenu();
    EXPECT_EQ(menu.id, 128);

    struct Row {
        std::string popup;
        std::string text;
        int command;
    };
    const std::vector<Row> expected = {
        {"&Menu", "&Reset Log File", 32772},
        {"&Menu", "Reset &Password", 32773},
        {"&Menu", "&Options", 32774},
        {"&Menu", "", 0},
        {"&Menu", "&Born From", 32771},
        {"&Menu", "", 0},
        {"&Menu", "E&xit", 57665},
        {"&Help", "&Information", 32775},
        {"&Help", "&About Quorvex...", 57664},
    };
    std::vector<Row> actual;
    std::vector<std::string> popups;
    for (const MenuPopup& p : menu.popups) {
        popups.push_back(p.text);
        for (const MenuItem& item : p.items) actual.push_back({p.text, item.text, item.command});
    }
    EXPECT_EQ(popups, (std::vector<std::string>{"&Menu", "&Help"}));
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("item #" + std::to_string(i));
        EXPECT_EQ(actual[i].popup, expected[i].popup);
        EXPECT_EQ(actual[i].text, expected[i].text);
        EXPECT_EQ(actual[i].command, expected[i].command);
    }
}

// ---------------------------------------------------------------------------------------------
// Shortcut table.

TEST(MainAccelerators, EveryShortcutReachesItsCommand) {
    struct Row {
        unsigned key;
        unsigned modifiers;
        int command;
        const char* name;
    };
    const std::vector<Row> expected = {
        {'N', km::kCtrl, 57600, "Ctrl+N"},         {'O', km::kCtrl, 57601, "Ctrl+O"},
        {'S', km::kCtrl, 57603, "Ctrl+S"},         {'Z', km::kCtrl, 57643, "Ctrl+Z"},
        {0x08, km::kAlt, 57643, "Alt+Backspace"},  {'X', km::kCtrl, 57635, "Ctrl+X"},
        {0x2E, km::kShift, 57635, "Shift+Delete"}, {'C', km::kCtrl, 57634, "Ctrl+C"},
        {0x2D, km::kCtrl, 57634, "Ctrl+Insert"},   {'V', km::kCtrl, 57637, "Ctrl+V"},
        {0x2D, km::kShift, 57637, "Shift+Insert"}, {0x75, 0, 57680, "F6"},
        {0x75, km::kShift, 57681, "Shift+F6"},
    };
    const std::vector<Accelerator>& table = MainAccelerators();
    ASSERT_EQ(table.size(), expected.size());
    for (const Row& row : expected) {
        SCOPED_TRACE(row.name);
        int matches = 0;
        for (const Accelerator& a : table) {
            if (a.virtualKey == row.key && a.modifiers == row.modifiers) {
                ++matches;
                EXPECT_EQ(a.command, row.command);
            }
        }
        EXPECT_EQ(matches, 1);
    }
}

}  // namespace
}  // namespace qv
