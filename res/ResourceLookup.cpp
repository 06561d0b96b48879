#include <string>
#include <string_view>
#include <vector>

#include "framework/Resources.h"

namespace qv {
namespace {

bool SameType(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 32) : a[i];
        char y = (b[i] >= 'a' && b[i] <= 'z') ? static_cast<char>(b[i] - 32) : b[i];
        if (x != y) {
            return false;
        }
    }
    return true;
}

}  // namespace

const std::string* FindResource(const std::string& type, int id) {
    // One string per resource, made on the first lookup and kept for the run.
    static const std::vector<std::string> copies = [] {
        std::vector<std::string> all;
        for (const EmbeddedResource& r : EmbeddedResources()) {
            all.emplace_back(reinterpret_cast<const char*>(r.bytes), r.size);
        }
        return all;
    }();
    std::span<const EmbeddedResource> all = EmbeddedResources();
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].id == id && SameType(all[i].type, type)) {
            return &copies[i];
        }
    }
    return nullptr;
}

}  // namespace qv
