#include "framework/qt/ShadedButtonWidget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QTimer>

#include "framework/qt/QtCanvas.h"
#include "framework/qt/QtText.h"

namespace qv {
namespace {

ShadedButtonHost::Point ToPoint(const QPointF& p) {
    return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

}  // namespace

ShadedButtonWidget::ShadedButtonWidget(ControlState& control, QWidget* parent,
                                       std::function<void()> clicked)
    : QWidget(parent),
      clicked(std::move(clicked)),
      isDefault((control.source->style & cs::kDefault) != 0) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    Sync(control);
}

ShadedButtonWidget::~ShadedButtonWidget() {
    if (model != nullptr) {
        model->SetHost(nullptr);
    }
}

void ShadedButtonWidget::Sync(ControlState& control) {
    auto* bound = dynamic_cast<ShadedButton*>(control.custom);
    if (bound != model) {
        if (model != nullptr) {
            model->SetHost(nullptr);
        }
        model = bound;
        if (model != nullptr) {
            model->SetHost(this);
        }
    }
    QString text = ToQt(control.text);
    if (text != caption) {
        caption = text;
        setAccessibleName(caption);
        delete mnemonic;
        mnemonic = nullptr;
        QKeySequence key = QKeySequence::mnemonic(caption);
        if (!key.isEmpty()) {
            // Alt and the underlined letter press the button, as on Windows.
            mnemonic = new QShortcut(key, this);
            QObject::connect(mnemonic, &QShortcut::activated, this, [this] {
                if (isEnabled() && isVisible()) {
                    setFocus(Qt::ShortcutFocusReason);
                    NotifyClick();
                }
            });
        }
    }
    update();
}

Size ShadedButtonWidget::WindowSize() const {
    return {width(), height()};
}

SystemColours ShadedButtonWidget::Colours() const {
    return ColoursOf(palette());
}

void ShadedButtonWidget::TakeFocus() {
    setFocus(Qt::MouseFocusReason);
}

bool ShadedButtonWidget::RequestLeaveNotification() {
    leaveRequested = true;
    return true;
}

bool ShadedButtonWidget::CancelLeaveNotification() {
    bool was = leaveRequested;
    leaveRequested = false;
    return was;
}

bool ShadedButtonWidget::IsButtonAt(Point point) const {
    return rect().contains(point.x, point.y);
}

std::optional<ShadedButtonHost::Point> ShadedButtonWidget::PointerPosition() const {
    QPoint p = mapFromGlobal(QCursor::pos());
    return Point{p.x(), p.y()};
}

void ShadedButtonWidget::NotifyClick() {
    if (clicked) {
        clicked();
    }
}

void ShadedButtonWidget::PostUncheck(ShadedButton& button) {
    ShadedButton* target = &button;
    QTimer::singleShot(0, this, [target] { target->OnUncheck(); });
}

void ShadedButtonWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtCanvas canvas(painter, {width(), height()});
    SystemColours colours = Colours();
    if (model == nullptr) {
        canvas.FillRect({0, 0, width(), height()}, colours.face);
        canvas.DrawEdge({0, 0, width(), height()}, true, colours);
        canvas.DrawText(FromQt(caption), {0, 0, width(), height()},
                        dt::kSingleLine | dt::kVCenter | dt::kCenter, colours.buttonText, false);
        return;
    }
    DrawItemState state;
    state.item = {0, 0, width(), height()};
    state.selected = pushed;
    state.disabled = !isEnabled();
    state.focus = hasFocus();
    state.defaultButton = isDefault;
    if (!model->Draw(canvas, state, colours)) {
        update();  // the pushed look was corrected: draw again
    }
}

void ShadedButtonWidget::mousePressEvent(QMouseEvent* event) {
    if (model != nullptr && event->button() == Qt::LeftButton) {
        model->OnLeftButtonDown(ToPoint(event->position()));
    }
}

void ShadedButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (model != nullptr && event->button() == Qt::LeftButton) {
        model->OnLeftButtonUp(ToPoint(event->position()));
    }
}

void ShadedButtonWidget::mouseMoveEvent(QMouseEvent* event) {
    if (model != nullptr) {
        model->OnMouseMove(ToPoint(event->position()));
    }
}

void ShadedButtonWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (model != nullptr && event->button() == Qt::LeftButton) {
        model->OnDoubleClick(ToPoint(event->position()));
    }
}

void ShadedButtonWidget::leaveEvent(QEvent*) {
    if (model != nullptr && leaveRequested) {
        leaveRequested = false;
        model->OnMouseLeave();
    }
}

void ShadedButtonWidget::keyPressEvent(QKeyEvent* event) {
    if (model != nullptr && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        model->OnKeyDown(0x20);
        return;
    }
    QWidget::keyPressEvent(event);
}

void ShadedButtonWidget::keyReleaseEvent(QKeyEvent* event) {
    if (model != nullptr && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        model->OnKeyUp(0x20);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ShadedButtonWidget::focusOutEvent(QFocusEvent* event) {
    if (model != nullptr) {
        model->OnKillFocus();
    }
    QWidget::focusOutEvent(event);
}

}  // namespace qv
