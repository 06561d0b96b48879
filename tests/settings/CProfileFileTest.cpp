#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ProfileBuffers.h"
#include "settings/CProfileFile.h"

namespace qv {
namespace {

// A list of names, each ended by a NUL, up to the NUL that ends the list.
std::string ListText(const CProfileFile::NameList& list) {
    std::string text;
    for (const char* name = list.get(); *name != '\0'; name += std::strlen(name) + 1) {
        text += name;
        text += '\0';
    }
    return text;
}

// Profile functions that serve one value and a list of section names, and count the calls,
// to check the buffer steps. Buffers are cut as the system's functions cut them.
class OneValueProfile : public ProfileFunctions {
public:
    unsigned GetString(const char*, const char*, const char* fallback, char* out, unsigned size,
                       const std::string&) override {
        ++reads;
        const std::string& v = hasValue ? value : std::string(fallback);
        size_t n = std::min<size_t>(v.size(), size - 1);
        std::memcpy(out, v.data(), n);
        out[n] = '\0';
        return static_cast<unsigned>(n);
    }
    int WriteString(const char* section, const char* key, const char* v,
                    const std::string& path) override {
        writes.push_back(std::string(section) + "/" + key + "=" + v + "@" + path);
        return 1;
    }
    unsigned GetSectionNames(char* out, unsigned size, const std::string&) override {
        ++nameReads;
        return CopyProfileSectionNames(names, out, size);
    }
    std::string value;
    std::vector<std::string> names;
    bool hasValue = true;
    int reads = 0;
    int nameReads = 0;
    std::vector<std::string> writes;
};

// The list the functions give for `names`: each name ended by a NUL.
std::string JoinNames(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    return list;
}

// Each try doubles the buffer, so a long value costs a few reads, not one per 512 bytes.
TEST(CProfileFile, ReadDoublesItsBufferUntilTheValueFits) {
    struct Case {
        size_t length;
        int reads;
    };
    for (Case c : {Case{0, 1}, Case{510, 1}, Case{511, 2}, Case{1022, 2}, Case{1023, 3},
                   Case{2046, 3}, Case{2047, 4}, Case{5000, 5}, Case{1000000, 12}}) {
        OneValueProfile fake;
        fake.value.assign(c.length, 'q');
        CProfileFile profile(fake);
        profile.SetPath("x.ini");
        EXPECT_EQ(profile.GetString("S", "k"), fake.value) << c.length;
        EXPECT_EQ(fake.reads, c.reads) << c.length;
    }
}

TEST(CProfileFile, MissingSectionOrKeyGivesTheDefaultWithoutAsking) {
    OneValueProfile fake;
    CProfileFile profile(fake);
    EXPECT_EQ(profile.GetString(nullptr, "k", "dflt"), "dflt");
    EXPECT_EQ(profile.GetString("S", nullptr), "");
    EXPECT_EQ(profile.GetBool(nullptr, "k", 5), 5);
    EXPECT_EQ(fake.reads, 0);
}

TEST(CProfileFile, GetBoolLooksAtTheFirst64BytesOnly) {
    OneValueProfile fake;
    CProfileFile profile(fake);
    fake.value = std::string(64, ' ') + "1";
    EXPECT_EQ(profile.GetBool("S", "k", 1), 0);  // only blanks take part: reads as 0
    fake.value = std::string(63, ' ') + "1";
    EXPECT_EQ(profile.GetBool("S", "k", 0), 1);
}

TEST(CProfileFile, ParseBoolTable) {
    const std::map<std::string, int> cases = {
        {"true", 1}, {"TRUE", 1},   {"Yes", 1},         {"yEs", 1},          {"1", 1},
        {"2", 1},    {"-1", 1},     {"12abc", 1},       {" 3", 1},           {"+4", 1},
        {"no", 0},   {"false", 0},  {"0", 0},           {"abc", 0},          {"0x10", 0},
        {"-0", 0},   {"truely", 0}, {"99999999999", 1}, {"-99999999999", 1}, {"yes ", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(CProfileFile::ParseBool(text.c_str(), 9), expected) << '"' << text << '"';
    }
    EXPECT_EQ(CProfileFile::ParseBool("", 9), 9);
    EXPECT_EQ(CProfileFile::ParseBool(nullptr, 9), 9);
}

TEST(CProfileFile, FormatIntegerTable) {
    struct Case {
        int32_t value;
        int base;
        const char* text;
    };
    for (Case c : {Case{255, 16, "FF"}, Case{255, 8, "377"}, Case{5, 2, "101"}, Case{0, 2, "0"},
                   Case{-1, 2, "11111111111111111111111111111111"}, Case{-1, 16, "FFFFFFFF"},
                   Case{-1, 10, "-1"}, Case{-1, 8, "37777777777"}, Case{123, 0, "123"},
                   Case{INT32_MIN, 10, "-2147483648"}, Case{INT32_MIN, 16, "80000000"}}) {
        char buffer[65] = {};
        CProfileFile::FormatInteger(c.value, buffer, c.base);
        EXPECT_STREQ(buffer, c.text) << c.value << " base " << c.base;
    }
    char buffer[65] = {};
    CProfileFile::FormatInteger(INT32_MIN, buffer, 2);
    EXPECT_EQ(std::string(buffer), "1" + std::string(31, '0'));
}

TEST(CProfileFile, FormatBinaryStopsAtMaxDigits) {
    char buffer[8] = "unset";
    CProfileFile::FormatBinary(5, buffer, 0);
    EXPECT_STREQ(buffer, "unset");
    CProfileFile::FormatBinary(0xFF, buffer, 3);
    EXPECT_STREQ(buffer, "111");
    CProfileFile::FormatBinary(4, buffer, 3);
    EXPECT_STREQ(buffer, "100");
}

TEST(CProfileFile, ForEachListEntryWalksUntilTheVisitorStops) {
    const char list[] = "one\0two\0three\0";
    std::vector<std::string> seen;
    auto collect = [](const char* entry, void* context) -> int {
        static_cast<std::vector<std::string>*>(context)->push_back(entry);
        return std::strcmp(entry, "two") != 0;
    };
    EXPECT_EQ(CProfileFile::ForEachListEntry(list, collect, &seen), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(CProfileFile::ForEachListEntry("\0", collect, &seen), 1);
    EXPECT_EQ(CProfileFile::ForEachListEntry(nullptr, collect, &seen), 0);
    EXPECT_EQ(CProfileFile::ForEachListEntry(list, nullptr, &seen), 0);
}

TEST(CProfileFile, WritesGoToThePathWithEmptyTextForNone) {
    OneValueProfile fake;
    CProfileFile profile(fake);
    profile.SetPath("C:\\Windows\\System32\\Quorvex.ini");
    profile.WriteString("S", "k", nullptr);
    profile.WriteBool("S", "b", 3);
    EXPECT_EQ(fake.writes, (std::vector<std::string>{"S/k=@C:\\Windows\\System32\\Quorvex.ini",
                                                     "S/b=1@C:\\Windows\\System32\\Quorvex.ini"}));
}

TEST(CProfileFile, SectionExistsOnAnEmptyListReadsNamesOnce) {
    OneValueProfile fake;
    CProfileFile profile(fake);
    EXPECT_EQ(profile.SectionExists("Main"), 0);
    EXPECT_EQ(profile.GetSectionNames(nullptr, 0), 2u);
    EXPECT_EQ(ListText(profile.GetSectionNameList()), "");
    EXPECT_EQ(fake.nameReads, 3);  // one read each: the list that fits is the list used
}

// Lists around the buffer sizes: one name of `length` characters, so the list takes
// length + 1 characters and its buffer length + 2.
TEST(CProfileFile, SectionListDoublesItsBufferUntilTheListFits) {
    struct Case {
        size_t length;
        int reads;
    };
    for (Case c : {Case{508, 1}, Case{509, 2}, Case{1020, 2}, Case{1021, 3}, Case{5000, 5}}) {
        OneValueProfile fake;
        fake.names = {std::string(c.length - 1, 'n') + "Z"};
        CProfileFile profile(fake);
        EXPECT_EQ(ListText(profile.GetSectionNameList()), JoinNames(fake.names)) << c.length;
        EXPECT_EQ(fake.nameReads, c.reads) << c.length;
        EXPECT_EQ(profile.GetSectionNames(nullptr, 0), c.length + 3) << c.length;
        EXPECT_EQ(profile.SectionExists((std::string(c.length - 1, 'N') + "z").c_str()), 1);
        EXPECT_EQ(profile.SectionExists(std::string(c.length - 1, 'n').c_str()), 0);
        EXPECT_EQ(fake.nameReads, c.reads * 4) << c.length;
    }
}

// A blocklist's settings: a hundred thousand sections, 2 MB of names. Every name comes back,
// in order, from 14 reads per lookup (buffers of 512 bytes to 4 MB).
TEST(CProfileFile, LongSectionListIsReadWholeInFewCalls) {
    OneValueProfile fake;
    for (int i = 0; i < 100000; ++i) {
        fake.names.push_back("www.site" + std::to_string(i) + ".example");
    }
    const std::string expected = JoinNames(fake.names);
    CProfileFile profile(fake);
    EXPECT_EQ(ListText(profile.GetSectionNameList()), expected);
    EXPECT_EQ(fake.nameReads, 14);
    EXPECT_EQ(profile.GetSectionNames(nullptr, 0), expected.size() + 2);
    EXPECT_EQ(profile.SectionExists("WWW.SITE99999.EXAMPLE"), 1);
    EXPECT_EQ(profile.SectionExists("www.site100000.example"), 0);
    EXPECT_EQ(fake.nameReads, 4 * 14);

    std::vector<char> buffer(expected.size() + 2, '#');
    EXPECT_EQ(profile.GetSectionNames(buffer.data(), static_cast<unsigned>(buffer.size())),
              expected.size());
    EXPECT_EQ(std::string(buffer.data(), expected.size() + 1), expected + '\0');
    EXPECT_EQ(fake.nameReads, 4 * 14 + 1);  // with a buffer: one read, into that buffer
}

}  // namespace
}  // namespace qv
