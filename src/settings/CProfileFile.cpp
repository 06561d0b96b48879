#include "settings/CProfileFile.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/Text.h"

namespace qv {
void CProfileFile::SetPath(const char* newPath) {
    if (newPath != nullptr) {
        path = std::string(newPath);
    } else if (path) {
        path->clear();
    }
}

const std::string& CProfileFile::FileName() const {
    static const std::string none;
    return path ? *path : none;
}

void CProfileFile::ReadRaw(const char* section, const char* key, const char* fallback,
                           RawText& raw) {
    if (section == nullptr || key == nullptr) {
        raw.text = fallback != nullptr ? fallback : "";
        return;
    }
    // Try again with twice the room until the value fits with room to spare: the functions
    // cannot tell the size they need, and a value may be megabytes long. Most values fit
    // the first buffer, on the stack.
    char* buffer = raw.first;
    for (unsigned size = kFirstBufferSize;; size *= 2) {
        if (size > kFirstBufferSize) {
            raw.grown = std::make_unique_for_overwrite<char[]>(size + 1);
            buffer = raw.grown.get();
        }
        unsigned n =
            functions.GetString(section, key, fallback ? fallback : "", buffer, size, FileName());
        buffer[n < size ? n : size] = '\0';
        if (n + 1 < size || size >= kLastBufferSize) {
            raw.text = buffer;
            return;
        }
    }
}

std::string CProfileFile::GetString(const char* section, const char* key, const char* fallback) {
    RawText raw;
    ReadRaw(section, key, fallback, raw);
    return std::string(raw.text);
}

size_t CProfileFile::GetStringToBuffer(const char* section, const char* key, char* out,
                                       size_t outLength, const char* fallback) {
    if (out != nullptr) {
        out[0] = '\0';
    }
    RawText raw;
    ReadRaw(section, key, fallback, raw);
    const char* s = raw.text;
    size_t len = std::strlen(s);
    if (out != nullptr) {
        // Copy whole characters only: a two-byte character is never cut in half.
        size_t copied = 0;
        while (copied < len && copied < outLength) {
            size_t width = (IsLeadByte(s[copied]) && copied + 1 < len) ? 2 : 1;
            if (copied + width > outLength) {
                break;
            }
            copied += width;
        }
        std::memcpy(out, s, copied);
        if (copied < outLength) {
            std::memset(out + copied, 0, outLength - copied);
        }
        if (len >= outLength) {
            len = outLength;
        }
    }
    return len;
}

int CProfileFile::GetBool(const char* section, const char* key, int fallback) {
    char buffer[65] = {};
    GetStringToBuffer(section, key, buffer, 64, nullptr);
    return ParseBool(buffer, fallback);
}

int CProfileFile::ParseBool(const char* text, int fallback) {
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    if (EqualsNoCase(text, "true") || EqualsNoCase(text, "yes")) {
        return 1;
    }
    // A signed decimal number, as atoi reads it, saturating at the 32-bit limits.
    const char* p = text;
    while (IsBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
        ++p;
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        value = INT_MAX;
    }
    return value != 0 ? 1 : 0;
}

int CProfileFile::WriteInt(const char* section, const char* key, int32_t value, int base) {
    char buffer[65] = {};
    FormatInteger(value, buffer, base);
    return WriteString(section, key, buffer);
}

void CProfileFile::FormatInteger(int32_t value, char* buffer, int base) {
    switch (base) {
        case 2:
            FormatBinary(static_cast<uint32_t>(value), buffer, 64);
            break;
        case 8:
            std::snprintf(buffer, 65, "%o", static_cast<unsigned>(static_cast<uint32_t>(value)));
            break;
        case 16:
            std::snprintf(buffer, 65, "%X", static_cast<unsigned>(static_cast<uint32_t>(value)));
            break;
        default:
            std::snprintf(buffer, 65, "%d", static_cast<int>(value));
            break;
    }
}

void CProfileFile::FormatBinary(uint32_t value, char* buffer, unsigned maxDigits) {
    if (maxDigits == 0) {
        return;
    }
    unsigned n = 0;
    do {
        buffer[n++] = (value & 1u) ? '1' : '0';
        value >>= 1;
    } while (value != 0 && n < maxDigits);
    buffer[n] = '\0';
    for (unsigned i = 0, j = n - 1; i < j; ++i, --j) {
        char t = buffer[i];
        buffer[i] = buffer[j];
        buffer[j] = t;
    }
}

int CProfileFile::WriteBool(const char* section, const char* key, int flag) {
    return WriteInt(section, key, flag != 0 ? 1 : 0, 10);
}

int CProfileFile::WriteString(const char* section, const char* key, const char* value) {
    if (section == nullptr || key == nullptr) {
        return 0;
    }
    return functions.WriteString(section, key, value != nullptr ? value : "", FileName());
}

unsigned CProfileFile::GetSectionNames(char* buffer, unsigned size) {
    if (buffer != nullptr) {
        return functions.GetSectionNames(buffer, size, FileName());
    }
    unsigned length = 0;
    ReadSectionNames(length);
    return length + 2;
}

CProfileFile::NameList CProfileFile::GetSectionNameList() {
    unsigned length = 0;
    return ReadSectionNames(length);
}

CProfileFile::NameList CProfileFile::ReadSectionNames(unsigned& length) {
    // As for values: twice the room at each try, until the list fits with room to spare.
    for (unsigned size = kFirstBufferSize;; size *= 2) {
        auto list = std::make_unique_for_overwrite<char[]>(size + 2);
        unsigned n = functions.GetSectionNames(list.get(), size, FileName());
        if (n + 2 < size || size >= kLastBufferSize) {
            // A list cut at the last size still ends: its last name, then the list.
            length = n < size ? n : size;
            list[length] = '\0';
            list[length + 1] = '\0';
            return list;
        }
    }
}

int CProfileFile::ForEachListEntry(const char* list, ListVisitor visitor, void* context) {
    if (list == nullptr || visitor == nullptr) {
        return 0;
    }
    for (const char* entry = list; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (visitor(entry, context) == 0) {
            return 0;
        }
    }
    return 1;
}

int CProfileFile::SectionExists(const char* name) {
    if (name == nullptr) {
        return 0;
    }
    auto list = GetSectionNameList();
    auto differs = [](const char* entry, void* context) -> int {
        return EqualsNoCase(entry, static_cast<const char*>(context)) ? 0 : 1;
    };
    return ForEachListEntry(list.get(), differs, const_cast<char*>(name)) == 0 ? 1 : 0;
}

}  // namespace qv
