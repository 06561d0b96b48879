#pragma once

#include <string>
#include <string_view>

namespace qv {

// All text is 8-bit bytes; case folding is ASCII-only and the same on every platform.
inline char ToLowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

inline std::string ToLowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = ToLowerAscii(c);
    }
    return out;
}

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// True when `c` starts a two-byte character in the user's ANSI code page.
bool IsLeadByte(char c);

// Creates `dir` and its missing parents; the last component gets mode 0700 where modes exist.
bool EnsurePrivateDirectory(const std::string& dir, char separator);

}  // namespace qv
