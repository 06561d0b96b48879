// The real desktop program with a scripted user for process-level tests: it confirms the
// disclaimer, sets the password "driver1" when asked on a first run, and reports on standard
// output "ready" once its window is shown and "activated" when a later start brings it
// forward. With QUORVEX_DRIVER_HOLD set it leaves the disclaimer open and says "disclaimer"
// instead, as a user who has not read it yet.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "../../../src/main/qt/DesktopProgram.h"
#include "app/CInstanceChecker.h"
#include "framework/qt/QtToolkit.h"

namespace {

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void Type(QDialog* dialog, const char* name, const char* text) {
    if (auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(name))) {
        edit->setText(QString::fromLatin1(text));
        emit edit->textEdited(edit->text());
    }
}

void Press(QDialog* dialog, const char* name) {
    if (auto* button = dialog->findChild<QWidget*>(QString::fromLatin1(name))) {
        if (auto* push = qobject_cast<QPushButton*>(button)) {
            push->click();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    return qv::RunDesktopProgram(argc, argv, [](qv::QtToolkit& toolkit) {
        toolkit.onDialogShown = [](QDialog* dialog, int id) {
            if (id == 145 && std::getenv("QUORVEX_DRIVER_HOLD") != nullptr) {
                Say("disclaimer");
                return;
            }
            if (id == 143) {
                Type(dialog, "control1022", "driver1");
                Type(dialog, "control1023", "driver1");
            }
            Press(dialog, "control1");
        };
        // Any message box is confirmed.
        toolkit.onMessageBoxShown = [](QWidget* box, const std::string&) { box->close(); };
        auto shown = toolkit.onMainWindowShown;
        toolkit.onMainWindowShown = [shown] {
            if (shown) {
                shown();
            }
            QTimer::singleShot(100, [] { Say("ready"); });
        };
        qv::CInstanceChecker::SetActivationHandler([&toolkit] {
            Say("activated");
            toolkit.BringToFront();
        });
    });
}
