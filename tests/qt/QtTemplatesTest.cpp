// Every dialog template, the main form and the menu, as the Qt toolkit renders them: the
// widget of each control with its kind, text, state and place in dialog units.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "QtProgram.h"
#include "access/NewPasswordDialog.h"
#include "access/OptionsDialog.h"
#include "access/PasswordDialog.h"
#include "framework/Resources.h"
#include "framework/qt/ControlWidgets.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "framework/qt/WebLinkWidget.h"
#include "hosts/InformationDialog.h"
#include "hosts/NewRestrictionDialog.h"
#include "res/Resource.h"
#include "ui/AboutDialog.h"
#include "ui/BornFromDialog.h"
#include "ui/DisclaimerDialog.h"
#include "ui/SourceDialog.h"

namespace qv {
namespace {

using test::ControlWidget;

// What a dialog's initialisation changes in a control, against its template.
struct Change {
    std::optional<QString> text = std::nullopt;
    std::optional<bool> enabled = std::nullopt;
    std::optional<bool> visible = std::nullopt;
    std::optional<bool> checked = std::nullopt;
};
using Changes = std::map<int, Change>;

bool Has(const ControlTemplate& t, unsigned bit) {
    return (t.style & bit) != 0;
}

std::string ExpectedKind(const ControlTemplate& t) {
    switch (t.kind) {
        case ControlKind::PushButton:
            return Has(t, cs::kOwnerDraw) ? "ShadedButtonWidget" : "QPushButton";
        case ControlKind::CheckBox:
            return "QCheckBox";
        case ControlKind::Edit:
            return Has(t, cs::kMultiline) ? "QPlainTextEdit" : "QLineEdit";
        case ControlKind::Label:
            return Has(t, cs::kWebLink) ? "WebLinkWidget" : "QLabel";
        case ControlKind::ListBox:
            return "QListView";
        case ControlKind::Picture:
        case ControlKind::Icon:
            return "picture";
        case ControlKind::Frame:
        case ControlKind::Rule:
            return "QFrame";
    }
    return "?";
}

std::string KindOf(QWidget* w) {
    if (dynamic_cast<ShadedButtonWidget*>(w) != nullptr) {
        return "ShadedButtonWidget";
    }
    if (dynamic_cast<WebLinkWidget*>(w) != nullptr) {
        return "WebLinkWidget";
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->pixmap().isNull() ? "QLabel" : "picture";
    }
    for (const char* name :
         {"QPushButton", "QCheckBox", "QLineEdit", "QPlainTextEdit", "QListView", "QFrame"}) {
        if (w->metaObject()->className() == std::string(name)) {
            return name;
        }
    }
    return w->metaObject()->className();
}

QString TextOf(QWidget* w) {
    if (auto* b = dynamic_cast<ShadedButtonWidget*>(w)) {
        return b->accessibleName();
    }
    if (auto* l = dynamic_cast<WebLinkWidget*>(w)) {
        return l->Text();
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return e->text();
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        return e->toPlainText();
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text();
    }
    return {};
}

// A control without an id has no name: it is found by its kind and its place.
QWidget* FindUnnamed(QWidget* parent, const ControlTemplate& t, const QRect& rect,
                     std::set<QWidget*>& taken) {
    for (QWidget* w : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->objectName().isEmpty() && taken.count(w) == 0 && w->geometry() == rect &&
            KindOf(w) == ExpectedKind(t)) {
            taken.insert(w);
            return w;
        }
    }
    return nullptr;
}

// The widgets of `parent` against template `source` and what the initialisation changed.
// Returns the widget that should have the focus: the first enabled, visible tab stop.
QWidget* ExpectWidgets(QWidget* parent, const DialogTemplate& source, const Changes& changes) {
    const DialogUnits units;
    std::set<QWidget*> taken;
    QWidget* firstTabStop = nullptr;
    EXPECT_EQ(parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              static_cast<qsizetype>(source.controls.size()));
    for (const ControlTemplate& t : source.controls) {
        SCOPED_TRACE("control " + std::to_string(t.id) + " \"" + t.text + "\"");
        const QRect rect(units.X(t.x), units.Y(t.y), units.X(t.cx), units.Y(t.cy));
        QWidget* w = t.id == -1 ? FindUnnamed(parent, t, rect, taken)
                                : parent->findChild<QWidget*>(QStringLiteral("control%1").arg(t.id),
                                                              Qt::FindDirectChildrenOnly);
        if (w == nullptr) {
            ADD_FAILURE() << "no " << ExpectedKind(t) << " widget";
            continue;
        }
        Change change;
        if (auto it = changes.find(t.id); it != changes.end()) {
            change = it->second;
        }
        EXPECT_EQ(KindOf(w), ExpectedKind(t));
        EXPECT_EQ(TextOf(w), change.text.value_or(QString::fromStdString(t.text)));
        const bool enabled = change.enabled.value_or(!Has(t, cs::kDisabled));
        const bool visible = change.visible.value_or(!Has(t, cs::kHidden));
        EXPECT_EQ(w->isEnabled(), enabled);
        EXPECT_EQ(w->isVisible(), visible);
        if (KindOf(w) == "WebLinkWidget") {
            EXPECT_EQ(w->pos(), rect.topLeft());  // the link fits itself to its text
        } else {
            EXPECT_EQ(w->geometry(), rect);
        }
        EXPECT_EQ((w->focusPolicy() & Qt::TabFocus) != 0, Has(t, cs::kTabStop));
        if (firstTabStop == nullptr && Has(t, cs::kTabStop) && enabled && visible) {
            firstTabStop = w;
        }

        if (auto* b = dynamic_cast<ShadedButtonWidget*>(w)) {
            EXPECT_EQ(b->IsDefault(), Has(t, cs::kDefault));
            EXPECT_NE(b->Model(), nullptr) << "no shaded button model bound";
        } else if (auto* l = dynamic_cast<WebLinkWidget*>(w)) {
            EXPECT_NE(l->Model(), nullptr) << "no link model bound";
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(b->isDefault(), Has(t, cs::kDefault));
        } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
            EXPECT_EQ(b->isChecked(), change.checked.value_or(false));
        } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
            EXPECT_EQ(e->echoMode(),
                      Has(t, cs::kPassword) ? QLineEdit::Password : QLineEdit::Normal);
        } else if (auto* v = qobject_cast<QListView*>(w)) {
            EXPECT_EQ(v->selectionMode(), Has(t, cs::kNoSelect)
                                              ? QAbstractItemView::NoSelection
                                              : QAbstractItemView::SingleSelection);
        } else if (auto* l = qobject_cast<QLabel*>(w); l && t.resource != 0) {
            // Pictures are shown unscaled.
            const char* type = t.kind == ControlKind::Icon ? rt::kIcon : rt::kBitmap;
            const std::string* bytes = FindResource(type, t.resource);
            QImage image;
            if (bytes != nullptr) {
                image = QImage::fromData(QByteArray::fromStdString(*bytes));
            }
            EXPECT_FALSE(image.isNull());
            EXPECT_EQ(l->pixmap().size(), image.size());
            EXPECT_FALSE(l->hasScaledContents());
        }
    }
    return firstTabStop;
}

test::TestPlatform::RecordingShell shell;

struct TemplateCase {
    const char* name;
    int id;
    std::function<std::unique_ptr<Dialog>(Toolkit&)> make;
    Changes changes;
};

template <class D>
std::function<std::unique_ptr<Dialog>(Toolkit&)> Plain() {
    return [](Toolkit& toolkit) { return std::make_unique<D>(toolkit); };
}

const std::vector<TemplateCase> kTemplates = {
    {"About",
     res::kAboutDialog,
     [](Toolkit& toolkit) { return std::make_unique<AboutDialog>(toolkit, shell); },
     {}},
    {"Password", res::kPasswordDialog, Plain<PasswordDialog>(), {}},
    {"NewRestriction",
     res::kNewRestrictionDialog,
     Plain<NewRestrictionDialog>(),
     {{res::kIpEdit, {.text = "0.0.0.0", .enabled = false}},
      {res::kUseDefaultIpCheck, {.checked = true}}}},
    {"RestrictionInformation",
     res::kNewRestrictionDialog,
     [](Toolkit& toolkit) {
         auto dialog = std::make_unique<NewRestrictionDialog>(toolkit);
         dialog->infoMode = true;
         dialog->ipAddress = "127.0.0.1";
         dialog->url = "a.example";
         dialog->description = "first line\r\nsecond line";
         return dialog;
     },
     {{res::kIpEdit, {.text = "127.0.0.1", .enabled = false}},
      {res::kUrlEdit, {.text = "a.example", .enabled = false}},
      {res::kDescriptionEdit, {.text = "first line\nsecond line"}},
      {res::kUseDefaultIpCheck, {.enabled = false, .checked = true}}}},
    {"BornFrom", res::kBornFromDialog, Plain<BornFromDialog>(), {}},
    {"Source",
     res::kSourceDialog,
     [](Toolkit& toolkit) {
         auto dialog = std::make_unique<SourceDialog>(toolkit);
         dialog->viewerSelector = 1;
         return dialog;
     },
     {}},
    {"NewPasswordFirstRun", res::kNewPasswordDialog, Plain<NewPasswordDialog>(), {}},
    {"NewPasswordLater",
     res::kNewPasswordDialog,
     [](Toolkit& toolkit) {
         auto dialog = std::make_unique<NewPasswordDialog>(toolkit);
         dialog->showFirstRunText = false;
         return dialog;
     },
     {{res::kFirstRunLabel, {.visible = false}}}},
    {"Options",
     res::kOptionsDialog,
     [](Toolkit& toolkit) {
         auto dialog = std::make_unique<OptionsDialog>(toolkit);
         dialog->requirePassword = 1;
         return dialog;
     },
     {{res::kRequirePasswordCheck, {.checked = true}}}},
    {"Disclaimer", res::kDisclaimerDialog, Plain<DisclaimerDialog>(), {}},
    {"Information",
     res::kInformationDialog,
     [](Toolkit& toolkit) {
         auto dialog = std::make_unique<InformationDialog>(toolkit);
         dialog->ipAddress = "0.0.0.0";
         dialog->url = "caf\xe9.example";  // Latin-1, not UTF-8
         dialog->description = "first line\r\nsecond line";
         return dialog;
     },
     {{res::kInfoIpLabel, {.text = "0.0.0.0"}},
      {res::kInfoUrlLabel, {.text = QString::fromLatin1("caf\xe9.example")}},
      {res::kInfoDescriptionLabel, {.text = "first line\nsecond line"}}}},
};

void PrintTo(const TemplateCase& c, std::ostream* out) {
    *out << c.name;
}

class TemplateRenders : public ::testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateRenders, WithEveryControlInPlace) {
    const TemplateCase& c = GetParam();
    const DialogTemplate* source = FindDialogTemplate(c.id);
    ASSERT_NE(source, nullptr);
    QtToolkit toolkit;
    std::unique_ptr<Dialog> dialog = c.make(toolkit);
    bool shown = false;
    toolkit.onDialogShown = [&](QDialog* window, int id) {
        shown = true;
        EXPECT_EQ(id, c.id);
        const DialogUnits units;
        const QSize size(units.X(source->cx), units.Y(source->cy));
        EXPECT_EQ(window->windowTitle(), QString::fromStdString(source->caption));
        EXPECT_EQ(window->size(), size);
        EXPECT_EQ(window->minimumSize(), size);
        EXPECT_EQ(window->maximumSize(), size);
        QWidget* focus = ExpectWidgets(window, *source, c.changes);
        EXPECT_EQ(window->focusWidget(), focus);
        QTest::keyClick(window, Qt::Key_Escape);
        if (window->isVisible()) {
            ADD_FAILURE() << "Escape left the dialog open";
            window->done(kIdCancel);
        }
    };
    test::Watchdog watchdog;
    EXPECT_EQ(dialog->DoModal(), kIdCancel);
    EXPECT_TRUE(shown);
}

INSTANTIATE_TEST_SUITE_P(Qt, TemplateRenders, ::testing::ValuesIn(kTemplates),
                         [](const ::testing::TestParamInfo<TemplateCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(QtMainWindow, FormMenuAndShortcutsFollowTheirTables) {
    test::Sandbox sandbox("0.0.0.0 a.example\n");
    test::QtProgram program(sandbox.platform);
    test::ExpectFirstRun(program.user, QStringLiteral("secret1"));
    test::Watchdog watchdog;
    ASSERT_TRUE(program.Start());
    EXPECT_TRUE(program.user.errors.empty()) << ::testing::PrintToString(program.user.errors);
    QMainWindow* window = program.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quorvex - Quorvex"));
    EXPECT_FALSE(window->windowIcon().isNull());

    // The form: template 101 at its size, with the state start-up left it in.
    QWidget* form = program.Form();
    ASSERT_NE(form, nullptr);
    const DialogTemplate* source = FindDialogTemplate(res::kMainForm);
    ASSERT_NE(source, nullptr);
    const DialogUnits units;
    EXPECT_EQ(window->centralWidget(), form);
    EXPECT_EQ(form->size(), QSize(units.X(source->cx), units.Y(source->cy)));
    // The frame fits the form under the menu bar, and keeps that size.
    EXPECT_EQ(form->pos(), QPoint(0, window->menuBar()->height()));
    EXPECT_EQ(window->size(), QSize(form->width(), form->y() + form->height()));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    ExpectWidgets(form, *source,
                  {{res::kSaveButton, {.enabled = false}},
                   {res::kStatus1, {.text = "Input File Is Open"}},
                   {res::kStatus2, {.text = "Output File Is Open"}}});
    EXPECT_EQ(program.ListRows(), QStringList{"0.0.0.0 a.example"});

    // The menu: its popups, items and separators in order, each item with its command.
    const QList<QAction*> popups = window->menuBar()->actions();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(MainMenu().popups.size()));
    for (size_t p = 0; p < MainMenu().popups.size(); ++p) {
        const MenuPopup& popup = MainMenu().popups[p];
        SCOPED_TRACE(popup.text);
        QAction* title = popups[static_cast<qsizetype>(p)];
        EXPECT_EQ(title->text(), QString::fromStdString(popup.text));
        ASSERT_NE(title->menu(), nullptr);
        const QList<QAction*> items = title->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(popup.items.size()));
        for (size_t i = 0; i < popup.items.size(); ++i) {
            const MenuItem& item = popup.items[i];
            QAction* action = items[static_cast<qsizetype>(i)];
            if (item.text.empty()) {
                EXPECT_TRUE(action->isSeparator()) << "item " << i;
                continue;
            }
            EXPECT_EQ(action->text(), QString::fromStdString(item.text));
            EXPECT_EQ(action->objectName(), QStringLiteral("command%1").arg(item.command));
        }
    }

    // No key of the shortcut table reaches a command here, so none is registered: the only
    // keys are the mnemonics of the form's buttons.
    for (QAction* action : window->findChildren<QAction*>()) {
        EXPECT_TRUE(action->shortcuts().isEmpty())
            << action->text().toStdString() << ": " << action->shortcut().toString().toStdString();
    }
    std::set<QString> keys;
    for (QShortcut* shortcut : window->findChildren<QShortcut*>()) {
        for (const QKeySequence& key : shortcut->keys()) {
            keys.insert(key.toString());
        }
    }
    EXPECT_EQ(keys, (std::set<QString>{"Alt+A", "Alt+R", "Alt+S", "Alt+V"}));
}

}  // namespace
}  // namespace qv
