#include <fcntl.h>

#include <gtest/gtest.h>

#include "TestUtil.h"
#include "doc/Archive.h"

using namespace tonmira;
using namespace tonmira::test;

namespace {

std::vector<std::string> Lines(const std::string& bytes, std::size_t nMax = 64)
{
    TempDir dir;
    WriteFileBytes(dir.File("f"), bytes);
    CArchive ar(::open(dir.File("f").c_str(), O_RDONLY), CArchive::load, "f");
    std::vector<std::string> lines;
    std::string line;
    while (ar.ReadString(line, nMax))
        lines.push_back(line);
    EXPECT_FALSE(ar.IsError());
    return lines;
}

}  // namespace

TEST(Archive, ReadStringLineEnds)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("1\r\n2\r\n"), (V{"1", "2"}));
    EXPECT_EQ(Lines("1\n2"), (V{"1", "2"}));           // last line without an end
    EXPECT_EQ(Lines("1\n\n2\n"), (V{"1", "", "2"}));   // blank line kept
    EXPECT_EQ(Lines("1\r2\r\n"), (V{"1", ""}));         // CR swallows the next character ('2')
    EXPECT_EQ(Lines("1\r"), (V{"1"}));                  // CR at the very end
    EXPECT_EQ(Lines(""), V{});
}

TEST(Archive, ReadStringReturnsLongLinesInPiecesOfAtMostMax)
{
    std::string longLine(150, 'x');
    auto lines = Lines(longLine + "\n7\n");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].size(), 64u);
    EXPECT_EQ(lines[1].size(), 64u);
    EXPECT_EQ(lines[2].size(), 22u);
    EXPECT_EQ(lines[3], "7");
    // Exactly max characters: the line end then reads as an empty line.
    EXPECT_EQ(Lines(std::string(64, 'y') + "\n"), (std::vector<std::string>{std::string(64, 'y'), ""}));
}

TEST(Archive, ReadAcrossTheBufferSkipAndBytesLeft)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    WriteFileBytes(dir.File("f"), bytes);
    CArchive ar(::open(dir.File("f").c_str(), O_RDONLY), CArchive::load, "f");
    std::string head(10, '\0');
    ASSERT_EQ(ar.Read(head.data(), 10), 10u);
    EXPECT_EQ(head, bytes.substr(0, 10));
    EXPECT_EQ(ar.BytesLeft(), bytes.size() - 10);
    ar.Skip(70000);  // beyond the 64 KiB buffer
    std::string big(100000, '\0');
    ASSERT_EQ(ar.Read(big.data(), big.size()), big.size());
    EXPECT_EQ(big, bytes.substr(70010, 100000));
    ar.Skip(UINT64_MAX);  // a size field of nonsense: stops at the end, no wrap
    char c;
    EXPECT_EQ(ar.Read(&c, 1), 0u);
    EXPECT_FALSE(ar.IsError());
}

TEST(Archive, WritesAreBufferedAndWriteErrorsAreReported)
{
    TempDir dir;
    {
        CArchive ar(::open(dir.File("w").c_str(), O_WRONLY | O_CREAT, 0644), CArchive::store, "w");
        ASSERT_TRUE(ar.WriteString("abc"));
        std::string big(300000, 'z');
        ASSERT_TRUE(ar.Write(big.data(), big.size()));
        ASSERT_TRUE(ar.WriteString("end"));
        ASSERT_TRUE(ar.Close());
    }
    EXPECT_EQ(ReadFileBytes(dir.File("w")), "abc" + std::string(300000, 'z') + "end");

    CArchive full(::open("/dev/full", O_WRONLY), CArchive::store, "/dev/full");
    std::string big(300000, 'z');
    EXPECT_FALSE(full.Write(big.data(), big.size()) && full.Flush());
    EXPECT_TRUE(full.IsError());
    EXPECT_FALSE(full.Close());
}
