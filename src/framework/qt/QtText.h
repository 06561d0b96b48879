#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qv {

// The program keeps text as bytes; widgets want Unicode. Bytes that are valid UTF-8 show as
// such, anything else as Latin-1, so every byte shows as something and nothing is lost in
// the program's own copy.
inline QString ToQt(std::string_view bytes) {
    QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (text.contains(QChar::ReplacementCharacter) &&
        bytes.find("\xEF\xBF\xBD") == std::string_view::npos) {
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    return text;
}

inline std::string FromQt(const QString& text) {
    QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace qv
