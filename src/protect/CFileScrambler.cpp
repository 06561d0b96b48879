#include "protect/CFileScrambler.h"

#include <vector>

#include "platform/NewFile.h"
#include "settings/SettingsKeys.h"

namespace qv {

CFileScrambler::Presence CFileScrambler::Find(const std::string& path) {
    FileIdentity identity;
    switch (files.Identify(path, identity)) {
        case FileSystem::Lookup::Found:
            if (!identity.regular) {
                return Presence::None;
            }
            return identity.size == 0 ? Presence::Empty : Presence::File;
        case FileSystem::Lookup::Missing:
            return Presence::None;
        case FileSystem::Lookup::Failed:
            break;
    }
    return Presence::Unknown;
}

CFileScrambler::Result CFileScrambler::Transform(const std::string& source,
                                                 const std::string& target, const Messages& texts) {
    auto report = [this](const char* text) {
        if (text != nullptr) {
            messages.MessageBox(text);
        }
    };
    Presence found = Find(source);
    if (found == Presence::None) {
        report(texts.sourceMissing);
        return Result::SourceMissing;
    }
    if (found == Presence::Unknown) {
        report(texts.sourceUnreadable);
        return Result::Failed;
    }
    auto in = files.Open(source, {OpenMode::ReadExisting, true, false, true});
    if (!in) {
        report(texts.sourceUnreadable);
        return Result::Failed;
    }
    std::vector<char> buffer(1 << 16);
    bool readOk = true;
    bool written = WriteNewFile(files, target, [&](File& out) {
        for (;;) {
            long long n = in->Read(buffer.data(), buffer.size());
            if (n == 0) {
                return true;
            }
            if (n < 0) {
                readOk = false;
                return false;
            }
            for (long long i = 0; i < n; ++i) {
                buffer[static_cast<size_t>(i)] ^= static_cast<char>(kKey);
            }
            if (!out.Write(buffer.data(), static_cast<size_t>(n))) {
                return false;
            }
        }
    });
    in.reset();
    if (!written) {
        // An incomplete copy is worth nothing and the source still holds everything; a
        // complete one whose rename was not confirmed stays beside it, as complete.
        report(readOk ? texts.targetFailed : texts.sourceUnreadable);
        return Result::Failed;
    }
    // Should this fail, both forms stay, complete; the plain one wins at the next start.
    files.Remove(source);
    return Result::Done;
}

CFileScrambler::Result CFileScrambler::DecryptIniFile() {
    Presence plain = Find(settings::kPlainPath);
    if (plain == Presence::Unknown) {
        return Result::Failed;
    }
    // The plain file wins; the scrambled one is left as it is. An empty plain file is no
    // settings file: one left by an older version's crash must not hide a scrambled one.
    if (plain == Presence::File ||
        (plain == Presence::Empty && Find(settings::kScrambledPath) == Presence::None)) {
        return files.Open(settings::kPlainPath, {OpenMode::ReadExisting, false, false, false})
                   ? Result::Done
                   : Result::Failed;
    }
    // Neither form is a first run, not an error: nothing to say.
    return Transform(settings::kScrambledPath, settings::kPlainPath,
                     {nullptr, "Unable to open file to write Decryption to (ini)",
                      "Unable to open file to Decrypt (ini)"});
}

CFileScrambler::Result CFileScrambler::DecryptLogFile() {
    switch (Find(logPath)) {
        case Presence::File:
        case Presence::Empty:
            return Result::Done;  // the plain log wins: it is the newer whenever both exist
        case Presence::Unknown:
            messages.MessageBox(kLogUnreadable);
            return Result::Failed;
        case Presence::None:
            break;
    }
    return Transform(scrambledLogPath, logPath,
                     {nullptr, "Unable to open file to write Decryption to", kLogUnreadable});
}

CFileScrambler::Result CFileScrambler::EncryptLogFile() {
    return Transform(
        logPath, scrambledLogPath,
        {"Unable to open file to Encrypt (log)", "Unable to open file to write encryption to",
         "Unable to open file to Encrypt (log)"});
}

CFileScrambler::Result CFileScrambler::EncryptIniFile() {
    return Transform(
        settings::kPlainPath, settings::kScrambledPath,
        {"Unable to open file to Encrypt (ini)", "Unable to open file to write encryption to (ini)",
         "Unable to open file to Encrypt (ini)"});
}

}  // namespace qv
