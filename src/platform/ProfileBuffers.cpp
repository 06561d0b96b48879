#include "platform/ProfileBuffers.h"

#include <cstring>

namespace qv {

unsigned CopyProfileValue(std::string_view value, char* out, unsigned size) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<unsigned>(n);
}

unsigned CopyProfileSectionNames(const std::vector<std::string>& names, char* out, unsigned size) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    char* p = out;
    size_t room = size - 1;  // one byte stays for the list's final NUL
    for (const std::string& name : names) {
        if (name.empty()) {
            continue;
        }
        size_t need = name.size() + 1;
        if (need >= room) {
            // The last name is cut to what fits and ends with its own NUL; no second NUL
            // follows, as the system's function has it.
            std::memcpy(p, name.data(), room - 1);
            p[room - 1] = '\0';
            return size - 2;
        }
        std::memcpy(p, name.data(), name.size());
        p += name.size();
        *p++ = '\0';
        room -= need;
    }
    *p = '\0';
    return static_cast<unsigned>(p - out);
}

}  // namespace qv
