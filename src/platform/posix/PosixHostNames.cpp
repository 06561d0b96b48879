#include <arpa/inet.h>
#include <idn2.h>

#include <cstdlib>

#include "platform/HostNames.h"

namespace qv {

std::optional<std::string> HostNameToAscii(const std::string& name) {
    char* ascii = nullptr;
    // Non-transitional mapping: "ß" stays a letter of its own, as browsers treat it.
    int rc = idn2_to_ascii_8z(name.c_str(), &ascii, IDN2_NONTRANSITIONAL | IDN2_NFC_INPUT);
    if (rc != IDN2_OK) {
        return std::nullopt;
    }
    std::string out(ascii);
    idn2_free(ascii);
    return out;
}

bool IsIpAddress(const std::string& text) {
    unsigned char address[16];
    return ::inet_pton(AF_INET, text.c_str(), address) == 1 ||
           ::inet_pton(AF_INET6, text.c_str(), address) == 1;
}

}  // namespace qv
