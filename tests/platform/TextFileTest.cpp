#include <gtest/gtest.h>

#include <vector>

#include "platform/TextFile.h"
#include "support/FaultyFileSystem.h"
#include "support/PlatformFixture.h"

namespace qv {
namespace {

class TextFileTest : public test::PlatformFixture {
protected:
    uint64_t written = 0;
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
    // A lone CR inside a line is data; only the one right before LF goes, also at the very
    // end of a file.
    EXPECT_EQ(ReadLines("a\rb\r\r\n"), std::vector<std::string>{"a\rb\r"});
    EXPECT_EQ(ReadLines("x\r"), std::vector<std::string>{"x\r"});
    EXPECT_EQ(ReadLines("a\nx\r"), (std::vector<std::string>{"a", "x\r"}));
    EXPECT_EQ(ReadLines("\r"), std::vector<std::string>{"\r"});
    // A tab and bytes above 127 pass through.
    EXPECT_EQ(ReadLines("x\ty\xe9\xff\n"), std::vector<std::string>{"x\ty\xe9\xff"});
}

// A read error ends the lines, and says so: it is never taken for the end of the file.
TEST_F(TextFileTest, ReadErrorIsNotTheEndOfTheFile) {
    std::string content;
    for (int i = 0; i < 10000; ++i) {
        content += "0.0.0.0 host" + std::to_string(i) + ".example\n";
    }
    WriteSystem(Etc("lines.txt"), content);
    test::FaultyFileSystem faulty(files());
    faulty.failReads.insert(Etc("lines.txt"));
    TextFile file;
    ASSERT_TRUE(file.Open(faulty, Etc("lines.txt"), {OpenMode::ReadExisting}));
    std::string line;
    size_t lines = 0;
    while (file.ReadLine(line)) {
        ++lines;
    }
    EXPECT_TRUE(file.ReadFailed());
    EXPECT_LT(lines, 10000u);
    // The same file read without faults ends cleanly.
    ASSERT_TRUE(file.Open(files(), Etc("lines.txt"), {OpenMode::ReadExisting}));
    lines = 0;
    while (file.ReadLine(line)) {
        ++lines;
    }
    EXPECT_FALSE(file.ReadFailed());
    EXPECT_EQ(lines, 10000u);
}

// The fingerprint follows the bytes, whichever way they were read or written.
TEST_F(TextFileTest, DigestOfReadAndWrittenBytes) {
    std::string content(150000, 'a');
    content[99999] = 'b';
    content += "\nend\n";
    {
        TextFile out;
        ASSERT_TRUE(out.Open(files(), Etc("d.txt"), {OpenMode::WriteTruncate}));
        out.Write(content);
        ASSERT_TRUE(out.Flush());
        written = out.Digest();
    }
    TextFile in;
    ASSERT_TRUE(in.Open(files(), Etc("d.txt"), {OpenMode::ReadExisting}));
    std::string line;
    while (in.ReadLine(line)) {
    }
    uint64_t byLines = in.Digest();
    ASSERT_TRUE(in.Rewind());
    ASSERT_TRUE(in.Skim());
    EXPECT_EQ(in.Digest(), byLines);
    if (kLineEnd == "\n") {
        EXPECT_EQ(byLines, written);
    }
    // One byte changed, or moved, changes it.
    std::string other = content;
    other[99999] = 'a';
    other[100007] = 'b';
    WriteSystem(Etc("d.txt"), other);
    ASSERT_TRUE(in.Open(files(), Etc("d.txt"), {OpenMode::ReadExisting}));
    ASSERT_TRUE(in.Skim());
    EXPECT_NE(in.Digest(), byLines);
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
