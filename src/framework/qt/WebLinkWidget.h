#pragma once

#include <QWidget>

#include "framework/qt/BoundWidget.h"
#include "ui/WebLinkLabel.h"

namespace qv {

// A label that hosts the web link model: underlined text in the model's colours, a pointing
// hand, and clicks that open the link's target.
class WebLinkWidget : public QWidget, public BoundWidget, public LinkHost {
public:
    WebLinkWidget(ControlState& control, QWidget* parent);
    ~WebLinkWidget() override;

    void Sync(ControlState& control) override;
    WebLinkLabel* Model() const { return model; }
    QString Text() const { return text; }

    // LinkHost.
    Rect WindowRect() const override;
    void MoveWindow(const Rect& rect) override;
    void SetText(const std::string& text) override;
    void UseOwnFont(bool underline) override;
    Size TextExtent(const std::string& text, bool underline) override;
    void Repaint(bool now) override;
    bool HasCapture() const override { return captured; }
    void SetCapture() override;
    void ReleaseCapture() override;
    bool LoadPointingCursor() override { return true; }
    void ShowPointingCursor() override { setCursor(Qt::PointingHandCursor); }
    void PlayExclamation() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    WebLinkLabel* model = nullptr;
    QString text;
    bool captured = false;
};

}  // namespace qv
