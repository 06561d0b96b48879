#include "hosts/HostsLine.h"

namespace qv {
namespace {

std::string_view TrimSpaces(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::string_view UrlField(std::string_view line) {
    size_t space = line.find(' ');
    return space == std::string_view::npos ? line : TrimSpaces(line.substr(space));
}

std::string FormatHostsLine(std::string_view line) {
    size_t space = line.find(' ');
    std::string_view ip =
        space == std::string_view::npos ? std::string_view() : line.substr(0, space);
    std::string out;
    out.reserve(line.size() + 1);
    out.append(ip);
    out += ' ';
    out.append(UrlField(line));
    return out;
}

}  // namespace qv
