#pragma once

#include <cstddef>
#include <span>
#include <string>

// windows.h names its own resource lookup FindResource, as a macro. Ours takes the name
// back in any file that includes both; such a file includes windows.h first.
#ifdef FindResource
#undef FindResource
#endif

namespace qv {

// The program's resources that are not tables: two texts, two pictures and the icon. They
// are compiled into the binary (res/EmbeddedResources.cpp, written by res/generate-resources
// from res/text and res/images), so every target carries the same bytes.
//
// A resource is the bytes of its file, with no header, length or terminator of ours:
//   "TEXT"    8-bit text with CR LF line ends (138: the DOS edition's source, 148: the help)
//   "BITMAP"  a whole .bmp file: file header, info header, palette, bottom-up rows
//             (133: the DOS edition's main menu, 136: the landscape on the main form)
//   "ICON"    a whole .ico file: directory and one 32 x 32 image with its mask (128)
namespace rt {
inline constexpr const char* kText = "TEXT";
inline constexpr const char* kBitmap = "BITMAP";
inline constexpr const char* kIcon = "ICON";
}  // namespace rt

struct EmbeddedResource {
    const char* type;
    int id;
    const unsigned char* bytes;
    std::size_t size;
};

// Every embedded resource, in no particular order.
std::span<const EmbeddedResource> EmbeddedResources();

// The bytes of resource `id` of `type`, or nullptr when there is none. Types match without
// regard to case, as Windows resource types do.
const std::string* FindResource(const std::string& type, int id);

}  // namespace qv
