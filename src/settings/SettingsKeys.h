#pragma once

namespace qv::settings {

// The settings file while the program runs, and its scrambled form between runs.
inline constexpr const char* kPlainPath = "C:\\Windows\\System32\\Quorvex.ini";
inline constexpr const char* kScrambledPath = "C:\\Windows\\System32\\Quorvex.cpt";

// Section "Main": the program's own keys.
inline constexpr const char* kMainSection = "Main";
inline constexpr const char* kInstalledKey = "Installed";  // boolean: first-run defaults written
inline constexpr const char* kReqPassKey = "ReqPass";      // boolean: ask for the password at start
inline constexpr const char* kSetKey = "Set";              // boolean: a password is stored
inline constexpr const char* kPasswordKey = "Password";    // text: the stored password

// Per-restriction sections, named after the restriction's URL.
inline constexpr const char* kDescKey = "Desc";       // description, CR LF stored as "~~"
inline constexpr const char* kHiddenKey = "Hidden";   // boolean: leave out of the list
inline constexpr const char* kMissingDesc = "Error";  // shown when a section has no description

}  // namespace qv::settings

namespace qv {

// Said when the settings file could not be written.
inline constexpr const char* kSettingsNotStored = "Unable to store the settings.";
inline constexpr const char* kPasswordNotStored = "Unable to store the password.";
// Said when a settings file exists but cannot be read or unscrambled; the program then ends
// without writing anything, so the password and the settings are kept.
inline constexpr const char* kSettingsUnreadable =
    "The settings file cannot be read. Quorvex will close without changing any file, so that "
    "the password and the settings are kept.";

}  // namespace qv
