#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Buffer conventions of the Windows profile functions, shared by our implementation.

// Copies `value` into `out` (size bytes) with a NUL, cut to size - 1 characters.
unsigned CopyProfileValue(std::string_view value, char* out, unsigned size);

// Copies the names, each ended by a NUL, plus a final NUL. A list that does not fit is cut
// (the last name shortened and ended by a single NUL) and the result is size - 2.
unsigned CopyProfileSectionNames(const std::vector<std::string>& names, char* out, unsigned size);

}  // namespace qv
