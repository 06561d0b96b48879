#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "framework/qt/BoundWidget.h"
#include "ui/ShadedButton.h"

class QShortcut;

namespace qv {

// A push button painted and driven by its shaded button model: the widget only forwards
// paint, pointer, keyboard and focus events and answers the model's questions.
class ShadedButtonWidget : public QWidget, public BoundWidget, public ShadedButtonHost {
public:
    ShadedButtonWidget(ControlState& control, QWidget* parent, std::function<void()> clicked);
    ~ShadedButtonWidget() override;

    void Sync(ControlState& control) override;
    ShadedButton* Model() const { return model; }
    bool IsDefault() const { return isDefault; }

    // ShadedButtonHost.
    Size WindowSize() const override;
    SystemColours Colours() const override;
    bool IsPushed() const override { return pushed; }
    void SetPushed(bool value) override { pushed = value; }
    bool HasCapture() const override { return captured; }
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    void TakeFocus() override;
    bool RequestLeaveNotification() override;
    bool CancelLeaveNotification() override;
    bool IsButtonAt(Point point) const override;
    std::optional<Point> PointerPosition() const override;
    void Repaint() override { update(); }
    void NotifyClick() override;
    std::vector<ShadedButton*> GroupButtons() override { return {}; }
    void PostUncheck(ShadedButton& button) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ShadedButton* model = nullptr;
    std::function<void()> clicked;
    QString caption;
    QShortcut* mnemonic = nullptr;
    bool isDefault = false;
    bool pushed = false;
    bool captured = false;
    bool leaveRequested = false;
};

}  // namespace qv
