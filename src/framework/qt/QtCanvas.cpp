#include "framework/qt/QtCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPalette>
#include <cstring>
#include <vector>

#include "framework/qt/QtText.h"

namespace qv {

QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

Colour FromQColor(const QColor& c) {
    return Rgb(c.red(), c.green(), c.blue());
}

SystemColours ColoursOf(const QPalette& p) {
    SystemColours c;
    c.face = FromQColor(p.color(QPalette::Button));
    c.shadow = FromQColor(p.color(QPalette::Dark));
    c.darkShadow = FromQColor(p.color(QPalette::Shadow));
    c.light = FromQColor(p.color(QPalette::Midlight));
    c.highlight = FromQColor(p.color(QPalette::Light));
    c.grayText = FromQColor(p.color(QPalette::Disabled, QPalette::ButtonText));
    c.buttonText = FromQColor(p.color(QPalette::ButtonText));
    return c;
}

void QtCanvas::FillRect(const Rect& r, Colour colour) {
    painter.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), ToQColor(colour));
}

void QtCanvas::PaintBitmap(const uint8_t* block, int x, int y) {
    if (block == nullptr) {
        return;
    }
    // A device-independent bitmap block is a BMP file without its 14-byte file header.
    uint32_t headerSize;
    uint32_t used;
    uint16_t bits;
    int32_t width;
    int32_t height;
    std::memcpy(&headerSize, block, 4);
    std::memcpy(&width, block + 4, 4);
    std::memcpy(&height, block + 8, 4);
    std::memcpy(&bits, block + 14, 2);
    std::memcpy(&used, block + 32, 4);
    if (width <= 0 || height == 0 || headerSize < 40) {
        return;
    }
    uint32_t entries = bits <= 8 ? (used != 0 ? used : (1u << bits)) : 0;
    uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
    uint64_t rows = height > 0 ? static_cast<uint64_t>(height) : static_cast<uint64_t>(-height);
    uint64_t size = headerSize + 4ull * entries + stride * rows;
    std::vector<uchar> file(14 + size);
    uint32_t fileSize = static_cast<uint32_t>(file.size());
    uint32_t offset = static_cast<uint32_t>(14 + headerSize + 4 * entries);
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(&file[2], &fileSize, 4);
    std::memcpy(&file[10], &offset, 4);
    std::memcpy(&file[14], block, size);
    QImage image;
    if (image.loadFromData(file.data(), static_cast<int>(file.size()), "BMP")) {
        painter.drawImage(x, y, image);
    }
}

void QtCanvas::FrameRect(const Rect& r, Colour topLeft, Colour bottomRight) {
    if (r.Width() <= 0 || r.Height() <= 0) {
        return;
    }
    QColor tl = ToQColor(topLeft);
    QColor br = ToQColor(bottomRight);
    painter.fillRect(QRect(r.left, r.top, r.Width(), 1), tl);
    painter.fillRect(QRect(r.left, r.top, 1, r.Height()), tl);
    painter.fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), br);
    painter.fillRect(QRect(r.right - 1, r.top, 1, r.Height()), br);
}

void QtCanvas::DrawText(const std::string& text, const Rect& r, unsigned format, Colour colour,
                        bool underline) {
    int flags = Qt::TextShowMnemonic;
    if ((format & dt::kCenter) != 0) {
        flags |= Qt::AlignHCenter;
    } else if ((format & dt::kRight) != 0) {
        flags |= Qt::AlignRight;
    } else {
        flags |= Qt::AlignLeft;
    }
    flags |= (format & dt::kVCenter) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    if ((format & dt::kSingleLine) != 0) {
        flags |= Qt::TextSingleLine;
    }
    painter.save();
    QFont font = painter.font();
    font.setUnderline(underline);
    painter.setFont(font);
    painter.setPen(ToQColor(colour));
    painter.drawText(QRect(r.left, r.top, r.Width(), r.Height()), flags, ToQt(text));
    painter.restore();
}

Size QtCanvas::TextExtent(const std::string& text, bool underline) {
    QFont font = painter.font();
    font.setUnderline(underline);
    QFontMetrics metrics(font);
    QString shown = ToQt(text);
    shown.remove(QLatin1Char('&'));
    return {metrics.horizontalAdvance(shown), metrics.height()};
}

}  // namespace qv
