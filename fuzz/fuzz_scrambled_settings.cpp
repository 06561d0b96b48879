// The scrambled settings file as the program meets it at start-up: the input is
// Quorvex.cpt. It is unscrambled into Quorvex.ini, the Main keys are read through
// CProfileFile, a fixed guess is checked against the stored password value the way the
// password gate does, and the file is scrambled again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSandbox.h"
#include "IniModel.h"
#include "access/PasswordHash.h"
#include "framework/MessageBoxes.h"
#include "platform/posix/PosixProfileFunctions.h"
#include "protect/CFileScrambler.h"
#include "settings/CProfileFile.h"
#include "settings/SettingsKeys.h"

namespace qv::fuzz {
namespace {

using namespace settings;

constexpr const char* kGuess = "secret1";
// Stored values may ask for up to 100,000,000 rounds. The real hashing runs, with at most
// this many, so that a run stays fast and a seed hashed with no more than this still matches.
constexpr unsigned kMaxRounds = 1000;

class BoundedHashing : public PasswordHashing {
public:
    explicit BoundedHashing(PasswordHashing& real) : real(real) { SetIterationsForTests(100); }
    bool RandomBytes(unsigned char* out, size_t count) override {
        return real.RandomBytes(out, count);
    }
    bool DeriveSha256(const std::string& password, const std::string& salt, unsigned iterations,
                      unsigned char out[32]) override {
        ++calls;
        lastPassword = password;
        lastSalt = salt;
        lastIterations = iterations;
        return real.DeriveSha256(password, salt, iterations < kMaxRounds ? iterations : kMaxRounds,
                                 out);
    }
    PasswordHashing& real;
    int calls = 0;
    std::string lastPassword;
    std::string lastSalt;
    unsigned lastIterations = 0;
};

class Messages : public MessageBoxes {
public:
    int MessageBox(const std::string& text, const std::string&, unsigned) override {
        shown.push_back(text);
        return kIdOk;
    }
    std::vector<std::string> shown;
};

// Base64 as stored passwords use it: the standard alphabet, no padding, bits left over at
// the end ignored; any other character makes the text invalid.
std::optional<std::string> DecodeBase64(std::string_view text) {
    static const std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        size_t v = alphabet.find(c);
        if (c == '\0' || v == std::string_view::npos) {
            return std::nullopt;
        }
        bits = ((bits << 6) | static_cast<uint32_t>(v)) & 0xFFFFFF;
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

struct StoredHash {
    unsigned long rounds;
    std::string salt;
    std::string hash;
};

// "pbkdf2-sha256$<rounds>$<salt>$<hash>": rounds a decimal number from 1 to 100,000,000 (as
// strtoul reads it: blanks and a sign may lead), salt and hash base64, the hash 32 bytes.
std::optional<StoredHash> ParseStored(std::string_view stored) {
    std::string_view prefix = kPasswordHashPrefix;
    if (stored.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    stored.remove_prefix(prefix.size());
    size_t second = stored.find('$');
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    size_t third = stored.find('$', second + 1);
    if (third == std::string_view::npos) {
        return std::nullopt;
    }
    std::string count(stored.substr(0, second));
    char* end = nullptr;
    unsigned long rounds = std::strtoul(count.c_str(), &end, 10);
    auto salt = DecodeBase64(stored.substr(second + 1, third - second - 1));
    auto hash = DecodeBase64(stored.substr(third + 1));
    if (count.empty() || end != count.c_str() + count.size() || rounds == 0 || rounds > 100000000 ||
        !salt || !hash || hash->size() != 32) {
        return std::nullopt;
    }
    return StoredHash{rounds, *salt, *hash};
}

std::string Scrambled(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        c = static_cast<char>(c ^ 0x6B);
    }
    return out;
}

struct Setup {
    Setup() : sandbox(Sandbox::Get()), hashing(sandbox.ThePlatform().Passwords()) {
        // A stored value made by the program itself must match the right password only.
        auto stored = HashPassword(hashing, kGuess);
        FUZZ_CHECK(stored && VerifyPassword(hashing, *stored, kGuess) == PasswordMatch::Right &&
                       VerifyPassword(hashing, *stored, "secret2") == PasswordMatch::Wrong &&
                       ParseStored(*stored) && ParseStored(*stored)->rounds == 100,
                   "a fresh hash does not verify: " + Quote(stored.value_or("none")));
    }
    Sandbox& sandbox;
    BoundedHashing hashing;
    std::string logPath = "C:\\Windows\\System32\\Quorvexlog.log";
    std::string scrambledLogPath = "C:\\Windows\\System32\\Quorvexlog.cpt";
};

void CheckPassword(BoundedHashing& hashing, const std::string& stored) {
    hashing.calls = 0;
    PasswordMatch match = VerifyPassword(hashing, stored, kGuess);
    std::string detail =
        "stored " + Quote(stored) + " gave " + std::to_string(static_cast<int>(match));
    std::optional<StoredHash> parsed = ParseStored(stored);
    PasswordMatch expected = PasswordMatch::Wrong;
    if (stored.compare(0, std::string_view(kPasswordHashPrefix).size(), kPasswordHashPrefix) != 0) {
        // Plain text from an older version.
        FUZZ_CHECK(hashing.calls == 0, detail);
        expected = stored == kGuess ? PasswordMatch::RightButPlain : PasswordMatch::Wrong;
    } else if (parsed) {
        FUZZ_CHECK(hashing.calls == 1 && hashing.lastPassword == kGuess &&
                       hashing.lastSalt == parsed->salt && hashing.lastIterations == parsed->rounds,
                   detail + " hashed with " + std::to_string(hashing.lastIterations) + " rounds");
        unsigned char derived[32];
        FUZZ_CHECK(hashing.real.DeriveSha256(
                       kGuess, parsed->salt,
                       parsed->rounds < kMaxRounds ? parsed->rounds : kMaxRounds, derived),
                   detail);
        if (std::string(reinterpret_cast<char*>(derived), 32) == parsed->hash) {
            expected = PasswordMatch::Right;
        }
    } else {
        FUZZ_CHECK(hashing.calls == 0, detail + " hashed a malformed value");
    }
    FUZZ_CHECK(match == expected,
               detail + " expected " + std::to_string(static_cast<int>(expected)));
}

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qv;
    using namespace qv::fuzz;
    static Setup setup;
    Sandbox& sandbox = setup.sandbox;
    std::string_view input(reinterpret_cast<const char*>(data), size);

    sandbox.Remove(kPlainPath);
    sandbox.Write(kScrambledPath, input);
    Messages messages;
    CFileScrambler scrambler(sandbox.ThePlatform().Files(), messages, setup.logPath,
                             setup.scrambledLogPath);
    FUZZ_CHECK(scrambler.DecryptIniFile() == CFileScrambler::Result::Done, "unscrambling failed");
    std::string plain;
    FUZZ_CHECK(sandbox.Read(kPlainPath, plain) && plain == Scrambled(input),
               "unscrambled " + Quote(plain));
    FUZZ_CHECK(!sandbox.Exists(kScrambledPath), "the scrambled file stayed");

    // The start-up reads, each compared with the model of the unscrambled file.
    IniModel model = IniModel::Parse(plain);
    PosixProfileFunctions functions(PathMap::ForRoot(sandbox.Root()));
    CProfileFile settings(functions);
    settings.SetPath(kPlainPath);
    for (const char* key : {kInstalledKey, kReqPassKey, kSetKey}) {
        std::string value = model.Get(kMainSection, key).value_or("");
        for (int fallback : {0, 1}) {
            FUZZ_CHECK(
                settings.GetBool(kMainSection, key, fallback) == ExpectedBool(value, fallback),
                std::string(key) + " of " + Quote(value));
        }
    }
    // As the password gate reads it; an empty value matches nothing and is not checked.
    std::string stored = settings.GetString(kMainSection, kPasswordKey, "");
    std::optional<std::string> modelled = model.Get(kMainSection, kPasswordKey);
    FUZZ_CHECK(stored == BeforeNul(modelled.value_or("")), "password value " + Quote(stored));
    if (!stored.empty()) {
        CheckPassword(setup.hashing, stored);
    }
    FUZZ_CHECK(messages.shown.empty(), "message " + Quote(messages.shown.front()));

    // Scrambling again gives back the input, byte for byte.
    FUZZ_CHECK(scrambler.EncryptIniFile() == CFileScrambler::Result::Done, "scrambling failed");
    std::string again;
    FUZZ_CHECK(sandbox.Read(kScrambledPath, again) && again == input,
               "scrambled again " + Quote(again));
    FUZZ_CHECK(!sandbox.Exists(kPlainPath), "the plain file stayed");
    FUZZ_CHECK(!sandbox.Exists(std::string(kPlainPath) + ".new") &&
                   !sandbox.Exists(std::string(kScrambledPath) + ".new"),
               "a new file left behind");
    FUZZ_CHECK(messages.shown.empty(), "message " + Quote(messages.shown.front()));
    return 0;
}
