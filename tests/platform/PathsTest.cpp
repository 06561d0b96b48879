#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "support/TempRoot.h"

namespace qv {
namespace {

struct MapCase {
    const char* systemPath;
    const char* expected;  // relative to the root, '/' as separator; empty: unchanged
};

class PathMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(PathMapTest, MapsFixedWindowsPathsUnderTheRoot) {
    test::TempRoot root;
    for (char separator : {'/', '\\'}) {
        PathMap map(root.String(), separator);
        std::string expected = GetParam().expected;
        if (expected.empty()) {
            EXPECT_EQ(map.Map(GetParam().systemPath), GetParam().systemPath);
            continue;
        }
        std::string want = root.String();
        if (want.back() != separator) {
            want += separator;
        }
        for (char c : expected) {
            want += c == '/' ? separator : c;
        }
        EXPECT_EQ(map.Map(GetParam().systemPath), want) << "separator " << separator;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathMapTest,
    ::testing::Values(MapCase{"C:\\WINDOWS\\system32\\drivers\\etc\\hosts", "etc/hosts"},
                      MapCase{"c:\\windows\\SYSTEM32\\DRIVERS\\ETC\\hosts.swp", "etc/hosts.swp"},
                      MapCase{"C:\\Windows\\System32\\Quorvex.ini", "var/lib/quorvex/Quorvex.ini"},
                      MapCase{"C:\\WINDOWS\\system32\\Quorvexlog.cpt",
                              "var/lib/quorvex/Quorvexlog.cpt"},
                      MapCase{"quorvexlog.txt", ""}, MapCase{"temp.hst", ""},
                      MapCase{"C:\\Program Files\\other.txt", ""}));

TEST(PathMap, EmptyRootIsIdentity) {
    PathMap identity;
    EXPECT_EQ(identity.Map("C:\\Windows\\System32\\Quorvex.ini"),
              "C:\\Windows\\System32\\Quorvex.ini");
    EXPECT_EQ(identity.Map("C:\\WINDOWS\\system32\\drivers\\etc\\hosts"),
              "C:\\WINDOWS\\system32\\drivers\\etc\\hosts");
}

TEST(PathMap, SettingsDirectoryIsCreated) {
    test::TempRoot root;
    PathMap map = PathMap::ForRoot(root.String());
    std::filesystem::path dir(map.SettingsDirectory());
    EXPECT_TRUE(std::filesystem::is_directory(dir));
#ifndef _WIN32
    auto perms = std::filesystem::status(dir).permissions();
    EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_all);
#endif
}

}  // namespace
}  // namespace qv
