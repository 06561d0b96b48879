#include "framework/qt/WebLinkWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "framework/qt/QtCanvas.h"
#include "framework/qt/QtText.h"

namespace qv {

WebLinkWidget::WebLinkWidget(ControlState& control, QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    Sync(control);
}

WebLinkWidget::~WebLinkWidget() {
    if (model != nullptr) {
        model->SetHost(nullptr);
    }
}

void WebLinkWidget::Sync(ControlState& control) {
    text = ToQt(control.text);
    setAccessibleName(text);
    auto* bound = dynamic_cast<WebLinkLabel*>(control.custom);
    if (bound != model) {
        if (model != nullptr) {
            model->SetHost(nullptr);
        }
        model = bound;
        if (model != nullptr) {
            model->SetTextFormat(dt::kLeft);
            model->SetHost(this);
        }
    }
    update();
}

Rect WebLinkWidget::WindowRect() const {
    QRect g = geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void WebLinkWidget::MoveWindow(const Rect& r) {
    setGeometry(r.left, r.top, r.Width(), r.Height());
}

void WebLinkWidget::SetText(const std::string& value) {
    text = ToQt(value);
    update();
}

void WebLinkWidget::UseOwnFont(bool underline) {
    QFont f = font();
    f.setUnderline(underline);
    setFont(f);
    repaint();
}

Size WebLinkWidget::TextExtent(const std::string& value, bool underline) {
    QFont f = font();
    f.setUnderline(underline);
    QFontMetrics metrics(f);
    return {metrics.horizontalAdvance(ToQt(value)), metrics.height()};
}

void WebLinkWidget::Repaint(bool now) {
    if (now) {
        repaint();
    } else {
        update();
    }
}

void WebLinkWidget::SetCapture() {
    captured = true;
    grabMouse();
}

void WebLinkWidget::ReleaseCapture() {
    if (captured) {
        captured = false;
        releaseMouse();
    }
}

void WebLinkWidget::PlayExclamation() {
    QApplication::beep();
}

void WebLinkWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    QtCanvas canvas(painter, {width(), height()});
    if (model != nullptr) {
        model->Draw(canvas);
        return;
    }
    canvas.DrawText(FromQt(text), {0, 0, width(), height()}, dt::kLeft, Rgb(0, 0, 0), false);
}

void WebLinkWidget::mouseMoveEvent(QMouseEvent* event) {
    if (model != nullptr) {
        model->OnMouseMove(static_cast<int>(event->position().x()),
                           static_cast<int>(event->position().y()));
    }
}

void WebLinkWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (model != nullptr && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        model->OnClick();
    }
}

void WebLinkWidget::enterEvent(QEnterEvent*) {
    if (model != nullptr && model->OnSetCursor()) {
        return;
    }
    unsetCursor();
}

void WebLinkWidget::leaveEvent(QEvent*) {
    if (model != nullptr && captured) {
        // A pointer that left without a move event inside: tell the model it is outside.
        model->OnMouseMove(-1, -1);
    }
}

}  // namespace qv
