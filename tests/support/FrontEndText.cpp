#include "support/FrontEndText.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#endif

namespace qv::test {

#ifdef _WIN32
std::string FrontEndText(const std::string& utf8) {
    int size = static_cast<int>(utf8.size());
    int wideSize = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideSize <= 0) {
        return utf8;
    }
    std::vector<wchar_t> wide(static_cast<size_t>(wideSize));
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideSize);
    int ansiSize =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(ansiSize), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, ansi.data(), ansiSize, nullptr, nullptr);
    return ansi;
}
#else
std::string FrontEndText(const std::string& utf8) {
    return utf8;
}
#endif

}  // namespace qv::test
