#include "hosts/HostNameInput.h"

#include "platform/HostNames.h"
#include "platform/Text.h"

namespace qv {
namespace {

bool IsSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

bool IsLabelChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string CutToHostName(std::string_view typed) {
    std::string_view text = TrimBlanks(typed);
    size_t scheme = text.find("://");
    if (scheme != std::string_view::npos && scheme > 0) {
        bool isScheme = true;
        for (size_t i = 0; i < scheme; ++i) {
            isScheme = isScheme && IsSchemeChar(text[i]);
        }
        if (isScheme) {
            text.remove_prefix(scheme + 3);
        }
    } else if (text.substr(0, 2) == "//") {
        text.remove_prefix(2);
    }
    text = text.substr(0, text.find_first_of("/?#"));
    size_t user = text.rfind('@');
    if (user != std::string_view::npos) {
        text.remove_prefix(user + 1);
    }
    text = text.substr(0, text.find(':'));
    if (!text.empty() && text.back() == '.') {
        text.remove_suffix(1);
    }
    return std::string(text);
}

bool IsValidHostName(std::string_view name) {
    if (name.empty() || name.size() > 253) {
        return false;
    }
    size_t label = 0;
    for (char c : name) {
        if (c == '.') {
            if (label == 0) {
                return false;
            }
            label = 0;
        } else if (!IsLabelChar(c) || ++label > 63) {
            return false;
        }
    }
    return label != 0;
}

std::optional<std::string> CheckedHostName(std::string_view typed) {
    std::string name = CutToHostName(typed);
    if (!IsAscii(name)) {
        std::optional<std::string> ascii = HostNameToAscii(name);
        if (!ascii) {
            return std::nullopt;
        }
        name = std::move(*ascii);
    }
    if (!IsValidHostName(name)) {
        return std::nullopt;
    }
    return name;
}

std::optional<std::string> CheckedIpAddress(std::string_view typed) {
    std::string address(TrimBlanks(typed));
    if (!IsIpAddress(address)) {
        return std::nullopt;
    }
    return address;
}

}  // namespace qv
