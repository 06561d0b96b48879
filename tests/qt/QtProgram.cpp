#include "QtProgram.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "platform/Paths.h"
#include "res/Resource.h"

namespace qv::test {

Sandbox::Sandbox(const std::string& hosts)
    : real(CreatePlatform(PathMap::ForRoot(root.String()))), platform(*real) {
    // Full-strength hashing costs a noticeable fraction of a second per password.
    real->Passwords().SetIterationsForTests(1000);
    WriteBytes(Real(kHostsPath), hosts);
}

std::string Sandbox::Real(const std::string& systemPath) {
    return platform.Files().MapPath(systemPath);
}

std::string Sandbox::Read(const std::string& systemPath) {
    return ReadBytes(Real(systemPath));
}

std::vector<std::string> Sandbox::FileNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path())) {
        if (entry.is_regular_file()) {
            names.push_back(std::filesystem::relative(entry.path(), root.Path()).string());
        }
    }
    return names;
}

QtProgram::QtProgram(Platform& platform)
    : app(std::make_unique<CQuorvexApp>(toolkit, platform, guard)) {}

QtProgram::~QtProgram() {
    toolkit.DestroyMainWindow();
    app.reset();
}

int QtProgram::Run(std::function<void()> inLoop) {
    toolkit.onMainWindowShown = [inLoop] { QTimer::singleShot(0, inLoop); };
    int code = app->Run();
    toolkit.onMainWindowShown = nullptr;
    return code;
}

QWidget* QtProgram::Form() const {
    return Window() ? Window()->findChild<QWidget*>(QStringLiteral("form")) : nullptr;
}

QListView* QtProgram::List() const {
    QWidget* form = Form();
    return form ? ControlWidget<QListView>(form, res::kRestrictionList) : nullptr;
}

QStringList QtProgram::ListRows() const {
    QStringList rows;
    if (QListView* list = List()) {
        QAbstractItemModel* model = list->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            rows << model->index(row, 0).data().toString();
        }
    }
    return rows;
}

void ExpectFirstRun(QtUser& user, const QString& password) {
    user.Expect(res::kDisclaimerDialog,
                [](QDialog& dialog) { Click(ControlWidget<QPushButton>(&dialog, res::kIdOk)); });
    // The password the way a user enters it: click, type, Tab, type again, Enter.
    user.Expect(res::kNewPasswordDialog, [password](QDialog& dialog) {
        auto* first = ControlWidget<QLineEdit>(&dialog, res::kNewPasswordEdit);
        auto* second = ControlWidget<QLineEdit>(&dialog, res::kConfirmPasswordEdit);
        ASSERT_TRUE(first && second);
        Click(first);
        TypeKeys(QApplication::focusWidget(), password);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), second);
        TypeKeys(second, password);
        QTest::keyClick(second, Qt::Key_Return);
    });
}

}  // namespace qv::test
