#include "QtUser.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QTest>

#include "framework/MessageBoxes.h"
#include "framework/qt/QtToolkit.h"

namespace qv::test {

void Click(QWidget* widget) {
    ASSERT_NE(widget, nullptr);
    const QPoint centre = widget->rect().center();
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, centre);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, centre);
}

void ClickLine(QAbstractItemView* list, int row) {
    ASSERT_NE(list, nullptr);
    const QModelIndex line = list->model()->index(row, 0);
    ASSERT_TRUE(line.isValid()) << "no line " << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(line).center());
}

void TypeKeys(QWidget* widget, const QString& text) {
    ASSERT_NE(widget, nullptr);
    QTest::keyClicks(widget, text);
}

QtUser::QtUser(QtToolkit& toolkit) : toolkit(toolkit) {
    toolkit.onDialogShown = [this](QDialog* dialog, int id) { DialogShown(dialog, id); };
    toolkit.onMessageBoxShown = [this](QWidget* box, const std::string& text) {
        BoxShown(box, text);
    };
}

QtUser::~QtUser() {
    toolkit.onDialogShown = nullptr;
    toolkit.onMessageBoxShown = nullptr;
}

void QtUser::Expect(int templateId, DialogStep step) {
    dialogs.emplace_back(templateId, std::move(step));
}

void QtUser::ExpectMessage(std::string text, BoxStep step) {
    boxes.emplace_back(std::move(text), std::move(step));
}

QtUser::BoxStep QtUser::Press(QMessageBox::StandardButton button) {
    return [button](QMessageBox& box) {
        QAbstractButton* target = box.button(button);
        ASSERT_NE(target, nullptr) << "no such button in the box";
        Click(target);
    };
}

void QtUser::DialogShown(QDialog* dialog, int templateId) {
    const std::string name = "dialog " + std::to_string(templateId);
    transcript.push_back(name);
    if (dialogs.empty() || dialogs.front().first != templateId) {
        errors.push_back("unexpected " + name);
        dialog->done(kIdCancel);
        return;
    }
    DialogStep step = std::move(dialogs.front().second);
    dialogs.pop_front();
    // A user types into a window once it is up front: the activation arrives after the show.
    if (!QTest::qWaitForWindowActive(dialog)) {
        errors.push_back(name + " never became the active window");
    }
    step(*dialog);
    if (dialog->isVisible()) {
        errors.push_back(name + " left open by its script");
        dialog->done(kIdCancel);
    }
}

void QtUser::BoxShown(QWidget* widget, const std::string& text) {
    transcript.push_back("message: " + text);
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box == nullptr) {
        errors.push_back("a message box that is no QMessageBox: " + text);
        return;
    }
    if (boxes.empty() || boxes.front().first != text) {
        errors.push_back("unexpected message: " + text);
        box->done(0);
        return;
    }
    BoxStep step = std::move(boxes.front().second);
    boxes.pop_front();
    if (!QTest::qWaitForWindowActive(box)) {
        errors.push_back("message never became the active window: " + text);
    }
    step(*box);
    if (box->isVisible()) {
        errors.push_back("message left open by its script: " + text);
        box->done(0);
    }
}

Watchdog::Watchdog(int seconds) {
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &deadline, [this, seconds] {
        ADD_FAILURE() << "no progress within " << seconds << " s: closing every window";
        sweep.start(50);
    });
    QObject::connect(&sweep, &QTimer::timeout, &sweep, [] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            modal->done(kIdCancel);
            return;
        }
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) {
                window->close();
            }
        }
    });
    deadline.start(seconds * 1000);
}

}  // namespace qv::test
