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

// How many characters `text` holds: the Linux front end hands the program UTF-8, the Windows
// one the ANSI code page, where a lead byte and its trail byte make one character.
inline size_t CountCharacters(std::string_view text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
#ifdef _WIN32
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            ++i;
        }
        ++count;
#else
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++count;
        }
#endif
    }
    return count;
}

// Creates `dir` and its missing parents; the last component gets mode 0700 where modes exist.
bool EnsurePrivateDirectory(const std::string& dir, char separator);

}  // namespace qv
