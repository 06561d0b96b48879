#include <gtest/gtest.h>

#include <vector>

#include "platform/TextFile.h"
#include "support/PlatformFixture.h"

namespace qv {
namespace {

class TextFileTest : public test::PlatformFixture {
protected:
    std::vector<std::string> ReadLines(const std::string& bytes) {
        WriteSystem(Etc("lines.txt"), bytes);
        TextFile file;
        EXPECT_TRUE(file.Open(files(), Etc("lines.txt"), {OpenMode::ReadExisting}));
        std::vector<std::string> lines;
        std::string line;
        while (file.ReadLine(line)) {
            lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(TextFileTest, LfAndCrLfReadTheSameLines) {
    std::vector<std::string> expected = {"127.0.0.1 localhost", "", "0.0.0.0 example.com", "last"};
    EXPECT_EQ(ReadLines("127.0.0.1 localhost\n\n0.0.0.0 example.com\nlast\n"), expected);
    EXPECT_EQ(ReadLines("127.0.0.1 localhost\r\n\r\n0.0.0.0 example.com\r\nlast\r\n"), expected);
    EXPECT_EQ(ReadLines("127.0.0.1 localhost\r\n\n0.0.0.0 example.com\r\nlast"), expected);
}

TEST_F(TextFileTest, EdgeCasesOfLines) {
    EXPECT_TRUE(ReadLines("").empty());
    EXPECT_EQ(ReadLines("\n"), std::vector<std::string>{""});
    EXPECT_EQ(ReadLines("only"), std::vector<std::string>{"only"});
    // A lone CR inside a line is data; only the one right before LF goes.
    EXPECT_EQ(ReadLines("a\rb\r\r\n"), std::vector<std::string>{"a\rb\r"});
    // A tab and bytes above 127 pass through.
    EXPECT_EQ(ReadLines("x\ty\xe9\xff\n"), std::vector<std::string>{"x\ty\xe9\xff"});
}

TEST_F(TextFileTest, LongLinesCrossBufferBoundaries) {
    std::string big(200000, 'a');
    std::string crlf(70000, 'b');
    EXPECT_EQ(ReadLines(big + "\n" + crlf + "\r\nz"), (std::vector<std::string>{big, crlf, "z"}));
}

TEST_F(TextFileTest, WritingUsesThePlatformLineEnd) {
    {
        TextFile file;
        ASSERT_TRUE(file.Open(files(), Etc("out.txt"), {OpenMode::WriteTruncate}));
        EXPECT_TRUE(file.Write("one\ntwo\n\nthree"));
        EXPECT_TRUE(file.Close());
    }
    std::string le(kLineEnd);
    EXPECT_EQ(ReadSystem(Etc("out.txt")), "one" + le + "two" + le + le + "three");
#ifdef _WIN32
    EXPECT_EQ(le, "\r\n");
#else
    EXPECT_EQ(le, "\n");
#endif
}

TEST_F(TextFileTest, OpenModes) {
    TextFile file;
    EXPECT_FALSE(file.Open(files(), Etc("missing.txt"), {OpenMode::ReadExisting}));
    EXPECT_FALSE(file.Open(files(), Etc("missing.txt"), {OpenMode::AppendExisting}));
    EXPECT_FALSE(ExistsSystem(Etc("missing.txt")));

    WriteSystem(Etc("f.txt"), "old content");
    ASSERT_TRUE(file.Open(files(), Etc("f.txt"), {OpenMode::AppendExisting}));
    file.Write("+a");
    file.Close();
    ASSERT_TRUE(file.Open(files(), Etc("f.txt"), {OpenMode::AppendCreate}));
    file.Write("+b");
    file.Close();
    EXPECT_EQ(ReadSystem(Etc("f.txt")), "old content+a+b");

    ASSERT_TRUE(file.Open(files(), Etc("f.txt"), {OpenMode::WriteTruncate}));
    file.Close();
    EXPECT_EQ(ReadSystem(Etc("f.txt")), "");

    ASSERT_TRUE(file.Open(files(), Etc("new.txt"), {OpenMode::AppendCreate}));
    file.Close();
    EXPECT_TRUE(ExistsSystem(Etc("new.txt")));
}

TEST_F(TextFileTest, HeldFileCannotBeOpenedAgainNorEmptied) {
    WriteSystem(Etc("held.txt"), "keep me");
    TextFile holder;
    ASSERT_TRUE(holder.Open(files(), Etc("held.txt"), {OpenMode::ReadExisting, true}));
    TextFile second;
    EXPECT_FALSE(second.Open(files(), Etc("held.txt"), {OpenMode::ReadExisting, true}));
    EXPECT_FALSE(second.Open(files(), Etc("held.txt"), {OpenMode::WriteTruncate, true}));
    holder.Close();
    EXPECT_EQ(ReadSystem(Etc("held.txt")), "keep me");
    EXPECT_TRUE(second.Open(files(), Etc("held.txt"), {OpenMode::WriteTruncate, true}));
}

TEST_F(TextFileTest, RewindReadsFromTheStartAgain) {
    WriteSystem(Etc("r.txt"), "a\nb\n");
    TextFile file;
    ASSERT_TRUE(file.Open(files(), Etc("r.txt"), {OpenMode::ReadExisting}));
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_FALSE(file.ReadLine(line));
    ASSERT_TRUE(file.Rewind());
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "a");
}

TEST_F(TextFileTest, ClosedFileReadsNothing) {
    TextFile file;
    std::string line = "unchanged";
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_FALSE(file.Write("x"));
    EXPECT_EQ(line, "unchanged");
}

}  // namespace
}  // namespace qv
