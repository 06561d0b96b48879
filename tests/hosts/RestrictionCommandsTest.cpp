// Add, remove, save and the information flow, through the headless toolkit.
#include "support/AppFixture.h"

#include "res/Resource.h"
#include "settings/CProfileFile.h"
#include "support/FrontEndText.h"

namespace qv {
namespace {

using test::AppFixture;
using H = HeadlessToolkit;
using Lines = std::vector<std::string>;

class Restrictions : public AppFixture {
protected:
    void SetUp() override {
        WriteHosts("127.0.0.1 localhost\n0.0.0.0 ads.example\n");
        InstallSettings();
        Start();
        View().passwords.unlocked = true;  // the password gate has tests of its own
        Shown();
    }
    void Add(const std::string& url, const std::string& description = "") {
        ui.Expect(res::kNewRestrictionDialog,
                  {H::Type(res::kUrlEdit, url), H::Type(res::kDescriptionEdit, description),
                   H::Click(res::kIdOk)});
        View().Click(res::kAddButton);
    }
    std::string Setting(const char* section, const char* key, const char* fallback = "<none>") {
        CProfileFile profile(platform->Profile());
        profile.SetPath(kIni);
        return profile.GetString(section, key, fallback);
    }
    std::string LogText() {
        View().log.Close();  // the log is held while open; reopen afterwards
        std::string text = ReadSystem(kLog);
        View().log.OpenLogFile();
        return text;
    }
    void DoubleClick(size_t line) {
        View().DoubleClick(res::kRestrictionList, static_cast<int>(line));
    }
};

TEST_F(Restrictions, StartUpStates) {
    EXPECT_TRUE(Enabled(res::kAddButton));
    EXPECT_TRUE(Enabled(res::kRemoveButton));
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_TRUE(Enabled(res::kViewLogButton));
    EXPECT_EQ(Label(res::kSaveButton), "&Save Changes And Refresh Files");
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
    EXPECT_FALSE(View().restrictions.pendingChange);
}

TEST_F(Restrictions, AddAppendsInLowerCaseAndStoresTheDescriptionUnderTheUrlAsTyped) {
    Add("Tracker.Example", "first line\r\nsecond line");
    EXPECT_EQ(ListLines(),
              (Lines{"127.0.0.1 localhost", "0.0.0.0 ads.example", "0.0.0.0 tracker.example"}));
    EXPECT_TRUE(Enabled(res::kSaveButton));
    EXPECT_EQ(Label(res::kStatus1), "Input File Has Changed");
    EXPECT_TRUE(View().restrictions.pendingChange);
    EXPECT_EQ(Setting("Tracker.Example", "Desc"), "first line~~second line");
    EXPECT_NE(ReadSystem(kIni).find("[Tracker.Example]"), std::string::npos);
    EXPECT_EQ(Shown(), Lines{"dialog 131"});
    EXPECT_NE(LogText().find(Text("User added \"Tracker.Example\" to restrictions\n")),
              std::string::npos);
    // Nothing reaches the hosts file before a save.
    EXPECT_EQ(Hosts(), "127.0.0.1 localhost\n0.0.0.0 ads.example\n");
}

// The new line is shown: selected (the toolkits scroll the selection into view); a refused
// Add leaves the selection as it was.
TEST_F(Restrictions, AddSelectsTheNewLine) {
    View().restrictionList.Select(0);
    Add("new.example");
    EXPECT_EQ(View().restrictionList.Selected(), 2);
    Add("NEW.example");  // a duplicate
    EXPECT_EQ(View().restrictionList.Selected(), 2);
    ui.Expect(res::kNewRestrictionDialog, {H::Escape()});
    View().Click(res::kAddButton);
    EXPECT_EQ(View().restrictionList.Selected(), 2);
}

TEST_F(Restrictions, DuplicateAddIsRefusedInAnyCase) {
    Add("ADS.example");
    EXPECT_EQ(Shown(), (Lines{"dialog 131", Message("ADS.example already exists in the list.")}));
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_EQ(Setting("ADS.example", "Desc"), "<none>");
    EXPECT_EQ(LogText().find("User added"), std::string::npos);
    // Same URL, another IP address: a second line.
    ui.Expect(res::kNewRestrictionDialog,
              {H::Click(res::kUseDefaultIpCheck), H::Type(res::kIpEdit, "10.0.0.1"),
               H::Type(res::kUrlEdit, "ads.example"), H::Click(res::kIdOk)});
    View().Click(res::kAddButton);
    EXPECT_EQ(ListLines().back(), "10.0.0.1 ads.example");
}

TEST_F(Restrictions, AddRefusesWhatIsNotAHostNameAndKeepsTheDialogOnTheUrl) {
    const std::string refused =
        Message("The URL must be a host name, like www.example.com.", "Info", kMbOk | kMbIconStop);
    auto focusOn = [](int id) {
        return H::Check([id](Dialog& d) { EXPECT_EQ(d.Controls().Focus(), id); });
    };
    ui.Expect(
        res::kNewRestrictionDialog,
        {H::Click(res::kUseDefaultIpCheck), H::Type(res::kIpEdit, "10.0.0.1"),
         H::Type(res::kUrlEdit, "my site.example"), H::Click(res::kIdOk), focusOn(res::kUrlEdit),
         H::Type(res::kUrlEdit, "https://user@www.Example.com:8080/a?b#c"), H::Click(res::kIdOk)});
    View().Click(res::kAddButton);
    EXPECT_EQ(Shown(), (Lines{"dialog 131", refused}));
    EXPECT_EQ(ListLines().back(), "10.0.0.1 www.example.com");
    EXPECT_NE(LogText().find(Text("User added \"www.Example.com\" to restrictions\n")),
              std::string::npos);
}

TEST_F(Restrictions, AddRefusesAnInvalidAddressAndKeepsTheDialogOnTheAddress) {
    const std::string refused =
        Message("The IP Address is not valid.", "Info", kMbOk | kMbIconStop);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Click(res::kUseDefaultIpCheck), H::Type(res::kIpEdit, "999.1.1.1"),
               H::Type(res::kUrlEdit, "new.example"), H::Click(res::kIdOk),
               H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Focus(), res::kIpEdit); }),
               H::Type(res::kIpEdit, " ::1 "), H::Click(res::kIdOk)});
    View().Click(res::kAddButton);
    EXPECT_EQ(Shown(), (Lines{"dialog 131", refused}));
    EXPECT_EQ(ListLines().back(), "::1 new.example");
}

TEST_F(Restrictions, AddConvertsAnInternationalName) {
    Add(test::FrontEndText("http://Bücher.example/"));
    EXPECT_EQ(ListLines().back(), "0.0.0.0 xn--bcher-kva.example");
    EXPECT_EQ(Setting("xn--bcher-kva.example", "Desc"), "");
}

TEST_F(Restrictions, DuplicateCheckRunsOnTheCleanedLine) {
    Add("https://ADS.example./page");
    EXPECT_EQ(Shown(), (Lines{"dialog 131", Message("ADS.example already exists in the list.")}));
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_FALSE(Enabled(res::kSaveButton));
}

TEST_F(Restrictions, LinesAlreadyInTheHostsFileAreNotRewritten) {
    Stop();
    WriteHosts("0.0.0.0 https://old.example/page\n0.0.0.0 Two Names.example\n");
    Start();
    View().passwords.unlocked = true;
    // Describing a line that is already there takes it as it is.
    ui.Answer(kIdYes);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kDescriptionEdit, "odd"), H::Click(res::kIdOk)});
    ui.Expect(res::kInformationDialog, {H::Click(res::kIdOk)});
    DoubleClick(1);
    EXPECT_EQ(Setting("www.two names.example", "Desc"), "odd");
    Add("new.example");
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("0.0.0.0 https://old.example/page\n0.0.0.0 two names.example\n"
                            "0.0.0.0 new.example\n"));
}

TEST_F(Restrictions, AddKeepsAnExistingDescription) {
    InstallSettings("[old.example]\nDesc=kept\n");
    Add("old.example", "new text");
    EXPECT_EQ(Setting("old.example", "Desc"), "kept");
    // A URL named like the program's own section stores nothing either.
    Add("MAIN", "x");
    EXPECT_EQ(Setting("Main", "Desc"), "<none>");
}

TEST_F(Restrictions, CancelledAddChangesNothing) {
    ui.Expect(res::kNewRestrictionDialog, {H::Type(res::kUrlEdit, "x.example"), H::Escape()});
    View().Click(res::kAddButton);
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_EQ(Setting("x.example", "Desc"), "<none>");
}

TEST_F(Restrictions, RemoveNeedsASelection) {
    View().Click(res::kRemoveButton);
    EXPECT_EQ(Shown(), (Lines{Message("You must select a line from the list.", "Info", 0x30)}));
    EXPECT_EQ(ListLines().size(), 2u);
    EXPECT_FALSE(Enabled(res::kSaveButton));
}

TEST_F(Restrictions, RemoveDeletesTheLineAndLeavesTheLabel) {
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    EXPECT_EQ(ListLines(), Lines{"0.0.0.0 ads.example"});
    EXPECT_TRUE(Enabled(res::kSaveButton));
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
    EXPECT_NE(LogText().find(Text("User removed a restriction\n")), std::string::npos);
}

TEST_F(Restrictions, SaveWritesTheListAndResetsTheStates) {
    Add("New.Example");
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("0.0.0.0 ads.example\n0.0.0.0 new.example\n"));
    EXPECT_FALSE(Enabled(res::kSaveButton));
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
    EXPECT_FALSE(View().restrictions.pendingChange);
    EXPECT_EQ(ReadReleased(kSwapPath), "");
    EXPECT_NE(LogText().find(Text("User removed a restriction\nUser refreshed files\n")),
              std::string::npos);
    // The first Remove after a save enables Save again but leaves the label.
    View().restrictionList.Select(0);
    View().Click(res::kRemoveButton);
    EXPECT_TRUE(Enabled(res::kSaveButton));
    EXPECT_EQ(Label(res::kStatus1), "Input File Is Open");
}

TEST_F(Restrictions, AddedAndRemovedBeforeASaveLeavesTheFileButKeepsTheSection) {
    const std::string before = Hosts();
    Add("gone.example", "d");
    View().restrictionList.Select(2);
    View().Click(res::kRemoveButton);
    View().Click(res::kSaveButton);
    EXPECT_EQ(Hosts(), Text("127.0.0.1 localhost\n0.0.0.0 ads.example\n"));
    EXPECT_EQ(Setting("gone.example", "Desc"), "d");
}

TEST_F(Restrictions, InformationFlowForAUrlStartingWithW) {
    Add("Www.Site.Example", "line one\r\nline two");
    // "0.0.0.0 www.site.example": the section is found without regard to case.
    // The information dialog shows the description on two lines; OK closes it.
    ui.Expect(res::kInformationDialog,
              {H::Check([](Dialog& d) {
                   EXPECT_EQ(d.Controls().Text(res::kInfoIpLabel), "0.0.0.0");
                   EXPECT_EQ(d.Controls().Text(res::kInfoUrlLabel), "www.site.example");
                   EXPECT_EQ(d.Controls().Text(res::kInfoDescriptionLabel), "line one\r\nline two");
                   EXPECT_FALSE(d.Controls().Enabled(res::kKeepHiddenCheck));
               }),
               H::Click(res::kIdOk)});
    Shown();
    DoubleClick(2);
    EXPECT_EQ(Shown(), Lines{"dialog 146"});
    EXPECT_EQ(Setting("Www.Site.Example", "Hidden"), "<none>");
}

TEST_F(Restrictions, InformationFlowPutsWwwInFrontAndAsksFirst) {
    Add("site.example", "typed");
    Shown();
    ui.Answer(kIdNo);
    DoubleClick(2);
    EXPECT_EQ(
        Shown(),
        (Lines{Message("\"www.site.example\" has no information. Enter info now?", "Info", 0x24)}));
    EXPECT_EQ(Setting("www.site.example", "Desc"), "<none>");

    // Yes: the entry dialog in info mode, then the information dialog with what was typed.
    ui.Answer(kIdYes);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Check([](Dialog& d) {
                   EXPECT_EQ(d.Controls().Text(res::kIpEdit), "0.0.0.0");
                   EXPECT_EQ(d.Controls().Text(res::kUrlEdit), "site.example");
                   EXPECT_FALSE(d.Controls().Enabled(res::kIpEdit));
                   EXPECT_FALSE(d.Controls().Enabled(res::kUrlEdit));
                   EXPECT_FALSE(d.Controls().Enabled(res::kUseDefaultIpCheck));
                   EXPECT_EQ(d.Controls().Checked(res::kUseDefaultIpCheck), 1);
                   EXPECT_EQ(d.Controls().Focus(), res::kDescriptionEdit);
               }),
               H::Type(res::kDescriptionEdit, "a\r\nb"), H::Click(res::kIdOk)});
    // "Change Description" opens the entry dialog again, showing the encoded text.
    ui.Expect(res::kInformationDialog, {H::Check([](Dialog& d) {
                                            EXPECT_EQ(d.Controls().Text(res::kInfoDescriptionLabel),
                                                      "a\r\nb");
                                        }),
                                        H::Click(res::kIdCancel)});
    ui.Expect(
        res::kNewRestrictionDialog,
        {H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Text(res::kDescriptionEdit), "a~~b"); }),
         H::Type(res::kDescriptionEdit, "changed"), H::Click(res::kIdOk)});
    DoubleClick(2);
    EXPECT_EQ(Setting("www.site.example", "Desc"), "changed");
    EXPECT_EQ(Setting("site.example", "Desc"), "typed");
}

TEST_F(Restrictions, ChangeDescriptionStartsEmptyAndEscapeWorksLikeIt) {
    InstallSettings("[www.ads.example]\nDesc=stored\n[wnodesc.example]\nHidden=0\n");
    ui.Expect(res::kInformationDialog, {H::Escape()});
    ui.Expect(res::kNewRestrictionDialog,
              {H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Text(res::kDescriptionEdit), ""); }),
               H::Escape()});
    DoubleClick(1);
    EXPECT_EQ(Setting("www.ads.example", "Desc"), "stored");  // cancelled: nothing written

    // A section without Desc shows "Error".
    Add("wnodesc.example");
    ui.Expect(res::kInformationDialog, {H::Check([](Dialog& d) {
                                            EXPECT_EQ(d.Controls().Text(res::kInfoDescriptionLabel),
                                                      "Error");
                                        }),
                                        H::CloseBox()});
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kDescriptionEdit, "now"), H::Enter(), H::Click(res::kIdOk)});
    DoubleClick(2);
    EXPECT_EQ(Setting("wnodesc.example", "Desc"), "now~~");
}

TEST_F(Restrictions, EnteringInfoAndCancellingStoresAnEmptyDescription) {
    Stop();
    WriteHosts("nospace\n");
    Start();
    View().passwords.unlocked = true;
    Shown();
    ui.Answer(kIdYes);
    // The IP field is empty and disabled, so OK is refused and only Cancel ends it.
    ui.Expect(
        res::kNewRestrictionDialog,
        {H::Click(res::kIdOk), H::Type(res::kDescriptionEdit, "lost"), H::Click(res::kIdCancel)});
    ui.Expect(res::kInformationDialog, {H::Click(res::kIdOk)});
    DoubleClick(0);
    EXPECT_EQ(Setting("www.nospace", "Desc"), "");
    EXPECT_EQ(Shown(),
              (Lines{Message("\"www.nospace\" has no information. Enter info now?", "Info", 0x24),
                     "dialog 131",
                     Message("Both the IP Address and the URL must be entered.", "Info", 0x10),
                     "dialog 146"}));
}

TEST_F(Restrictions, DoubleClickWithoutSelectionDoesNothing) {
    View().Controls().List(res::kRestrictionList)->Select(-1);
    View().OnDoubleClick(res::kRestrictionList);
    EXPECT_TRUE(Shown().empty());
}

}  // namespace
}  // namespace qv
