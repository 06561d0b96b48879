#include <gtest/gtest.h>

#include "hosts/CRestrictionCommands.h"
#include "hosts/HostsLine.h"

namespace qv {
namespace {

TEST(HostsLine, NormalFormTable) {
    struct Case {
        const char* read;
        const char* written;
    };
    const Case cases[] = {
        {"0.0.0.0     example.com", "0.0.0.0 example.com"},
        {"0.0.0.0 example.com   ", "0.0.0.0 example.com"},
        {"0.0.0.0 example.com  # remark", "0.0.0.0 example.com  # remark"},
        {"   0.0.0.0 example.com", " 0.0.0.0 example.com"},
        {"0.0.0.0\texample.com", " 0.0.0.0\texample.com"},
        {"example.com", " example.com"},
        {"    ", " "},
        {"  # remark", " # remark"},
        {"127.0.0.1 LocalHost", "127.0.0.1 LocalHost"},
        {"1.2.3.4 a b  c ", "1.2.3.4 a b  c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatHostsLine(c.read), c.written) << '"' << c.read << '"';
    }
}

TEST(HostsLine, UrlFieldTable) {
    EXPECT_EQ(UrlField("0.0.0.0 example.com"), "example.com");
    EXPECT_EQ(UrlField("0.0.0.0   example.com  "), "example.com");
    EXPECT_EQ(UrlField("example.com"), "example.com");
    EXPECT_EQ(UrlField("0.0.0.0\texample.com"), "0.0.0.0\texample.com");
    EXPECT_EQ(UrlField("a "), "");
    EXPECT_EQ(UrlField(""), "");
}

TEST(Descriptions, LineBreaksAreStoredAsTwoTildes) {
    EXPECT_EQ(EncodeDescription("first\r\nsecond"), "first~~second");
    EXPECT_EQ(EncodeDescription("a\r\n\r\nb\n"), "a~~~~b\n");
    EXPECT_EQ(DecodeDescription("first~~second"), "first\r\nsecond");
    EXPECT_EQ(DecodeDescription("typed ~~ here~"), "typed \r\n here~");
    EXPECT_EQ(DecodeDescription(""), "");
}

TEST(Descriptions, InformationSectionNameTable) {
    EXPECT_EQ(InformationSectionName("www.example.com"), "www.example.com");
    EXPECT_EQ(InformationSectionName("wikipedia.org"), "wikipedia.org");
    EXPECT_EQ(InformationSectionName("example.com"), "www.example.com");
    EXPECT_EQ(InformationSectionName("Wikipedia.org"), "www.Wikipedia.org");
    EXPECT_EQ(InformationSectionName(""), "www.");
}

}  // namespace
}  // namespace qv
