#include <gtest/gtest.h>

#include "framework/Dialog.h"
#include "framework/ListModel.h"
#include "framework/headless/HeadlessToolkit.h"
#include "hosts/NewRestrictionDialog.h"
#include "res/Resource.h"

namespace qv {
namespace {

using H = HeadlessToolkit;

class RecordingObserver : public ListObserver {
public:
    void ListReset() override { events.push_back("reset"); }
    void LinesAppended(size_t first, size_t count) override {
        events.push_back("append " + std::to_string(first) + "+" + std::to_string(count));
    }
    void LineDeleted(size_t index) override { events.push_back("delete " + std::to_string(index)); }
    void SelectionChanged(int index) override {
        events.push_back("select " + std::to_string(index));
    }
    std::vector<std::string> events;
};

TEST(ListModel, KeepsBytesOrderAndSelection) {
    ListModel list;
    RecordingObserver seen;
    list.SetObserver(&seen);
    list.Append("b\xff\xe9 line");
    list.Append("");
    list.Append(std::string(300000, 'x'));  // longer than a block's share
    list.Append("last");
    EXPECT_EQ(list.Count(), 4u);
    EXPECT_EQ(list.Line(0), "b\xff\xe9 line");
    EXPECT_EQ(list.Line(1), "");
    EXPECT_EQ(list.Line(2).size(), 300000u);
    EXPECT_EQ(list.Line(3), "last");
    list.Select(3);
    list.Delete(1);  // the selection moves with its line
    EXPECT_EQ(list.Selected(), 2);
    EXPECT_EQ(list.Line(2), "last");
    list.Delete(2);  // the selected line goes: no selection
    EXPECT_EQ(list.Selected(), ListModel::kNoSelection);
    list.Select(0);
    list.Append("after");
    list.Delete(2);  // a line after the selection: the selection stays where it was
    EXPECT_EQ(list.Selected(), 0);
    list.Select(7);
    EXPECT_EQ(list.Selected(), ListModel::kNoSelection);
    list.BeginBatch();
    for (int i = 0; i < 100000; ++i) {
        list.Append("0.0.0.0 host" + std::to_string(i) + ".example");
    }
    list.EndBatch();
    EXPECT_EQ(list.Line(100001), "0.0.0.0 host99999.example");
    // A delete that moves or clears the selection says so after the delete itself.
    EXPECT_EQ(seen.events, (std::vector<std::string>{
                               "append 0+1", "append 1+1", "append 2+1", "append 3+1", "select 3",
                               "delete 1", "select 2", "delete 2", "select -1", "select 0",
                               "append 2+1", "delete 2", "select -1", "append 2+100000"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
}

TEST(Dialog, KeysAndClicksFollowTheTemplate) {
    HeadlessToolkit ui;
    NewRestrictionDialog dialog(ui);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Check([](Dialog& d) {
                   // A disabled control ignores clicks and typing.
                   d.Type(res::kIpEdit, "typed");
                   EXPECT_EQ(d.Controls().Text(res::kIpEdit), "0.0.0.0");
                   // Enter in the multi-line description starts a new line.
                   d.Type(res::kDescriptionEdit, "one");
                   d.PressEnter();
                   EXPECT_TRUE(d.IsOpen());
                   EXPECT_EQ(d.Controls().Text(res::kDescriptionEdit), "one\r\n");
               }),
               H::Type(res::kUrlEdit, "u.example"), H::Enter()});  // Enter in the URL: OK
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.url, "u.example");
    EXPECT_EQ(dialog.description, "one\r\n");
    EXPECT_TRUE(ui.errors.empty());
}

TEST(Dialog, UnexpectedAndUnfinishedDialogsAreReported) {
    HeadlessToolkit ui;
    NewRestrictionDialog first(ui);
    EXPECT_EQ(first.DoModal(), kIdCancel);
    ui.Expect(res::kNewRestrictionDialog, {H::Type(res::kUrlEdit, "x")});
    NewRestrictionDialog second(ui);
    EXPECT_EQ(second.DoModal(), kIdCancel);
    EXPECT_EQ(ui.errors, (std::vector<std::string>{"unexpected dialog 131",
                                                   "dialog 131 left open by its script"}));
    ui.MessageBox("q?", "Info", kMbYesNo | kMbIconQuestion);
    EXPECT_EQ(ui.errors.back(), "unanswered question: q?");
}

// The entry dialog's check box, validation and focus.
class EntryDialog : public ::testing::Test {
protected:
    void TearDown() override {
        EXPECT_TRUE(ui.errors.empty()) << ::testing::PrintToString(ui.errors);
    }
    HeadlessToolkit ui;
    NewRestrictionDialog dialog{ui};
};

TEST_F(EntryDialog, OpensTickedWithTheDefaultAddressAndFocusOnTheUrl) {
    ui.Expect(res::kNewRestrictionDialog,
              {H::Check([](Dialog& d) {
                   ControlSet& c = d.Controls();
                   EXPECT_EQ(c.Checked(res::kUseDefaultIpCheck), 1);
                   EXPECT_EQ(c.Text(res::kIpEdit), "0.0.0.0");
                   EXPECT_FALSE(c.Enabled(res::kIpEdit));
                   EXPECT_TRUE(c.Enabled(res::kUrlEdit));
                   EXPECT_EQ(c.Focus(), res::kUrlEdit);
               }),
               H::Type(res::kUrlEdit, "example.com"), H::Click(res::kIdOk)});
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.ipAddress, "0.0.0.0");
    EXPECT_EQ(dialog.url, "example.com");
    EXPECT_EQ(dialog.useDefaultIp, 1);
}

TEST_F(EntryDialog, TheBoxTogglesTheAddressAndReplacesTypedText) {
    ui.Expect(res::kNewRestrictionDialog,
              {H::Type(res::kUrlEdit, "typed.example"), H::Type(res::kDescriptionEdit, "typed too"),
               H::Click(res::kUseDefaultIpCheck), H::Check([](Dialog& d) {
                   ControlSet& c = d.Controls();
                   EXPECT_EQ(c.Checked(res::kUseDefaultIpCheck), 0);
                   EXPECT_EQ(c.Text(res::kIpEdit), "");
                   EXPECT_TRUE(c.Enabled(res::kIpEdit));
                   EXPECT_EQ(c.Focus(), res::kIpEdit);
                   // Showing the fields put back what they held when the dialog opened.
                   EXPECT_EQ(c.Text(res::kUrlEdit), "");
                   EXPECT_EQ(c.Text(res::kDescriptionEdit), "");
               }),
               H::Click(res::kUseDefaultIpCheck), H::Check([](Dialog& d) {
                   ControlSet& c = d.Controls();
                   EXPECT_EQ(c.Checked(res::kUseDefaultIpCheck), 1);
                   EXPECT_EQ(c.Text(res::kIpEdit), "0.0.0.0");
                   EXPECT_FALSE(c.Enabled(res::kIpEdit));
                   EXPECT_EQ(c.Focus(), res::kUrlEdit);
               }),
               H::Escape()});
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
    EXPECT_EQ(dialog.url, "");
}

TEST_F(EntryDialog, OkNeedsBothFieldsAndFocusesTheEmptyOne) {
    const std::string refused =
        DescribeMessage("Both the IP Address and the URL must be entered.", "Info", kMbIconStop);
    ui.Expect(res::kNewRestrictionDialog,
              {H::Click(res::kUseDefaultIpCheck), H::Type(res::kUrlEdit, "u.example"),
               H::Click(res::kIdOk),
               H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Focus(), res::kIpEdit); }),
               H::Type(res::kIpEdit, "1.2.3.4"), H::Type(res::kUrlEdit, ""), H::Click(res::kIdOk),
               H::Check([](Dialog& d) { EXPECT_EQ(d.Controls().Focus(), res::kUrlEdit); }),
               H::Type(res::kUrlEdit, " spaced "), H::Click(res::kIdOk)});
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 131", refused, refused}));
    EXPECT_EQ(dialog.ipAddress, "1.2.3.4");
    // A new line's URL is checked and cut to its host name, blanks around it included.
    EXPECT_EQ(dialog.url, "spaced");
}

}  // namespace
}  // namespace qv
