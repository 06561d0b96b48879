// The rules for what a new restriction's URL and IP address fields accept.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "hosts/HostNameInput.h"
#include "support/FrontEndText.h"

namespace qv {
namespace {

struct InputCase {
    const char* name;
    std::string typed;  // UTF-8; handed to the core as the front end would
    std::optional<std::string> expected;
};

void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}

std::string Label(char c, size_t length) {
    return std::string(length, c);
}

// Four labels joined by dots, `total` characters in all.
std::string NameOfLength(size_t total) {
    return Label('a', 63) + "." + Label('b', 63) + "." + Label('c', 63) + "." +
           Label('d', total - 3 * 64);
}

const std::optional<std::string> kRefused;

class HostNameCases : public ::testing::TestWithParam<InputCase> {};

TEST_P(HostNameCases, GivesTheHostNameOrRefuses) {
    const InputCase& c = GetParam();
    EXPECT_EQ(CheckedHostName(test::FrontEndText(c.typed)), c.expected);
}

// The letters keep their case here; the list line is lower-cased when it is added.
INSTANTIATE_TEST_SUITE_P(
    Url, HostNameCases,
    ::testing::Values(
        InputCase{"PlainName", "www.example.com", "www.example.com"},
        InputCase{"EveryUrlPart", "https://user@www.Example.com:8080/a?b#c", "www.Example.com"},
        InputCase{"PathAndQuery", "https://www.example.com/page?x=1", "www.example.com"},
        InputCase{"NoSchemeWithPath", "example.com/path", "example.com"},
        InputCase{"SchemeRelative", "//cdn.example/x.js", "cdn.example"},
        InputCase{"OtherScheme", "ftp://files.example/", "files.example"},
        InputCase{"PortOnly", "www.example.com:443", "www.example.com"},
        InputCase{"UserAndPassword", "http://me:pw@host.example", "host.example"},
        InputCase{"TrailingDot", "www.example.com.", "www.example.com"},
        InputCase{"TwoTrailingDots", "www.example.com..", kRefused},
        InputCase{"BlanksAround", " \tspaced.example  ", "spaced.example"},
        InputCase{"Underscores", "_dmarc.ads_1.example", "_dmarc.ads_1.example"},
        InputCase{"Hyphen", "my-site.example", "my-site.example"},
        InputCase{"SingleLabel", "localhost", "localhost"},
        InputCase{"Label63", Label('a', 63) + ".example", Label('a', 63) + ".example"},
        InputCase{"Label64", Label('a', 64) + ".example", kRefused},
        InputCase{"Total253", NameOfLength(253), NameOfLength(253)},
        InputCase{"Total254", NameOfLength(254), kRefused},
        InputCase{"International", "bücher.example", "xn--bcher-kva.example"},
        InputCase{"InternationalCapital", "Bücher.example", "xn--bcher-kva.example"},
        InputCase{"InternationalInUrl", "http://bücher.example/seite", "xn--bcher-kva.example"},
        InputCase{"DisallowedCodePoint", "a\u0081b.example", kRefused},
        InputCase{"SpaceInside", "my site.example", kRefused},
        InputCase{"CommentSign", "#evil", kRefused},
        InputCase{"Punctuation", "ex!ample.com", kRefused},
        InputCase{"EmptyLabel", "a..example", kRefused},
        InputCase{"LeadingDot", ".example", kRefused}, InputCase{"OnlyADot", ".", kRefused},
        InputCase{"OnlyBlanks", "   ", kRefused}, InputCase{"OnlyAScheme", "https://", kRefused}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

#ifndef _WIN32
// libidn2 refuses symbols that the newer rules leave out; Wine's IdnToAscii follows the older
// mapping and converts them ("×" to "xn--rca"), so these run on Linux only.
INSTANTIATE_TEST_SUITE_P(UrlSymbols, HostNameCases,
                         ::testing::Values(InputCase{"Times", "×.example", kRefused},
                                           InputCase{"Fraction", "¼.example", kRefused}),
                         [](const ::testing::TestParamInfo<InputCase>& info) {
                             return std::string(info.param.name);
                         });
#endif

class IpAddressCases : public ::testing::TestWithParam<InputCase> {};

TEST_P(IpAddressCases, TakesAnIpv4OrIpv6Address) {
    const InputCase& c = GetParam();
    EXPECT_EQ(CheckedIpAddress(c.typed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ip, IpAddressCases,
    ::testing::Values(InputCase{"AnyAddress4", "0.0.0.0", "0.0.0.0"},
                      InputCase{"Loopback4", "127.0.0.1", "127.0.0.1"},
                      InputCase{"AnyAddress6", "::", "::"}, InputCase{"Loopback6", "::1", "::1"},
                      InputCase{"Documentation6", "2001:db8::1", "2001:db8::1"},
                      InputCase{"Mapped6", "::ffff:10.0.0.1", "::ffff:10.0.0.1"},
                      InputCase{"BlanksAround", "  10.0.0.1\t", "10.0.0.1"},
                      InputCase{"OctetTooLarge", "999.1.1.1", kRefused},
                      InputCase{"ThreeParts", "1.2.3", kRefused},
                      InputCase{"WithPrefix", "1.2.3.4/24", kRefused},
                      InputCase{"TwoAddresses", "1.2.3.4 5.6.7.8", kRefused},
                      InputCase{"TwoGaps6", "2001:db8::1::2", kRefused},
                      InputCase{"HostName", "localhost", kRefused},
                      InputCase{"Empty", "", kRefused}),
    [](const ::testing::TestParamInfo<InputCase>& info) { return std::string(info.param.name); });

TEST(HostNameInput, CuttingLeavesAPlainNameAlone) {
    // Checked separately from the conversion: cutting alone never changes letters or case.
    EXPECT_EQ(CutToHostName("Bücher.Example"), "Bücher.Example");
    EXPECT_EQ(CutToHostName("https://Ads.Example./x"), "Ads.Example");
}

}  // namespace
}  // namespace qv
