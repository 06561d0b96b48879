#include "platform/Paths.h"

#include "platform/Text.h"

namespace qv {
namespace {

constexpr std::string_view kEtcPrefix = "C:\\WINDOWS\\system32\\drivers\\etc\\";
constexpr std::string_view kSystemPrefix = "C:\\Windows\\System32\\";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

std::string Join(const std::string& root, char separator, std::string_view dir) {
    std::string out = root;
    if (out.empty() || out.back() != separator) {
        out += separator;
    }
    for (char c : dir) {
        out += c == '/' ? separator : c;
    }
    return out;
}

}  // namespace

PathMap::PathMap(std::string root, char separator) : root(std::move(root)), separator(separator) {}

std::string PathMap::SettingsDirectory() const {
    if (root.empty()) {
        return std::string(kSystemPrefix.substr(0, kSystemPrefix.size() - 1));
    }
    std::string dir = Join(root, separator, "var/lib/quorvex");
    if (!settingsDirectoryMade) {
        settingsDirectoryMade = EnsurePrivateDirectory(dir, separator);
    }
    return dir;
}

std::string PathMap::Map(std::string_view systemPath) const {
    if (root.empty()) {
        return std::string(systemPath);
    }
    if (StartsWithNoCase(systemPath, kEtcPrefix)) {
        return Join(root, separator, "etc/") + std::string(systemPath.substr(kEtcPrefix.size()));
    }
    if (StartsWithNoCase(systemPath, kSystemPrefix)) {
        return SettingsDirectory() + separator +
               std::string(systemPath.substr(kSystemPrefix.size()));
    }
    return std::string(systemPath);
}

}  // namespace qv
