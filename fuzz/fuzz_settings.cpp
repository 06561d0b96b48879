// The settings reader: the input is a settings (INI) file. Every key and section in it is
// read through our profile functions and CProfileFile and compared with a model worked out
// from the reading rules; the section name list is filled into buffers of many sizes; then
// a few writes (replace a key, add a key, add a section, remove a key, remove a section) must
// change exactly what they name and keep every other line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSandbox.h"
#include "IniModel.h"
#include "platform/posix/PosixProfileFunctions.h"
#include "settings/CProfileFile.h"
#include "settings/SettingsKeys.h"

namespace qv::fuzz {
namespace {

constexpr const char* kIni = settings::kPlainPath;
// Enough to cover a small file's keys; a file of a thousand keys must not make one run slow.
constexpr size_t kMaxPairs = 48;

struct Pair {
    std::string section;
    std::string key;
};

bool HasByte(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// A name that a C string can carry and that reads back as itself when written.
bool UsableSectionName(std::string_view name) {
    return !name.empty() && !HasByte(name, '\0') && !HasByte(name, '\n') && !HasByte(name, ']') &&
           Trim(name) == name;
}

bool UsableKeyName(std::string_view key) {
    return !key.empty() && !HasByte(key, '\0') && !HasByte(key, '\n') && !HasByte(key, '=') &&
           key.front() != '[' && Trim(key) == key;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string Describe(const Pair& p) {
    return "[" + Quote(p.section) + "] " + Quote(p.key);
}

class SettingsRun {
public:
    explicit SettingsRun(std::string_view input)
        : sandbox(Sandbox::Get()),
          // A new cache each run: the file is rewritten in place, maybe within one tick of
          // the file system's clock, and a cache keyed on size and time may not see that.
          functions(PathMap::ForRoot(sandbox.Root())),
          settings(functions),
          input(input) {
        sandbox.Write(kIni, input);
        settings.SetPath(kIni);
        model = IniModel::Parse(input);
        for (const IniModel::Section& s : model.Sections()) {
            for (const IniModel::Key& k : s.keys) {
                if (pairs.size() < kMaxPairs && !HasByte(s.name, '\0') && !HasByte(k.name, '\0')) {
                    pairs.push_back({s.name, k.name});
                }
            }
        }
    }

    void CheckReads() {
        for (const Pair& p : pairs) {
            CheckRead(p.section, p.key);
            // Names match without regard to case or surrounding blanks.
            CheckRead(" " + Upper(p.section) + "\t", "\t" + Upper(p.key) + " ");
        }
        for (const IniModel::Section& s : model.Sections()) {
            if (!HasByte(s.name, '\0')) {
                CheckRead(s.name, "Quorvex no such key");
            }
        }
        CheckRead("Quorvex no such section", "Password");
        CheckNameList();
    }

    void CheckWrites() {
        // Replace the first two keys a write can name, the section named in upper case; the
        // last line of the input gives one value the fuzzer controls (blanks, quotes, '=').
        std::vector<std::string> lines = SplitLines(input);
        std::string fromInput = lines.empty() ? std::string("x") : BeforeNul(lines.back());
        int writes = 0;
        for (const Pair& p : pairs) {
            if (writes == 2) {
                break;
            }
            if (UsableSectionName(p.section) && UsableKeyName(p.key)) {
                Write(Upper(p.section), p.key, writes == 0 ? fromInput : "replaced value");
                ++writes;
            }
        }
        // Names are copied out of the model first: a write replaces the model.
        if (std::string name = FirstUsableSection();
            !name.empty() && !model.Get(name, "QuorvexNewKey")) {
            Write(name, "QuorvexNewKey", "added = value");
        }
        if (!model.Find("Quorvex New Section")) {
            Write("Quorvex New Section", "Key", "'quoted'");
        }
        WriteBoolRoundTrip();
        for (const Pair& p : pairs) {
            if (UsableSectionName(p.section) && UsableKeyName(p.key) &&
                model.Get(p.section, p.key)) {
                Remove(p.section, p.key.c_str());
                break;
            }
        }
        if (std::string name = FirstUsableSection(); !name.empty()) {
            Remove(name, nullptr);
        }
    }

private:
    // The first section that a write can name, or nothing.
    std::string FirstUsableSection() const {
        for (const IniModel::Section& s : model.Sections()) {
            if (UsableSectionName(s.name)) {
                return s.name;
            }
        }
        return {};
    }

    void CheckRead(const std::string& section, const std::string& key) {
        std::optional<std::string> expected = model.Get(section, key);
        std::string read = settings.GetString(section.c_str(), key.c_str(), "fallback  ");
        std::string want = expected ? BeforeNul(*expected) : std::string("fallback");
        FUZZ_CHECK(read == want, Describe({section, key}) + " read " + Quote(read) + " expected " +
                                     Quote(want) + " in " + Quote(input));

        char buffer[16];
        unsigned n =
            functions.GetString(section.c_str(), key.c_str(), "", buffer, sizeof buffer, kIni);
        std::string whole = expected ? *expected : std::string();
        size_t copied = std::min(whole.size(), sizeof buffer - 1);
        FUZZ_CHECK(n == copied &&
                       std::string_view(buffer, n) == std::string_view(whole).substr(0, n) &&
                       buffer[n] == '\0',
                   Describe({section, key}) + " cut read of " + Quote(whole));

        int off = settings.GetBool(section.c_str(), key.c_str(), 0);
        int on = settings.GetBool(section.c_str(), key.c_str(), 1);
        std::string value = expected ? *expected : std::string();
        FUZZ_CHECK(off == ExpectedBool(value, 0) && on == ExpectedBool(value, 1),
                   Describe({section, key}) + " bool " + std::to_string(off) + "/" +
                       std::to_string(on) + " of " + Quote(value));
    }

    void CheckNameList() {
        std::string list = model.NameList();
        size_t length = list.size() - 1;  // without the last NUL
        FUZZ_CHECK(settings.GetSectionNames(nullptr, 0) == length + 2,
                   "section list size for " + Quote(list));
        std::vector<unsigned> sizes = {0, 1, 2, 3, 7};
        for (size_t near = length == 0 ? 0 : length - 1; near <= length + 3; ++near) {
            sizes.push_back(static_cast<unsigned>(near));
        }
        for (unsigned size : sizes) {
            // Exactly `size` bytes, so AddressSanitizer sees a write past the end.
            std::unique_ptr<char[]> buffer(size == 0 ? nullptr : new char[size]);
            unsigned n = functions.GetSectionNames(buffer.get(), size, kIni);
            std::string detail = "section list " + Quote(list) + " in " + std::to_string(size) +
                                 " bytes gave " + std::to_string(n);
            if (size < 2) {
                FUZZ_CHECK(n == 0 && (size == 0 || buffer[0] == '\0'), detail);
            } else if (length + 2 < size) {
                FUZZ_CHECK(n == length && std::string_view(buffer.get(), n + 1) == list, detail);
            } else {
                // Cut: what fits of the list, ended by a NUL, and size - 2.
                FUZZ_CHECK(
                    n == size - 2 &&
                        std::string_view(buffer.get(), n) == std::string_view(list).substr(0, n) &&
                        buffer[n] == '\0',
                    detail);
            }
        }
        // The list is read as C strings up to an empty one: every name that can be asked for
        // must be in it.
        std::vector<std::string> listed;
        for (size_t at = 0; at < list.size() && list[at] != '\0'; at = list.find('\0', at) + 1) {
            listed.push_back(list.substr(at, list.find('\0', at) - at));
        }
        auto isListed = [&listed](std::string_view name) {
            for (const std::string& entry : listed) {
                if (SameName(entry, name)) {
                    return 1;
                }
            }
            return 0;
        };
        for (const IniModel::Section& s : model.Sections()) {
            if (!HasByte(s.name, '\0')) {
                FUZZ_CHECK(isListed(s.name) == (s.name.empty() ? 0 : 1),
                           "section " + Quote(s.name) + " in " + Quote(list));
                FUZZ_CHECK(settings.SectionExists(Upper(s.name).c_str()) == isListed(s.name),
                           "section " + Quote(s.name) + " in " + Quote(list));
            }
        }
        FUZZ_CHECK(settings.SectionExists("Quorvex no such section") ==
                       isListed("Quorvex no such section"),
                   "a missing section in " + Quote(list));
    }

    // Writes, then checks the read, and that the file changed by exactly the lines the
    // write names: one replaced, one inserted in the section, or a new section at the end.
    void Write(const std::string& section, const std::string& key, const std::string& value) {
        std::string before = Current();
        std::vector<std::string> old = SplitLines(before);
        const IniModel::Section* existing = model.Find(section);
        bool replaces = model.Get(section, key).has_value();
        FUZZ_CHECK(settings.WriteString(section.c_str(), key.c_str(), value.c_str()) != 0,
                   "write " + Describe({section, key}));
        std::string after = Current();
        std::vector<std::string> now = SplitLines(after);
        std::string line = key + "=" + value;
        std::string detail = "write " + Describe({section, key}) + " = " + Quote(value) + "\n  " +
                             Quote(before) + "\n  became " + Quote(after);
        if (replaces) {
            size_t changed = 0;
            FUZZ_CHECK(now.size() == old.size(), detail);
            for (size_t i = 0; i < now.size(); ++i) {
                if (now[i] != old[i]) {
                    FUZZ_CHECK(now[i] == line, detail);
                    ++changed;
                }
            }
            FUZZ_CHECK(changed <= 1, detail);
        } else if (existing != nullptr) {
            FUZZ_CHECK(now.size() == old.size() + 1, detail);
            size_t at = 0;
            while (at < old.size() && now[at] == old[at]) {
                ++at;
            }
            FUZZ_CHECK(now[at] == line, detail);
            for (size_t i = at; i < old.size(); ++i) {
                FUZZ_CHECK(now[i + 1] == old[i], detail);
            }
        } else {
            std::vector<std::string> expected;
            for (const std::string& kept : old) {
                expected.push_back(kept);
            }
            expected.push_back("[" + section + "]");
            expected.push_back(line);
            FUZZ_CHECK(now == expected, detail);
        }
        CheckAgainstNewModel(after, section, key, detail);
        std::optional<std::string> read = model.Get(section, key);
        std::string want(WithoutQuotes(Trim(value)));
        FUZZ_CHECK(
            read && *read == want && settings.GetString(section.c_str(), key.c_str()) == want,
            detail + "\n  reads " + Quote(settings.GetString(section.c_str(), key.c_str())));
    }

    void Remove(const std::string& section, const char* key) {
        std::string before = Current();
        std::vector<std::string> old = SplitLines(before);
        FUZZ_CHECK(functions.WriteString(section.c_str(), key, nullptr, kIni) != 0,
                   "remove " + Quote(section));
        std::string after = Current();
        std::vector<std::string> now = SplitLines(after);
        std::string detail = "remove " + Quote(section) + " " + (key ? Quote(key) : "section") +
                             "\n  " + Quote(before) + "\n  became " + Quote(after);
        // Some lines went, one run of them; the others are kept in order.
        FUZZ_CHECK(now.size() < old.size(), detail);
        size_t at = 0;
        while (at < now.size() && now[at] == old[at]) {
            ++at;
        }
        size_t gone = old.size() - now.size();
        FUZZ_CHECK(key == nullptr || gone == 1, detail);
        for (size_t i = at; i < now.size(); ++i) {
            FUZZ_CHECK(now[i] == old[i + gone], detail);
        }
        CheckAgainstNewModel(after, section, key ? key : "", detail);
    }

    void WriteBoolRoundTrip() {
        for (int flag : {1, 0}) {
            FUZZ_CHECK(settings.WriteBool("Quorvex Bools", "Flag", flag) != 0, "write bool");
            FUZZ_CHECK(settings.GetBool("quorvex bools", "FLAG", 7) == flag, "bool round trip");
        }
        model = IniModel::Parse(Current());
    }

    // Every other name reads as it did before the change.
    void CheckAgainstNewModel(const std::string& after, const std::string& section,
                              const std::string& key, const std::string& detail) {
        IniModel next = IniModel::Parse(after);
        for (const Pair& p : pairs) {
            // The named key may change, and so may every key of a removed section (a later
            // section of the same name comes into view).
            if (SameName(Trim(p.section), Trim(section)) &&
                (key.empty() || SameName(Trim(p.key), Trim(key)))) {
                continue;
            }
            FUZZ_CHECK(next.Get(p.section, p.key) == model.Get(p.section, p.key),
                       detail + "\n  changed " + Describe(p));
        }
        model = std::move(next);
        for (const Pair& p : pairs) {
            CheckRead(p.section, p.key);
        }
    }

    std::string Current() {
        std::string bytes;
        FUZZ_CHECK(sandbox.Read(kIni, bytes), "the settings file is gone");
        return bytes;
    }

    Sandbox& sandbox;
    PosixProfileFunctions functions;
    CProfileFile settings;
    std::string_view input;
    IniModel model;
    std::vector<Pair> pairs;
};

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qv::fuzz::SettingsRun run(std::string_view(reinterpret_cast<const char*>(data), size));
    run.CheckReads();
    run.CheckWrites();
    return 0;
}
