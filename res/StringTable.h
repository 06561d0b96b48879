#pragma once

#include <string>

namespace qv {

inline constexpr unsigned kIdsAppTitle = 57344;          // application title
inline constexpr unsigned kIdsPendingChange = 57345;     // pending change question
inline constexpr unsigned kIdsLogPathPrefix = 57346;     // settings folder and log name prefix
inline constexpr unsigned kIdsPasswordDisabled = 57347;  // first-run set-up cancelled
inline constexpr unsigned kIdrMainFrame = 128;           // document string

// The text of string table entry `id`; the empty text for an unknown id.
const std::string& LoadString(unsigned id);

}  // namespace qv
