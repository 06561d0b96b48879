#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/Resources.h"
#include "framework/headless/HeadlessToolkit.h"
#include "platform/Platform.h"
#include "res/Resource.h"
#include "support/TempRoot.h"
#include "ui/AboutDialog.h"
#include "ui/BornFromDialog.h"
#include "ui/DisclaimerDialog.h"
#include "ui/SourceDialog.h"

namespace qv {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using UI = HeadlessToolkit;

// No test opens a browser.
struct UnusedShell : Shell {
    intptr_t Open(const std::string&, int) override { return 2; }
    long ReadBrowserCommand(std::string&) override { return 2; }
    intptr_t RunBrowser(const std::string&, const std::string&, int) override { return 2; }
};

const std::string kMustPass = "message: Must pass resource to load (SourceDialog) |  | 0";
const std::string kUnableToOpen = "message: Unable to open file (SourceDialog) |  | 0";

// The lines a text should show, split here independently of the file layer: at CR LF, a
// final CR LF adding no line.
std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(text.substr(from));
            break;
        }
        lines.push_back(text.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

std::vector<std::string> ResourceLines(int id) {
    return LinesOf(*FindResource(rt::kText, id));
}

std::vector<std::string> Items(Dialog& dialog) {
    std::vector<std::string> items;
    ListModel* list = dialog.Controls().List(res::kSourceList);
    for (size_t i = 0; list != nullptr && i < list->Count(); ++i) {
        items.emplace_back(list->Line(i));
    }
    return items;
}

// Runs in a fresh current directory, where the viewer's "temp.hst" lands, and goes back to
// the one it came from afterwards.
class InfoDialogs : public ::testing::Test {
protected:
    InfoDialogs()
        : previous(std::filesystem::current_path()),
          platform(CreatePlatform(PathMap::ForRoot(root.String()))) {
        std::filesystem::current_path(root.Path());
    }
    ~InfoDialogs() override { std::filesystem::current_path(previous); }
    void TearDown() override { EXPECT_EQ(ui.errors, std::vector<std::string>{}); }

    FileSystem& files() { return platform->Files(); }
    std::filesystem::path TempFile() const { return root / "temp.hst"; }

    // Opens the viewer, reads it while it is open, and closes it with OK.
    std::vector<std::string> View(int selector) {
        std::vector<std::string> shown;
        ui.Expect(res::kSourceDialog,
                  {UI::Check([&](Dialog& d) { shown = Items(d); }), UI::Click(res::kIdOk)});
        SourceDialog viewer(ui);
        viewer.viewerSelector = selector;
        EXPECT_EQ(viewer.DoModal(), kIdOk);
        return shown;
    }

    test::TempRoot root;
    std::filesystem::path previous;
    std::unique_ptr<Platform> platform;
    HeadlessToolkit ui;
};

struct ViewerCase {
    const char* name;
    int selector;
    int resource;
    size_t items;
};

void PrintTo(const ViewerCase& c, std::ostream* os) {
    *os << c.name;
}

class InfoDialogsViewer : public InfoDialogs, public ::testing::WithParamInterface<ViewerCase> {};

TEST_P(InfoDialogsViewer, ShowsEveryLineOfItsTextAndLeavesNoTemporaryFile) {
    const ViewerCase& c = GetParam();
    bool tempWhileOpen = true;
    int focus = 0;
    std::vector<std::string> shown;
    ui.Expect(res::kSourceDialog, {UI::Check([&](Dialog& d) {
                                       shown = Items(d);
                                       focus = d.Controls().Focus();
                                       tempWhileOpen = std::filesystem::exists(TempFile());
                                   }),
                                   UI::Click(res::kIdOk)});
    SourceDialog viewer(ui);
    viewer.viewerSelector = c.selector;

    EXPECT_EQ(viewer.DoModal(), kIdOk);

    EXPECT_EQ(shown.size(), c.items);
    EXPECT_EQ(shown, ResourceLines(c.resource));
    // Blank lines are items of their own, nothing is merged or dropped.
    EXPECT_GT(std::count(shown.begin(), shown.end(), ""), 0);
    EXPECT_FALSE(tempWhileOpen);
    EXPECT_FALSE(std::filesystem::exists(TempFile()));
    EXPECT_EQ(focus, res::kSourceList);  // the platform's default focus: the first tab stop
    EXPECT_EQ(ui.transcript, std::vector<std::string>{"dialog 139"});
}

INSTANTIATE_TEST_SUITE_P(, InfoDialogsViewer,
                         ::testing::Values(ViewerCase{"Source", 1, res::kSourceText, 429},
                                           ViewerCase{"Help", 2, res::kHelpText, 59}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(InfoDialogs, ViewerLeavesAFileCalledTempHstAlone) {
    const std::string mine = "someone else's file\r\nwith two lines\r\n";
    WriteBytes(TempFile(), mine);

    EXPECT_EQ(View(2), ResourceLines(res::kHelpText));
    EXPECT_EQ(ReadBytes(TempFile()), mine);
}

TEST_F(InfoDialogs, ViewerShowsTheSameLinesWhenOpenedAgain) {
    std::vector<std::string> first = View(1);
    std::vector<std::string> second = View(1);

    EXPECT_EQ(first.size(), 429u);
    EXPECT_EQ(second, first);
    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 139", "dialog 139"}));
}

class InfoDialogsBadSelector : public InfoDialogs, public ::testing::WithParamInterface<int> {};

TEST_P(InfoDialogsBadSelector, SaysSoAndStaysOpenEmptyWithoutFocus) {
    bool openAfterMessage = false;
    int focus = -1;
    size_t items = 1;
    ui.Expect(res::kSourceDialog, {UI::Check([&](Dialog& d) {
                                       openAfterMessage = d.IsOpen();
                                       focus = d.Controls().Focus();
                                       items = d.Controls().List(res::kSourceList)->Count();
                                   }),
                                   UI::Click(res::kIdOk)});
    SourceDialog viewer(ui);
    viewer.viewerSelector = GetParam();

    EXPECT_EQ(viewer.DoModal(), kIdOk);

    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 139", kMustPass}));
    EXPECT_TRUE(openAfterMessage);
    EXPECT_EQ(items, 0u);
    EXPECT_EQ(focus, 0);  // the dialog said it set the focus, so nobody did
    EXPECT_FALSE(std::filesystem::exists(TempFile()));
}

INSTANTIATE_TEST_SUITE_P(, InfoDialogsBadSelector, ::testing::Values(0, 3, -1, 138));

TEST_F(InfoDialogs, MissingTextSaysSoAndShowsNothing) {
    size_t items = 1;
    ui.Expect(res::kSourceDialog,
              {UI::Check([&](Dialog& d) { items = d.Controls().List(res::kSourceList)->Count(); }),
               UI::Click(res::kIdOk)});
    SourceDialog viewer(ui);
    viewer.viewerSelector = 2;
    viewer.findText = [](int) -> const std::string* { return nullptr; };

    EXPECT_EQ(viewer.DoModal(), kIdOk);

    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 139", kUnableToOpen}));
    EXPECT_EQ(items, 0u);
    EXPECT_FALSE(std::filesystem::exists(TempFile()));
}

TEST(SplitTextLines, SplitsAsTheViewerLists) {
    struct Case {
        const char* text;
        std::vector<std::string_view> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\t\r\n\r\n", {"\t", ""}},
        {"a\nb\r\n", {"a", "b"}},
        {"a\rb\r\n", {"a\rb"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitTextLines(c.text), c.lines) << c.text;
    }
}

TEST_F(InfoDialogs, BornFromOpensTheSourceViewerOnTopOfItself) {
    BornFromDialog bornFrom(ui);
    bool bornFromOpenUnderneath = false;
    std::vector<std::string> shown;
    ui.Expect(res::kBornFromDialog, {UI::Click(res::kViewSourceButton), UI::Click(res::kIdOk)});
    ui.Expect(res::kSourceDialog, {UI::Check([&](Dialog& d) {
                                       shown = Items(d);
                                       bornFromOpenUnderneath = bornFrom.IsOpen();
                                   }),
                                   UI::Click(res::kIdOk)});

    EXPECT_EQ(bornFrom.DoModal(), kIdOk);

    EXPECT_TRUE(bornFromOpenUnderneath);
    EXPECT_EQ(shown, ResourceLines(res::kSourceText));
    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 132", "dialog 139"}));
    EXPECT_FALSE(std::filesystem::exists(TempFile()));
}

TEST_F(InfoDialogs, AboutMailTargetIsTheAddressItShows) {
    UnusedShell shell;
    AboutDialog about(ui, shell);
    std::string shownAddress;
    int focus = 0;
    ui.Expect(res::kAboutDialog, {UI::Check([&](Dialog& d) {
                                      shownAddress = d.Controls().Text(res::kMailLink);
                                      focus = d.Controls().Focus();
                                  }),
                                  UI::Click(res::kIdOk)});

    EXPECT_EQ(about.DoModal(), kIdOk);

    EXPECT_EQ(shownAddress, "quorvex@example.org");
    EXPECT_EQ(about.mailTarget, "mailto:quorvex@example.org");
    EXPECT_EQ(about.mailLink.Target(), "mailto:quorvex@example.org");
    EXPECT_EQ(focus, res::kIdOk);  // focus left to the platform: the first tab stop
}

// Each dialog opens its own template and its OK button closes it.
TEST_F(InfoDialogs, EachDialogRunsItsOwnTemplate) {
    DisclaimerDialog disclaimer(ui);
    UnusedShell shell;
    AboutDialog about(ui, shell);
    BornFromDialog bornFrom(ui);
    for (Dialog* d : std::vector<Dialog*>{&disclaimer, &about, &bornFrom}) {
        ui.Expect(d->TemplateId(), {UI::Enter()});
        EXPECT_EQ(d->DoModal(), kIdOk) << d->TemplateId();
    }
    EXPECT_EQ(ui.transcript, (std::vector<std::string>{"dialog 145", "dialog 100", "dialog 132"}));
}

}  // namespace
}  // namespace qv
