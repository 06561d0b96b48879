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

unsigned CopyProfileSectionList(std::string_view list, char* out, unsigned size) {
    if (out == nullptr || size == 0) {
        return 0;
    }
    // One byte stays for the list's final NUL.
    if (list.size() + 1 < size) {
        std::memcpy(out, list.data(), list.size());
        out[list.size()] = '\0';
        return static_cast<unsigned>(list.size());
    }
    if (size == 1) {
        out[0] = '\0';
        return 0;
    }
    // Cut: the last name that fits in part ends with its own NUL and no second NUL follows,
    // as the system's function has it.
    std::memcpy(out, list.data(), size - 2);
    out[size - 2] = '\0';
    return size - 2;
}

unsigned CopyProfileSectionNames(const std::vector<std::string>& names, char* out, unsigned size) {
    std::string list;
    for (const std::string& name : names) {
        if (!name.empty()) {
            list += name;
            list += '\0';
        }
    }
    return CopyProfileSectionList(list, out, size);
}

}  // namespace qv
