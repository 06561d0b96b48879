#pragma once

#include <QPainter>

#include "framework/Canvas.h"

namespace qv {

// The canvas of a widget's paint event, over QPainter, in the application's font.
class QtCanvas : public Canvas {
public:
    QtCanvas(QPainter& painter, Size extent) : painter(painter), extent(extent) {}

    Size Extent() const override { return extent; }
    void FillRect(const Rect& rect, Colour colour) override;
    void PaintBitmap(const uint8_t* block, int x, int y) override;
    void FrameRect(const Rect& rect, Colour topLeft, Colour bottomRight) override;
    void DrawText(const std::string& text, const Rect& rect, unsigned format, Colour colour,
                  bool underline) override;
    Size TextExtent(const std::string& text, bool underline) override;

private:
    QPainter& painter;
    Size extent;
};

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);
// The desktop colours of the widget's palette.
SystemColours ColoursOf(const QPalette& palette);

}  // namespace qv
