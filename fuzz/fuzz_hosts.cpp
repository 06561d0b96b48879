// The hosts file reader: the input is a hosts file. It goes through the real CHostsFile in a
// sandbox root, as at start-up (open both files, normalise when the first line is a comment,
// fill the restriction list with hidden entries left out), and through our text mode over a
// file that returns its bytes in short reads, so line ends fall on every read boundary.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "FuzzSandbox.h"
#include "framework/ControlSet.h"
#include "framework/MessageBoxes.h"
#include "hosts/CHostsFile.h"
#include "hosts/HostsLine.h"
#include "platform/TextFile.h"
#include "res/Resource.h"
#include "settings/CProfileFile.h"
#include "settings/SettingsKeys.h"

namespace qv::fuzz {
namespace {

// Hidden entries in mixed case and one with an inner space: the fill compares the lower-case
// URL field with the lower-case section names.
constexpr std::string_view kSettings =
    "[Main]\nInstalled=1\nReqPass=0\nSet=0\n"
    "[Ads.Example.COM]\nHidden=1\n"
    "[tracker.example]\nHidden=yes\n"
    "[shown.example]\nHidden=0\n"
    "[two words]\nHidden=1\n"
    "[localhost]\nDesc=not hidden\n";
const std::unordered_set<std::string> kHidden = {"ads.example.com", "tracker.example", "two words"};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// The URL field by its definition: after the first space, without surrounding spaces; the
// whole line when there is no space.
std::string ExpectedUrl(std::string_view line) {
    size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        return std::string(line);
    }
    std::string_view rest = line.substr(space + 1);
    while (!rest.empty() && rest.front() == ' ') {
        rest.remove_prefix(1);
    }
    while (!rest.empty() && rest.back() == ' ') {
        rest.remove_suffix(1);
    }
    return std::string(rest);
}

std::string WithoutSpaces(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != ' ') {
            out += c;
        }
    }
    return out;
}

void CheckLineFunctions(const std::string& line) {
    std::string url = ExpectedUrl(line);
    FUZZ_CHECK(UrlField(line) == url, "line " + Quote(line) + " URL " + Quote(UrlField(line)));
    std::string normal = FormatHostsLine(line);
    std::string detail = "line " + Quote(line) + " normal " + Quote(normal);
    size_t space = line.find(' ');
    std::string ip = space == std::string::npos ? std::string() : line.substr(0, space);
    FUZZ_CHECK(normal == ip + " " + url, detail);
    FUZZ_CHECK(line.empty() || line.front() == '#' || normal.front() != '#', detail);
    // Only spaces go: the IP field, one separator and the URL field keep every other byte.
    FUZZ_CHECK(WithoutSpaces(normal) == WithoutSpaces(line), detail);
    FUZZ_CHECK(FormatHostsLine(normal) == normal, detail + " not stable");
    FUZZ_CHECK(UrlField(normal) == url, detail);
}

class CountingMessages : public MessageBoxes {
public:
    int MessageBox(const std::string& text, const std::string&, unsigned) override {
        shown.push_back(text);
        return kIdOk;
    }
    std::vector<std::string> shown;
};

// The lines our text mode must read, worked out here on its own: split at LF, a CR right
// before an LF dropped, a last line without LF still a line (a CR at its end kept). With
// `complete` only the lines that end with an LF count: what a read error leaves.
std::vector<std::string> TextLines(std::string_view bytes, bool complete = false) {
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < bytes.size()) {
        size_t lf = bytes.find('\n', from);
        if (lf == std::string_view::npos) {
            if (!complete) {
                lines.emplace_back(bytes.substr(from));
            }
            break;
        }
        std::string_view line = bytes.substr(from, lf - from);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        from = lf + 1;
    }
    return lines;
}

// A file that hands out its bytes `step` at a time, the way a pipe or a network file
// system may, and fails every read once `failAfter` bytes are out.
class ShortReadFile : public File {
public:
    ShortReadFile(std::string_view bytes, size_t step, size_t failAfter)
        : bytes(bytes), step(step), failAfter(failAfter) {}
    long long Read(char* buffer, size_t size) override {
        if (at >= failAfter) {
            return -1;
        }
        size_t n = std::min({size, step, bytes.size() - at, failAfter - at});
        std::copy_n(bytes.data() + at, n, buffer);
        at += n;
        return static_cast<long long>(n);
    }
    bool Write(const char*, size_t) override { return false; }
    bool Rewind() override {
        at = 0;
        return true;
    }
    bool Sync() override { return true; }

private:
    std::string_view bytes;
    size_t step;
    size_t failAfter;
    size_t at = 0;
};

class ShortReadFiles : public FileSystem {
public:
    ShortReadFiles(std::string_view bytes, size_t step, size_t failAfter)
        : bytes(bytes), step(step), failAfter(failAfter) {}
    std::unique_ptr<File> Open(const std::string&, const OpenOptions&) override {
        return std::make_unique<ShortReadFile>(bytes, step, failAfter);
    }
    bool Remove(const std::string&) override { return false; }
    bool Rename(const std::string&, const std::string&) override { return false; }
    Replace ReplaceAtomically(const std::string&, const std::string&) override {
        return Replace::Failed;
    }
    bool CommitNew(const std::string&, const std::string&) override { return false; }
    bool Exists(const std::string&) override { return true; }
    Lookup Identify(const std::string&, FileIdentity&) override { return Lookup::Failed; }
    bool CheckPrivateFolder(std::string&) override { return true; }
    std::string MapPath(const std::string& path) override { return path; }

private:
    std::string_view bytes;
    size_t step;
    size_t failAfter;
};

// Reads the input twice (a rewind between) through our text mode over short reads; with
// `failAfter` inside the input, a read error must end the lines before any line it cut.
void CheckTextMode(std::string_view bytes, size_t failAfter) {
    // The step comes from the input, so the fuzzer moves read boundaries around line ends.
    size_t step = bytes.empty() ? 1 : 1 + static_cast<unsigned char>(bytes.back()) % 97;
    bool fails = failAfter != std::string_view::npos;
    std::vector<std::string> expected =
        fails ? TextLines(bytes.substr(0, failAfter), true) : TextLines(bytes);
    std::string how = "step " + std::to_string(step) +
                      (fails ? ", failing after " + std::to_string(failAfter) : std::string());
    ShortReadFiles files(bytes, step, failAfter);
    TextFile text;
    FUZZ_CHECK(text.Open(files, "hosts", {}), "open");
    for (int pass = 0; pass < 2; ++pass) {
        std::string line;
        size_t n = 0;
        while (text.ReadLine(line)) {
            FUZZ_CHECK(n < expected.size(), how + ": extra line " + Quote(line));
            FUZZ_CHECK(line == expected[n], how + ": line " + std::to_string(n) + " read " +
                                                Quote(line) + " expected " + Quote(expected[n]));
            ++n;
        }
        FUZZ_CHECK(n == expected.size(), how + ": read " + std::to_string(n) + " lines of " +
                                             std::to_string(expected.size()));
        FUZZ_CHECK(text.ReadFailed() == fails, how + ": read error not told apart from the end");
        FUZZ_CHECK(!text.ReadLine(line), how + ": a line after the end");
        FUZZ_CHECK(text.Rewind(), "rewind");
    }
}

struct Program {
    Program()
        : sandbox(Sandbox::Get()),
          form(*FindDialogTemplate(res::kMainForm)),
          list(*form.List(res::kRestrictionList)),
          settings(sandbox.ThePlatform().Profile()),
          log(sandbox.ThePlatform().Files(), logMessages) {
        sandbox.Write(settings::kPlainPath, kSettings);
        settings.SetPath(settings::kPlainPath);
    }
    Sandbox& sandbox;
    ControlSet form;
    ListModel& list;
    CProfileFile settings;
    CountingMessages logMessages;
    CActivityLog log;  // never opened: entries are dropped
};

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace qv;
    using namespace qv::fuzz;
    static Program program;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines = TextLines(input);

    for (const std::string& line : lines) {
        CheckLineFunctions(line);
    }
    CheckTextMode(input, std::string_view::npos);
    // A read error somewhere the fuzzer chooses: the first two bytes pick the place.
    size_t place = size == 0 ? 0 : static_cast<unsigned char>(input[0]);
    if (size > 1) {
        place |= static_cast<size_t>(static_cast<unsigned char>(input[1])) << 8;
    }
    CheckTextMode(input, place % (size + 1));

    // The real load, as at start-up.
    program.sandbox.Write(kHostsPath, input);
    program.list.Clear();
    CountingMessages messages;
    CHostsFile hosts(program.sandbox.ThePlatform().Files(), messages, program.form, program.list,
                     program.settings, program.log);
    FUZZ_CHECK(hosts.OpenFiles(), "the hosts files did not open");
    hosts.LoadHostsFile();
    // The list stands for the whole file now, and the file is the one it was loaded from.
    FUZZ_CHECK(hosts.Loaded(), "not loaded");
    FUZZ_CHECK(!hosts.ChangedSinceLoad(), "changed since the load");

    bool normalised = !lines.empty() && !lines.front().empty() && lines.front().front() == '#';
    std::string expectedFile;
    if (normalised) {
        for (const std::string& line : lines) {
            if (!line.empty() && line.front() != '#') {
                expectedFile += FormatHostsLine(line);
                expectedFile += kLineEnd;
            }
        }
    } else {
        expectedFile.assign(input);  // not touched
    }
    std::vector<std::string> expectedMessages;
    if (normalised) {
        expectedMessages.push_back("Host file not formatted.");
    }
    FUZZ_CHECK(messages.shown == expectedMessages,
               "messages: " +
                   (messages.shown.empty() ? std::string("none") : Quote(messages.shown.back())));
    hosts.CloseFiles();

    std::string written;
    FUZZ_CHECK(program.sandbox.Read(kHostsPath, written), "the hosts file is gone");
    FUZZ_CHECK(written == expectedFile,
               "hosts file " + Quote(written) + " expected " + Quote(expectedFile));
    std::string swap;
    FUZZ_CHECK(program.sandbox.Read(kSwapPath, swap) && swap.empty(), "swap file " + Quote(swap));

    // The list holds the file's lines as read back, lower case, except the hidden ones,
    // which are kept as they were, in file order.
    std::vector<std::string> fileLines = TextLines(written);
    if (normalised) {
        for (const std::string& line : fileLines) {
            FUZZ_CHECK(line.empty() || line.front() != '#', "normal line " + Quote(line));
        }
    }
    size_t shown = 0;
    size_t hidden = 0;
    for (const std::string& line : fileLines) {
        std::string lower = Lower(line);
        if (kHidden.count(ExpectedUrl(lower)) != 0) {
            FUZZ_CHECK(hidden < hosts.HiddenLines().size() && hosts.HiddenLines()[hidden] == line,
                       "hidden line " + Quote(line) + " missing");
            ++hidden;
        } else {
            FUZZ_CHECK(shown < program.list.Count() && program.list.Line(shown) == lower,
                       "list line " + std::to_string(shown) + " expected " + Quote(lower));
            ++shown;
        }
    }
    FUZZ_CHECK(shown == program.list.Count() && hidden == hosts.HiddenLines().size(),
               "list " + std::to_string(program.list.Count()) + " hidden " +
                   std::to_string(hosts.HiddenLines().size()) + " expected " +
                   std::to_string(shown) + " and " + std::to_string(hidden));
    return 0;
}
