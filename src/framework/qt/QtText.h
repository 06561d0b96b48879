#pragma once

#include <QString>
#include <QStringDecoder>
#include <string>
#include <string_view>

namespace qv {

// The program keeps text as bytes; widgets want Unicode. Bytes that are valid UTF-8 show as
// such, anything else as Latin-1, so every byte shows as something and nothing is lost in
// the program's own copy.
inline QString ToQt(std::string_view bytes) {
    // Only the decoder knows whether the bytes were valid: a replacement character in the
    // result may also be the bytes of one in the text. Stateless: a sequence cut off at the
    // end is an error too.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return text;
}

inline std::string FromQt(const QString& text) {
    QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace qv
