// Makes the screenshots in docs/screenshots from the program itself: the main window on a
// small sample, each dialog and a message box, on the offscreen platform.
//
//     quorvex-screenshots OUTPUT_DIRECTORY
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMainWindow>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <map>

#include "access/PasswordHash.h"
#include "app/CQuorvexApp.h"
#include "framework/qt/QtToolkit.h"
#include "hosts/CHostsFile.h"
#include "res/Resource.h"
#include "settings/SettingsKeys.h"

namespace {

const std::map<int, const char*> kNames = {
    {qv::res::kDisclaimerDialog, "disclaimer"},
    {qv::res::kNewRestrictionDialog, "new-restriction"},
    {qv::res::kInformationDialog, "information"},
    {qv::res::kBornFromDialog, "born-from"},
    {qv::res::kSourceDialog, "source-viewer"},
    {qv::res::kAboutDialog, "about"},
    {qv::res::kPasswordDialog, "password"},
    {qv::res::kOptionsDialog, "options"},
    {qv::res::kNewPasswordDialog, "new-password"},
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quorvex-screenshots OUTPUT_DIRECTORY\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    QTemporaryDir root;
    auto platform = qv::CreatePlatform(qv::PathMap::ForRoot(root.path().toStdString()));
    platform->Passwords().SetIterationsForTests(1000);  // a sample password, quickly
    QDir(root.path()).mkpath(QStringLiteral("etc"));
    Write(platform->Files().MapPath(qv::kHostsPath),
          "127.0.0.1 localhost\n0.0.0.0 ads.example.com\n0.0.0.0 tracker.example.net\n"
          "0.0.0.0 www.popups.example\n0.0.0.0 telemetry.example.org\n");
    Write(platform->Files().MapPath(qv::settings::kPlainPath),
          "[Main]\nInstalled=1\nReqPass=0\nSet=1\nPassword=" +
              *qv::HashPassword(platform->Passwords(), "sample") +
              "\n[www.popups.example]\nDesc=Pop-up windows~~on every page\n");

    qv::QtToolkit toolkit;
    int failures = 0;
    auto save = [&](QWidget* widget, const QString& name) {
        QString file = out.filePath(name + QStringLiteral(".png"));
        if (!widget->grab().save(file)) {
            ++failures;
        }
        std::printf("%s\n", file.toLocal8Bit().constData());
    };
    std::map<int, int> shown;
    toolkit.onDialogShown = [&](QDialog* dialog, int id) {
        if (shown[id]++ == 0) {
            save(dialog, QString::fromLatin1(kNames.count(id) ? kNames.at(id) : "dialog"));
        }
        dialog->reject();  // Escape
    };
    bool messageSaved = false;
    toolkit.onMessageBoxShown = [&](QWidget* box, const std::string&) {
        if (!messageSaved) {
            messageSaved = true;
            save(box, QStringLiteral("message-box"));
        }
        box->close();
    };

    bool registry = false;
    qv::InProcessInstanceGuard guard(registry);
    qv::CQuorvexApp app(toolkit, *platform, guard);
    if (!app.InitInstance()) {
        return 1;
    }
    qv::CQuorvexView& view = *app.View();
    QApplication::processEvents();
    save(toolkit.MainWindow(), QStringLiteral("main-window"));

    view.Click(qv::res::kAddButton);
    view.DoubleClick(qv::res::kRestrictionList, 3);
    view.Click(qv::res::kCmdBornFrom);
    view.Click(qv::res::kCmdInformation);
    view.Click(qv::res::kCmdAppAbout);
    view.Click(qv::res::kCmdOptions);  // locked: the password prompt
    view.passwords.unlocked = true;
    view.Click(qv::res::kCmdOptions);
    view.Click(qv::res::kCmdResetPassword);
    view.restrictionList.Select(-1);
    view.Click(qv::res::kRemoveButton);  // "You must select a line from the list."

    toolkit.CloseMainWindow();
    toolkit.DestroyMainWindow();
    return failures == 0 && shown.size() == kNames.size() && messageSaved ? 0 : 1;
}
