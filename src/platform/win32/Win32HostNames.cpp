#include <winsock2.h>
// After winsock2.h, which it needs.
#include <windows.h>
#include <ws2tcpip.h>

#include <vector>

#include "platform/HostNames.h"

namespace qv {

std::optional<std::string> HostNameToAscii(const std::string& name) {
    // The dialog text is in the ANSI code page; the conversion takes UTF-16.
    int wideSize = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(),
                                       static_cast<int>(name.size()), nullptr, 0);
    if (wideSize <= 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> wide(static_cast<size_t>(wideSize));
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()),
                        wide.data(), wideSize);
    int asciiSize = IdnToAscii(0, wide.data(), wideSize, nullptr, 0);
    if (asciiSize <= 0) {
        return std::nullopt;
    }
    std::vector<wchar_t> ascii(static_cast<size_t>(asciiSize));
    if (IdnToAscii(0, wide.data(), wideSize, ascii.data(), asciiSize) != asciiSize) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(ascii.size());
    for (wchar_t c : ascii) {
        if (c > 0x7F) {
            return std::nullopt;
        }
        out += static_cast<char>(c);
    }
    return out;
}

bool IsIpAddress(const std::string& text) {
    unsigned char address[16];
    return inet_pton(AF_INET, text.c_str(), address) == 1 ||
           inet_pton(AF_INET6, text.c_str(), address) == 1;
}

}  // namespace qv
