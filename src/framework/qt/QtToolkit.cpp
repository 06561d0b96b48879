#include "framework/qt/QtToolkit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QIcon>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QTimer>
#include <utility>
#include <vector>

#include "framework/Dialog.h"
#include "framework/FormView.h"
#include "framework/Resources.h"
#include "framework/qt/ControlWidgets.h"
#include "framework/qt/QtText.h"
#include "res/Resource.h"
#include "res/StringTable.h"

namespace qv {
namespace {

QIcon AppIcon() {
    const std::string* bytes = FindResource("ICON", res::kMainFrame);
    QPixmap pixmap;
    if (bytes != nullptr) {
        pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                            static_cast<uint>(bytes->size()), "ICO");
    }
    return QIcon(pixmap);
}

// A modal dialog whose keys and close box go to the framework's dialog.
class TemplateDialog : public QDialog {
public:
    TemplateDialog(Dialog& dialog, QWidget* parent) : QDialog(parent), dialog(dialog) {}

    // Ends the Qt dialog once the framework's dialog has ended.
    void Follow() {
        if (!dialog.IsOpen() && isVisible()) {
            done(dialog.Result());
        }
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                dialog.PressEnter();
                Follow();
                return;
            case Qt::Key_Escape:
                dialog.PressEscape();
                Follow();
                return;
            default:
                QDialog::keyPressEvent(event);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        if (dialog.IsOpen()) {
            event->ignore();
            dialog.CloseBox();
            Follow();
        } else {
            QDialog::closeEvent(event);
        }
    }
    void reject() override {
        if (dialog.IsOpen()) {
            dialog.PressEscape();
            Follow();
        } else {
            QDialog::reject();
        }
    }

private:
    Dialog& dialog;
};

// The main frame: closing it ends the message loop, once the view agrees.
class MainFrame : public QMainWindow {
public:
    explicit MainFrame(std::function<bool()> mayClose) : mayClose(std::move(mayClose)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        if (mayClose()) {
            QMainWindow::closeEvent(event);
        } else {
            event->ignore();
        }
    }

private:
    std::function<bool()> mayClose;
};

DialogUnits UnitsFor(const DialogTemplate&) {
    // "MS Sans Serif" is not found on Linux: the fixed base units keep layouts the same
    // everywhere.
    return DialogUnits{};
}

}  // namespace

QtToolkit::QtToolkit() {
    // The templates are laid out for an 8-point "MS Sans Serif" (base units 6 x 13). Linux
    // has no such font; a 10-pixel Arial-like face fills the same boxes.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    QApplication::setFont(font);
}

QtToolkit::~QtToolkit() {
    delete mainWindow.data();
}

QMainWindow* QtToolkit::MainWindow() const {
    return mainWindow.data();
}

uintptr_t QtToolkit::MainWindowHandle() const {
    if (!mainWindow) {
        return 0;
    }
    // Any non-zero value marks a live window; some platforms give no native id.
    auto id = static_cast<uintptr_t>(mainWindow->winId());
    return id != 0 ? id : 1;
}

int QtToolkit::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    // Over the dialog in front, if one is open, as the dialogs themselves are.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr && mainWindow && mainWindow->isVisible()) {
        owner = mainWindow.data();
    }
    QMessageBox box(owner);
    box.setWindowTitle(ToQt(caption.empty() ? LoadString(kIdsAppTitle) : caption));
    box.setText(ToQt(text));
    switch (style & kMbIconMask) {
        case kMbIconStop:
            box.setIcon(QMessageBox::Critical);
            break;
        case kMbIconQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case kMbIconExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case kMbIconInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
    }
    const unsigned buttons = style & kMbButtonMask;
    if (buttons == kMbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else if (buttons == kMbYesNoCancel) {
        // Escape and the close box answer Cancel.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    if (onMessageBoxShown) {
        QTimer::singleShot(0, &box, [this, &box, text] { onMessageBoxShown(&box, text); });
    }
    int answer = box.exec();
    if (buttons == kMbYesNo) {
        return answer == QMessageBox::Yes ? kIdYes : kIdNo;
    }
    if (buttons == kMbYesNoCancel) {
        switch (answer) {
            case QMessageBox::Yes:
                return kIdYes;
            case QMessageBox::No:
                return kIdNo;
            default:
                return kIdCancel;
        }
    }
    return kIdOk;
}

int QtToolkit::RunModal(Dialog& dialog) {
    const DialogTemplate* source = FindDialogTemplate(dialog.TemplateId());
    if (source == nullptr) {
        return kIdCancel;
    }
    QWidget* owner = nullptr;
    if (mainWindow && mainWindow->isVisible()) {
        owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                  : mainWindow.data();
    }
    TemplateDialog window(dialog, owner);
    window.setWindowTitle(ToQt(source->caption));
    window.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    DialogUnits units = UnitsFor(*source);
    window.setFixedSize(units.X(source->cx), units.Y(source->cy));

    dialog.CreateControls();
    ControlWidgets widgets(dialog.Controls(), &window, units,
                           {[&](int id) {
                                dialog.Click(id);
                                window.Follow();
                            },
                            [&](int, int) {}});
    dialog.Initialise();
    if (!dialog.IsOpen()) {
        return dialog.Result();
    }
    int focus = dialog.Controls().Focus();
    if (QWidget* w = widgets.Widget(focus)) {
        w->setFocus(Qt::OtherFocusReason);
    }
    if (onDialogShown) {
        int id = dialog.TemplateId();
        QTimer::singleShot(0, &window, [this, &window, id] { onDialogShown(&window, id); });
    }
    window.exec();
    if (dialog.IsOpen()) {
        dialog.EndDialog(kIdCancel);
    }
    return dialog.Result();
}

void QtToolkit::CreateMainWindow(FormView& view, const std::string& caption) {
    // The program closing its window (the Exit command, once the view agreed, or the end of
    // the run) asks nothing; the close box asks the view.
    auto* frame = new MainFrame([this, &view] { return closingByProgram || view.CanClose(); });
    mainWindow = frame;
    frame->setWindowTitle(ToQt(caption));
    frame->setWindowIcon(AppIcon());
    frame->setAttribute(Qt::WA_QuitOnClose, true);

    for (const MenuPopup& popup : MainMenu().popups) {
        QMenu* menu = frame->menuBar()->addMenu(ToQt(popup.text));
        for (const MenuItem& item : popup.items) {
            if (item.text.empty()) {
                menu->addSeparator();
                continue;
            }
            int command = item.command;
            QAction* action = menu->addAction(ToQt(item.text));
            action->setObjectName(QStringLiteral("command%1").arg(command));
            QObject::connect(action, &QAction::triggered, frame,
                             [&view, command] { view.Click(command); });
        }
    }
    // Of the shortcut table, nothing reaches a command of the program (New, Open and Save
    // have no document to work on; the editing keys have no handler), so none is offered.

    auto* form = new QWidget(frame);
    form->setObjectName(QStringLiteral("form"));
    const DialogTemplate& source = view.Controls().Template();
    DialogUnits units = UnitsFor(source);
    form->setFixedSize(units.X(source.cx), units.Y(source.cy));
    mainControls = new ControlWidgets(view.Controls(), form, units,
                                      {[&view](int id) { view.Click(id); },
                                       [&view](int id, int row) { view.DoubleClick(id, row); }});
    frame->setCentralWidget(form);
    frame->adjustSize();
    frame->setFixedSize(frame->sizeHint());
}

void QtToolkit::SetMainCaption(const std::string& caption) {
    if (mainWindow) {
        mainWindow->setWindowTitle(ToQt(caption));
    }
}

void QtToolkit::ShowMainWindow() {
    if (mainWindow) {
        mainWindow->show();
        mainWindow->repaint();
        if (onMainWindowShown) {
            onMainWindowShown();
        }
    }
}

int QtToolkit::RunMessageLoop() {
    if (quitRequested) {
        return quitCode;  // asked to end before the loop began
    }
    if (!mainWindow || !mainWindow->isVisible()) {
        return 0;
    }
    return QApplication::exec();
}

void QtToolkit::PostQuit(int exitCode) {
    quitRequested = true;
    quitCode = exitCode;
    QCoreApplication::exit(exitCode);
}

void QtToolkit::CloseMainWindow() {
    if (mainWindow) {
        closingByProgram = true;
        mainWindow->close();
        closingByProgram = false;
    }
}

void QtToolkit::DestroyMainWindow() {
    delete mainWindow.data();
    mainControls = nullptr;
}

void QtToolkit::BringToFront() {
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) {
        front = mainWindow.data();
    }
    if (front == nullptr) {
        return;
    }
    // The windows from the main window to the one in front: a dialog comes back only with
    // the windows it belongs to (window managers minimise it with its owner), and each one
    // goes above the one before.
    std::vector<QWidget*> windows;
    for (QWidget* w = front; w != nullptr;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        windows.insert(windows.begin(), w);
    }
    if (mainWindow && windows.front() != mainWindow.data()) {
        windows.insert(windows.begin(), mainWindow.data());
    }
    for (QWidget* w : windows) {
        if (w->isMinimized()) {
            w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
            w->show();
        }
        w->raise();
    }
    front->activateWindow();
}

}  // namespace qv
