#pragma once

#include <QMessageBox>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

class QAbstractItemView;
class QDialog;
class QWidget;

// Failures show strings as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace qv {
class QtToolkit;
}

namespace qv::test {

// What a user does, as real input events: the left button pressed and released at the
// widget's centre, and keys typed into it.
void Click(QWidget* widget);
void TypeKeys(QWidget* widget, const QString& text);
// A click on line `row` of a list, at the line's centre.
void ClickLine(QAbstractItemView* list, int row);

// The widget of control `id` among the direct children of a dialog or form; nullptr when
// there is none or it is not a `W`.
template <class W>
W* ControlWidget(QWidget* parent, int id) {
    return parent->findChild<W*>(QStringLiteral("control%1").arg(id), Qt::FindDirectChildrenOnly);
}

// The user in front of a QtToolkit: what to do in each dialog and message box, in the order
// they are expected. Dialogs and message boxes run their own loops, so the script runs from
// the toolkit's hooks once each one is shown. Anything unexpected, or left open by its
// script, is recorded in `errors` and closed, so a test never hangs on it.
class QtUser {
public:
    using DialogStep = std::function<void(QDialog& dialog)>;
    using BoxStep = std::function<void(QMessageBox& box)>;

    explicit QtUser(QtToolkit& toolkit);
    ~QtUser();
    QtUser(const QtUser&) = delete;
    QtUser& operator=(const QtUser&) = delete;

    void Expect(int templateId, DialogStep step);
    void ExpectMessage(std::string text, BoxStep step);
    // A click on one of the box's buttons.
    static BoxStep Press(QMessageBox::StandardButton button);

    // Everything shown, in order: "dialog 145", "message: <text>".
    std::vector<std::string> transcript;
    std::vector<std::string> errors;
    // Nothing expected is still waiting to be shown.
    bool Done() const { return dialogs.empty() && boxes.empty(); }

private:
    void DialogShown(QDialog* dialog, int templateId);
    void BoxShown(QWidget* box, const std::string& text);

    QtToolkit& toolkit;
    std::deque<std::pair<int, DialogStep>> dialogs;
    std::deque<std::pair<std::string, BoxStep>> boxes;
};

// A GUI test that stopped making progress would hang the whole run. After `seconds` this
// reports a failure and keeps closing the modal windows and then the other windows until
// every loop has returned.
class Watchdog {
public:
    explicit Watchdog(int seconds = 60);

private:
    QTimer deadline;
    QTimer sweep;
};

}  // namespace qv::test
