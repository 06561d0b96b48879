// One table of profile cases, run against this build's profile functions: our own
// implementation on Linux, the system's GetPrivateProfileStringA and friends on Windows.
// The expected answers are the same for both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "settings/CProfileFile.h"
#include "support/PlatformFixture.h"

#ifndef _WIN32
#include "platform/posix/PosixProfileFunctions.h"
#endif

namespace qv {
namespace {

const char* const kIni = "C:\\Windows\\System32\\Quorvex.ini";

struct ProfileCase {
    const char* name;
    const char* file;  // the file's content before the case; null: no file
    std::function<std::string(CProfileFile&)> run;
    std::string expected;
    // The file's content after the case, with "\n" for the platform's line end; null: any.
    const char* after = nullptr;
};

void PrintTo(const ProfileCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Bool(CProfileFile& p, const char* key, int fallback = 0) {
    return std::to_string(p.GetBool("S", key, fallback));
}

std::string WriteIntThenRead(CProfileFile& p, int32_t value, int base) {
    p.WriteInt("S", "n", value, base);
    return p.GetString("S", "n", "missing");
}

// The section names in file order, as "{a, b}".
std::string Names(CProfileFile& p) {
    char buffer[256] = {};
    unsigned n = p.GetSectionNames(buffer, sizeof buffer);
    std::string out = "{";
    for (const char* name = buffer; name < buffer + n; name += std::strlen(name) + 1) {
        out += (out.size() > 1 ? ", " : "") + std::string(name);
    }
    return out + "}";
}

// What adding a restriction and then editing its description do with its section, and what
// reads back: the description, whether the section is found, and the section names.
std::string AddThenEdit(CProfileFile& p, const char* section) {
    p.WriteString(section, "Desc", "one");
    p.WriteString(section, "Desc", "two");
    return p.GetString(section, "Desc", "default") + "|" +
           std::to_string(p.SectionExists(section)) + "|" + Names(p);
}

// 3,000 sections: a section list of 61,890 characters.
const char* ThousandsOfSections() {
    static const std::string file = [] {
        std::string out;
        for (int i = 0; i < 3000; ++i) {
            out += "[www.site" + std::to_string(i) + ".example]\nHidden=" + std::to_string(i % 2) +
                   "\n";
        }
        return out;
    }();
    return file.c_str();
}

const char* const kBools =
    "[S]\nt1=true\nt2=TRUE\nt3=Yes\nt4=1\nt5=2\nt6=-1\nt7=12abc\n"
    "f1=no\nf2=false\nf3=0\nf4=abc\nf5=0x10\nempty=\n";

const ProfileCase kCases[] = {
    {"BoolTrueValues", kBools,
     [](CProfileFile& p) {
         std::string out;
         for (const char* k : {"t1", "t2", "t3", "t4", "t5", "t6", "t7"}) out += Bool(p, k);
         return out;
     },
     "1111111"},
    {"BoolFalseValues", kBools,
     [](CProfileFile& p) {
         std::string out;
         for (const char* k : {"f1", "f2", "f3", "f4", "f5"}) out += Bool(p, k, 1);
         return out;
     },
     "00000"},
    {"BoolMissingOrEmptyGivesDefault", kBools,
     [](CProfileFile& p) {
         return Bool(p, "missing", 0) + Bool(p, "missing", 1) + Bool(p, "empty", 0) +
                Bool(p, "empty", 1) + std::to_string(p.GetBool("NoSection", "t1", 7));
     },
     "01017"},
    {"BoolFromMissingFile", nullptr,
     [](CProfileFile& p) { return Bool(p, "t1", 1) + Bool(p, "t1", 0); }, "10"},
    {"WriteBoolStoresOneOrZero", nullptr,
     [](CProfileFile& p) {
         p.WriteBool("S", "a", 7);
         p.WriteBool("S", "b", -1);
         p.WriteBool("S", "c", 0);
         return p.GetString("S", "a") + p.GetString("S", "b") + p.GetString("S", "c");
     },
     "110"},
    {"WriteIntHex", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, 255, 16); }, "FF"},
    {"WriteIntOctal", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, 255, 8); }, "377"},
    {"WriteIntBinary", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, 5, 2); }, "101"},
    {"WriteIntBinaryZero", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, 0, 2); }, "0"},
    {"WriteIntBinaryMinusOne", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, -1, 2); },
     std::string(32, '1')},
    {"WriteIntHexMinusOne", nullptr, [](CProfileFile& p) { return WriteIntThenRead(p, -1, 16); },
     "FFFFFFFF"},
    {"WriteIntDecimalMinusOne", nullptr,
     [](CProfileFile& p) { return WriteIntThenRead(p, -1, 10); }, "-1"},
    {"WriteIntOtherBaseIsDecimal", nullptr,
     [](CProfileFile& p) { return WriteIntThenRead(p, -42, 7); }, "-42"},
    {"ValueOf1000Characters", nullptr,
     [](CProfileFile& p) {
         p.WriteString("S", "long", std::string(1000, 'x').c_str());
         return p.GetString("S", "long");
     },
     std::string(1000, 'x')},
    {"ValuesAroundTheFirstBufferSize", nullptr,
     [](CProfileFile& p) {
         std::string out;
         for (size_t n : {510u, 511u, 512u, 1023u, 1024u}) {
             std::string v(n, 'v');
             p.WriteString("S", "k", v.c_str());
             out += p.GetString("S", "k") == v ? "=" : "!";
         }
         return out;
     },
     "====="},
    // Up to the longest value the Windows functions keep (32,766 characters).
    {"ValuesAroundTheDoubledBufferSizes", nullptr,
     [](CProfileFile& p) {
         std::string out;
         for (size_t n : {1022u, 1023u, 2046u, 2047u, 4094u, 4095u, 32766u}) {
             std::string v(n - 1, 'v');
             v += 'Z';
             p.WriteString("S", "k", v.c_str());
             out += p.GetString("S", "k") == v ? "=" : "!";
         }
         return out;
     },
     "======="},
    {"ThousandsOfSections", ThousandsOfSections(),
     [](CProfileFile& p) {
         auto list = p.GetSectionNameList();
         size_t count = 0;
         const char* last = list.get();
         for (const char* name = list.get(); *name != '\0'; name += std::strlen(name) + 1) {
             ++count;
             last = name;
         }
         return std::to_string(count) + "|" + list.get() + "|" + last + "|" +
                std::to_string(p.GetSectionNames(nullptr, 0)) + "|" +
                std::to_string(p.SectionExists("WWW.SITE2999.EXAMPLE")) +
                std::to_string(p.GetBool("www.site2999.example", "Hidden", 0));
     },
     "3000|www.site0.example|www.site2999.example|61892|11"},
    {"RepeatedSectionNamesReadTheFirstInAPass",
     "[a]\nHidden=1\n[b]\nHidden=0\n[A]\nHidden=0\nDesc=second\n",
     [](CProfileFile& p) {
         auto list = p.GetSectionNameList();
         std::string out;
         for (const char* name = list.get(); *name != '\0'; name += std::strlen(name) + 1) {
             out += std::string(name) + ":" + std::to_string(p.GetBool(name, "Hidden", 7)) +
                    p.GetString(name, "Desc", "-") + " ";
         }
         return out;
     },
     "a:1- b:0- A:1- "},
    {"SectionExistsIgnoresCase", "[Main]\nInstalled=1\n[www.example.com]\nDesc=x\n",
     [](CProfileFile& p) {
         return std::to_string(p.SectionExists("MAIN")) +
                std::to_string(p.SectionExists("WWW.EXAMPLE.COM")) +
                std::to_string(p.SectionExists("www.example.com"));
     },
     "111"},
    {"SectionExistsNeedsTheWholeName", "[Main]\nInstalled=1\n[www.example.com]\nDesc=x\n",
     [](CProfileFile& p) {
         return std::to_string(p.SectionExists("Mai")) + std::to_string(p.SectionExists("www.")) +
                std::to_string(p.SectionExists("www.example.com.au")) +
                std::to_string(p.SectionExists(nullptr));
     },
     "0000"},
    {"SectionExistsWithoutSections", "key=value\n",
     [](CProfileFile& p) { return std::to_string(p.SectionExists("key")); }, "0"},
    {"SectionExistsWithoutFile", nullptr,
     [](CProfileFile& p) { return std::to_string(p.SectionExists("Main")); }, "0"},
    {"WriteStringWithoutValueLeavesAnEmptyKey", "[S]\nk=old\n",
     [](CProfileFile& p) {
         p.WriteString("S", "k", nullptr);
         p.WriteString("S", "fresh", nullptr);
         return "[" + p.GetString("S", "k", "default") + "][" +
                p.GetString("S", "fresh", "default") + "]";
     },
     "[][]"},
    {"WriteWithoutSectionOrKeyFails", nullptr,
     [](CProfileFile& p) {
         return std::to_string(p.WriteString(nullptr, "k", "v")) +
                std::to_string(p.WriteString("S", nullptr, "v")) +
                std::to_string(p.SectionExists("S"));
     },
     "000"},
    {"KeysIgnoreCase", "[Main]\nReqPass=yes\n",
     [](CProfileFile& p) {
         return p.GetString("main", "REQPASS") + std::to_string(p.GetBool("MAIN", "reqpass", 0));
     },
     "yes1"},
    {"FirstOfTwoEqualSectionsWins", "[A]\nk=first\n[B]\nk=b\n[a]\nk=second\nonly=2\n",
     [](CProfileFile& p) { return p.GetString("A", "k") + "," + p.GetString("a", "only", "-"); },
     "first,-"},
    {"WriteGoesToTheFirstSection", "[A]\nk=first\n[a]\nk=second\n",
     [](CProfileFile& p) {
         p.WriteString("a", "k", "changed");
         return p.GetString("A", "k");
     },
     "changed"},
    {"ValuesLoseSurroundingBlanks", "[S]\n  key  =   spaced value   \ntab=\tx\t\n",
     [](CProfileFile& p) { return p.GetString("S", "key") + "|" + p.GetString("s", "TAB"); },
     "spaced value|x"},
    {"WriteKeepsOtherKeysAndSections", "[Main]\nInstalled=1\nReqPass=0\n[Other]\nx=y\n",
     [](CProfileFile& p) {
         p.WriteString("Main", "ReqPass", "1");
         p.WriteString("Main", "Set", "1");
         p.WriteString("New", "Desc", "d");
         return p.GetString("Main", "Installed") + p.GetString("Main", "ReqPass") +
                p.GetString("Main", "Set") + p.GetString("Other", "x") + p.GetString("New", "Desc");
     },
     "111yd"},
    {"WriteKeepsComments", "; settings\n[Main]\n; the switch\nReqPass=0\n",
     [](CProfileFile& p) {
         p.WriteString("Main", "ReqPass", "1");
         return p.GetString("Main", "ReqPass");
     },
     "1"},
    {"MissingKeyGivesTheDefault", "[S]\nk=v\n",
     [](CProfileFile& p) {
         return p.GetString("S", "nope", "dflt") + "|" + p.GetString("S", "nope") + "|" +
                p.GetString("T", "k", "dflt");
     },
     "dflt||dflt"},
    {"SectionNamesInFileOrder", "[Main]\na=1\n[www.b.com]\nDesc=\n[c]\n",
     [](CProfileFile& p) {
         char buffer[64] = {};
         unsigned n = p.GetSectionNames(buffer, sizeof buffer);
         return std::string(buffer, n + 1) + std::to_string(n);
     },
     std::string("Main\0www.b.com\0c\0\0", 18) + "17"},
    {"SectionNamesCutToTheBuffer", "[alpha]\n[beta]\n",
     [](CProfileFile& p) {
         std::string out;
         for (unsigned size : {1u, 2u, 3u, 8u, 9u, 12u, 13u, 14u}) {
             char buffer[16];
             std::fill(std::begin(buffer), std::end(buffer), '#');
             unsigned n = p.GetSectionNames(buffer, size);
             out += std::to_string(n) + ":";
             for (char c : std::string(buffer, 14)) out += c == '\0' ? '0' : c;
             out += " ";
         }
         return out;
     },
     "0:0############# 0:0############# 1:a0############ 6:alpha00####### "
     "7:alpha0b0###### 10:alpha0beta0### 11:alpha0beta00## 11:alpha0beta00## "},
    {"SectionNamesNeededSize", "[Main]\n[ab]\n",
     [](CProfileFile& p) { return std::to_string(p.GetSectionNames(nullptr, 0)); }, "10"},
    // Section headers: a header is a line that starts with "[" and has a "]"; the name runs
    // to the last "]" and loses its surrounding blanks. A line with "[" but no "]" is not a
    // header: it belongs to the section before, as a key (with a value after an "=").
    {"SectionNameWithClosingBracket", "[S]\nk=1\n",
     [](CProfileFile& p) { return AddThenEdit(p, "a]b"); }, "two|1|{S, a]b}",
     "[S]\nk=1\n[a]b]\nDesc=two\n"},
    {"SectionNameWithOpeningBracket", "[S]\nk=1\n[a\nDesc=x\n",
     [](CProfileFile& p) {
         std::string before = Names(p) + p.GetString("S", "Desc", "default");
         return before + " " + AddThenEdit(p, "[a");
     },
     "{S}x two|1|{S, [a}", "[S]\nk=1\n[a\nDesc=x\n[[a]\nDesc=two\n"},
    {"SectionNameWithEqualsSign", "[S]\nk=1\n[a=b\n",
     [](CProfileFile& p) {
         std::string before = Names(p) + p.GetString("S", "[a", "default");
         return before + " " + AddThenEdit(p, "a=b");
     },
     "{S}b two|1|{S, a=b}", "[S]\nk=1\n[a=b\n[a=b]\nDesc=two\n"},
    {"SectionNameWithSemicolon", "[S]\nk=1\n[a;b\nDesc=x\n",
     [](CProfileFile& p) {
         std::string before = Names(p) + p.GetString("S", "Desc", "default");
         return before + " " + AddThenEdit(p, "a;b");
     },
     "{S}x two|1|{S, a;b}", "[S]\nk=1\n[a;b\nDesc=x\n[a;b]\nDesc=two\n"},
    {"SectionNameWithSurroundingBlanksIsWrittenWithout", "[S]\nk=1\n",
     [](CProfileFile& p) {
         std::string out = AddThenEdit(p, "  a b\t ");
         return out + p.GetString("A B", "Desc");
     },
     "two|0|{S, a b}two", "[S]\nk=1\n[a b]\nDesc=two\n"},
    {"SectionHeaderWithBlanksAndBrackets", "[S]\nk=1\n [ a]b\t] ; note\nDesc=x\n[c]d\nk=2\n",
     [](CProfileFile& p) {
         std::string out = Names(p) + p.GetString(" a]b ", "Desc") + p.GetString("c", "k");
         p.WriteString("A]B  ", "Desc", "y");
         return out + " " + Names(p) + p.GetString("a]b", "Desc");
     },
     "{S, a]b, c}x2 {S, a]b, c}y"},
    {"EmptySectionHeaderIsNeverFound", "[S]\nk=1\n[]\nDesc=x\n[ ]\nk=2\n",
     [](CProfileFile& p) {
         return Names(p) + p.GetString("S", "Desc", "-") + p.GetString("", "Desc", "-") +
                p.GetString(" ", "k", "-") + std::to_string(p.SectionExists(""));
     },
     "{S}---0"},
    {"NewFileIsCreatedOnFirstWrite", nullptr,
     [](CProfileFile& p) {
         p.WriteBool("Main", "Installed", 1);
         return p.GetString("Main", "Installed");
     },
     "1"},
};

class ProfileTable : public test::PlatformFixture,
                     public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(ProfileTable, GivesTheSameAnswerAsWindows) {
    if (GetParam().file != nullptr) {
        WriteSystem(kIni, GetParam().file);
    }
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    EXPECT_EQ(GetParam().run(profile), GetParam().expected);
    if (GetParam().after != nullptr) {
        EXPECT_EQ(ReadSystem(kIni), Text(GetParam().after));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ProfileFileContent : public test::PlatformFixture {};

TEST_F(ProfileFileContent, WriteKeepsCommentsAndOtherLines) {
    WriteSystem(kIni, "; settings\n[Main]\n; the switch\nReqPass=0\n[Other]\nx=y\n");
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    profile.WriteString("Main", "ReqPass", "1");
    std::string content = ReadSystem(kIni);
    for (const char* kept : {"; settings", "; the switch", "[Other]", "x=y", "ReqPass=1"}) {
        EXPECT_NE(content.find(kept), std::string::npos) << kept << " in:\n" << content;
    }
    EXPECT_EQ(content.find("ReqPass=0"), std::string::npos);
}

#ifndef _WIN32
// A section name with a NUL byte in it cannot be asked for, and must not end the name list
// early for the sections after it.
TEST_F(ProfileFileContent, NameWithANulByteDoesNotHideTheSectionsAfterIt) {
    WriteSystem(kIni, std::string("[Main]\nInstalled=1\n[x\0]\nHidden=1\n[ads.example.com]\n"
                                  "Hidden=1\n",
                                  60));
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    EXPECT_EQ(profile.SectionExists("ads.example.com"), 1);
    unsigned size = profile.GetSectionNames(nullptr, 0);
    std::string list(size, '\x7f');
    unsigned n = profile.GetSectionNames(list.data(), size);
    EXPECT_EQ(list.substr(0, n + 1), std::string("Main\0ads.example.com\0\0", 22));
}

// Our writes keep every other line byte for byte, a line that ends in CR included: written
// back with a LF alone, its CR would be taken for part of the line end.
TEST_F(ProfileFileContent, LinesEndingInCrSurviveWrites) {
    const std::string tail = "note\r\r\n\r\r\r\n[Other]\nx=y\r\r\n";
    WriteSystem(kIni, "[Main]\nReqPass=0\n" + tail);
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    ASSERT_TRUE(profile.WriteString("Main", "ReqPass", "1"));
    ASSERT_TRUE(profile.WriteString("Other", "z", "1"));
    ASSERT_TRUE(profile.WriteString("Last", "k", "v"));
    EXPECT_EQ(ReadSystem(kIni), "[Main]\nReqPass=1\nnote\r\r\n\r\r\r\n[Other]\nx=y\r\r\nz=1\n"
                                "[Last]\nk=v\n");
}
#endif

TEST_F(ProfileFileContent, NewKeysJoinTheirSectionAndNewSectionsGoLast) {
    WriteSystem(kIni, "[Main]\nInstalled=1\n[Other]\nx=y\n");
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    profile.WriteString("Main", "Set", "0");
    profile.WriteString("Last", "k", "v");
    std::string content = ReadSystem(kIni);
    size_t set = content.find("Set=0");
    ASSERT_NE(set, std::string::npos);
    EXPECT_LT(set, content.find("[Other]"));
    EXPECT_GT(content.find("[Last]"), content.find("x=y"));
}

TEST_F(ProfileFileContent, NoPathReadsDefaultsAndWritesNothing) {
    CProfileFile profile(platform->Profile());
    EXPECT_EQ(profile.GetString("Main", "k", "d"), "d");
    EXPECT_EQ(profile.WriteString("Main", "k", "v"), 0);
    profile.SetPath(kIni);
    profile.SetPath(nullptr);  // keeps an empty path, as before
    ASSERT_TRUE(profile.Path().has_value());
    EXPECT_EQ(*profile.Path(), "");
    EXPECT_EQ(profile.WriteString("Main", "k", "v"), 0);
    EXPECT_FALSE(ExistsSystem(kIni));
}

TEST_F(ProfileFileContent, ChangesMadeBehindOurBackAreSeen) {
    WriteSystem(kIni, "[Main]\nReqPass=0\n");
    CProfileFile profile(platform->Profile());
    profile.SetPath(kIni);
    EXPECT_EQ(profile.GetBool("Main", "ReqPass", 1), 0);
    // Same size, new content: the file's time or identity tells us.
    std::filesystem::remove(Real(kIni));
    WriteSystem(kIni, "[Main]\nReqPass=1\n");
    EXPECT_EQ(profile.GetBool("Main", "ReqPass", 0), 1);
    std::filesystem::remove(Real(kIni));
    EXPECT_EQ(profile.GetBool("Main", "ReqPass", 0), 0);
}

#ifndef _WIN32
TEST(PosixProfileCache, LookupsDoNotReparseTheFile) {
    test::TempRoot root;
    PathMap paths = PathMap::ForRoot(root.String());
    test::WriteBytes(paths.Map(kIni), "[Main]\nReqPass=1\n[a]\nHidden=1\n");
    PosixProfileFunctions functions(paths);
    CProfileFile profile(functions);
    profile.SetPath(kIni);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(profile.GetBool("a", "Hidden", 0), 1);
    }
    EXPECT_EQ(functions.ParseCount(), 1u);
    profile.WriteBool("a", "Hidden", 0);
    EXPECT_EQ(profile.GetBool("a", "Hidden", 1), 0);
    EXPECT_EQ(functions.ParseCount(), 1u);  // our own write edits the parsed copy with the file
    // What others write after us is seen.
    std::filesystem::remove(paths.Map(kIni));
    test::WriteBytes(paths.Map(kIni), "[a]\nHidden=yes\n");
    EXPECT_EQ(profile.GetBool("a", "Hidden", 0), 1);
    EXPECT_EQ(functions.ParseCount(), 2u);
}

// Every name and key of interest, read through `functions`: in a walk over the names, and
// by other spellings of the names outside one.
std::string Everything(PosixProfileFunctions& functions) {
    CProfileFile profile(functions);
    profile.SetPath(kIni);
    auto list = profile.GetSectionNameList();
    std::string out;
    const char* keys[] = {"Desc", "Hidden", "k", "k2", "Installed", "Set", "[y]"};
    for (const char* name = list.get(); *name != '\0'; name += std::strlen(name) + 1) {
        out += std::string("[") + name + "]";
        for (const char* key : keys) {
            out += std::string(key) + "=" + profile.GetString(name, key, "-") + ";";
        }
    }
    for (const char* name : {"MAIN", " b.com ", "C]D", "Y", "z", "SPACED", "new.com", "S7"}) {
        out += std::string("|") + name + ":";
        for (const char* key : keys) {
            out += profile.GetString(name, key, "-") + ";";
        }
    }
    return out;
}

// Our own writes edit the parsed copy instead of reading the file again: after each edit the
// copy must read exactly as the file it wrote.
TEST(PosixProfileCache, EditedCopyReadsAsTheWrittenFile) {
    test::TempRoot root;
    PathMap paths = PathMap::ForRoot(root.String());
    test::WriteBytes(paths.Map(kIni),
                     "; top\n[Main]\nInstalled=1\n\n[b.com]\nDesc=x\r\n[B.COM]\nDesc=dup\n[]\nk=e\n"
                     "  [c]d] ; note\nk=1\nlast line without an end");
    PosixProfileFunctions writer(paths);
    struct Edit {
        const char* section;
        const char* key;    // null: the section is removed
        const char* value;  // null: the key is removed
    };
    std::vector<Edit> edits = {
        {"new.com", "Desc", "d"},        // a new section, after the line without an end
        {"Main", "Set", "1"},            // a new key, before the blank line
        {"b.com", "Desc", "y"},          // the first of two sections of one name
        {"c]d", "Hidden", "1"},          // a new key at the end of the file's text
        {"x", "[y]", "v"},               // a key line that reads as a header
        {"z", "Desc", "two\nlines"},     // a line break in a value
        {" spaced ", "k", "v"},          // a name with blanks around it
        {"Main", "Installed", nullptr},  // a key removed
        {"b.com", nullptr, nullptr},     // a section removed: B.COM comes first now
        {"B.com", "Desc", "z"},
        {"new.com", "k2", "v2"},
    };
    for (int i = 0; i < 40; ++i) {  // enough new sections to make the index grow
        edits.push_back({nullptr, "Desc", "many"});
    }
    std::vector<std::string> names;
    for (size_t i = 0; i < edits.size(); ++i) {
        const Edit& e = edits[i];
        names.push_back(e.section != nullptr ? e.section : "s" + std::to_string(i));
        ASSERT_EQ(writer.WriteString(names.back().c_str(), e.key, e.value, kIni), 1) << i;
        PosixProfileFunctions fresh(paths);
        ASSERT_EQ(Everything(writer), Everything(fresh)) << "after edit " << i;
    }
    EXPECT_EQ(writer.ParseCount(), 1u);
}

// A write keeps every other line as it was, each ended by a LF (a CR before the LF dropped).
TEST(PosixProfileCache, WriteKeepsTheOtherLinesWithLinuxLineEnds) {
    test::TempRoot root;
    PathMap paths = PathMap::ForRoot(root.String());
    test::WriteBytes(paths.Map(kIni), "; c\r\n[A]\r\nk=1\r\n\r\n[B]\nx=a\rb\n[C]\ny=1\nlast");
    PosixProfileFunctions functions(paths);
    ASSERT_EQ(functions.WriteString("A", "k", "2", kIni), 1);
    EXPECT_EQ(test::ReadBytes(paths.Map(kIni)), "; c\n[A]\nk=2\n\n[B]\nx=a\rb\n[C]\ny=1\nlast\n");
    ASSERT_EQ(functions.WriteString("D", "n", "1", kIni), 1);
    ASSERT_EQ(functions.WriteString("B", "z", "3", kIni), 1);
    EXPECT_EQ(test::ReadBytes(paths.Map(kIni)),
              "; c\n[A]\nk=2\n\n[B]\nx=a\rb\nz=3\n[C]\ny=1\nlast\n[D]\nn=1\n");
}

long long fakeMilliseconds = 0;
long long FakeClock() {
    return fakeMilliseconds;
}

// A walk over the names is served from the copy the names came from: the file is checked
// only when a check is due, and a change found then ends the walk.
TEST(PosixProfileCache, WalkOverTheNamesChecksTheFileWhenACheckIsDue) {
    test::TempRoot root;
    PathMap paths = PathMap::ForRoot(root.String());
    auto file = [](const char* hidden) {
        std::string out = "[Main]\nSet=1\n";
        for (int i = 0; i < 60; ++i) {
            out += "[s" + std::to_string(i) + "]\nHidden=" + hidden + "\n";
        }
        return out;
    };
    test::WriteBytes(paths.Map(kIni), file("0"));
    PosixProfileFunctions functions(paths, FakeClock);
    CProfileFile profile(functions);
    profile.SetPath(kIni);
    auto list = profile.GetSectionNameList();
    std::vector<const char*> names;
    for (const char* name = list.get(); *name != '\0'; name += std::strlen(name) + 1) {
        names.push_back(name);
    }
    ASSERT_EQ(names.size(), 61u);
    const unsigned long long checks = functions.CheckCount();
    size_t next = 0;
    for (; next < 30; ++next) {  // two lookups of each section, as a walk may make them
        EXPECT_EQ(profile.GetString(names[next], "Set", "-"), next == 0 ? "1" : "-");
        EXPECT_EQ(profile.GetString(names[next], "Hidden", "-"), next == 0 ? "-" : "0");
    }
    EXPECT_EQ(functions.CheckCount(), checks);

    std::filesystem::remove(paths.Map(kIni));
    test::WriteBytes(paths.Map(kIni), file("yes"));
    EXPECT_EQ(profile.GetString(names[next++], "Hidden", "-"), "0");  // not due yet
    EXPECT_EQ(functions.CheckCount(), checks);

    fakeMilliseconds += PosixProfileFunctions::kWalkCheckMs;
    std::string seen;
    for (; next < names.size(); ++next) {
        seen += profile.GetString(names[next], "Hidden", "-") == "yes" ? "1" : "0";
    }
    // The change is seen within the lookups between two looks at the clock, and from then on.
    size_t first = seen.find('1');
    ASSERT_NE(first, std::string::npos) << seen;
    EXPECT_LE(first, PosixProfileFunctions::kWalkStepsPerClock) << seen;
    EXPECT_EQ(seen.find('0', first), std::string::npos) << seen;
    EXPECT_EQ(functions.ParseCount(), 2u);

    // A lookup out of the list's order is no walk: the file is checked.
    profile.GetSectionNameList();
    unsigned long long before = functions.CheckCount();
    EXPECT_EQ(profile.GetString("s5", "Hidden", "-"), "yes");
    EXPECT_EQ(functions.CheckCount(), before + 1);
}

TEST(PosixProfileCache, NewSettingsFileIsPrivate) {
    test::TempRoot root;
    PathMap paths = PathMap::ForRoot(root.String());
    PosixProfileFunctions functions(paths);
    CProfileFile profile(functions);
    profile.SetPath(kIni);
    profile.WriteString("Main", "Password", "x");
    auto perms = std::filesystem::status(paths.Map(kIni)).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}
#endif

}  // namespace
}  // namespace qv
