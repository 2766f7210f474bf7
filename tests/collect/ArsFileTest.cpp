#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

#include "TestUtil.h"
#include "collect/ArsFile.h"

using namespace tonmira;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;

namespace {

CollectSettings DistinctSettings()
{
    CollectSettings s;
    s.m_nCollectLevel = 1200;
    s.m_nPlayLevel = 3400;
    s.m_nContinuousMs = 750;
    s.m_strOutputFolder = "/data/イベント";
    s.m_bSaveAmplified = 1;
    s.m_bSaveRejected = 1;
    s.m_nPlayCount = 3;
    s.m_bAlwaysMax = 0;
    s.m_nAmpFactor = 7;
    s.m_nBandLowHz = 500;
    s.m_nBandHighHz = 4000;
    s.m_nExcludeHz = 100;
    s.m_fIntegLow = 12.5f;
    s.m_fIntegHigh = 99.25f;
    s.m_fPointsLow = 1.0f;
    s.m_fPointsHigh = 60.0f;
    s.m_fStdDevLow = 1000.0f;
    s.m_fStdDevHigh = 25000.5f;
    return s;
}

int IntAt(const std::string& bytes, std::size_t offset)
{
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return static_cast<int>(u);
}

void PutIntAt(std::string& bytes, std::size_t offset, int value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}

// The same settings in the 328-byte layout: the play level removed, the rest 4 bytes earlier.
std::string OldLayout(const std::string& current) { return current.substr(0, 8) + current.substr(12); }

}  // namespace

TEST(ArsFile, RecordLayoutAndByteExactRoundTrip)
{
    CollectSettings s = DistinctSettings();
    std::string record = EncodeArs(16, s);
    ASSERT_EQ(record.size(), 332u);
    EXPECT_EQ(IntAt(record, 0), 16);
    EXPECT_EQ(IntAt(record, 4), 1200);
    EXPECT_EQ(IntAt(record, 8), 3400);
    EXPECT_EQ(IntAt(record, 12), 750);
    EXPECT_EQ(std::string(record.c_str() + 16), "/data/イベント");
    EXPECT_EQ(IntAt(record, 276), 1);
    EXPECT_EQ(IntAt(record, 284), 3);
    EXPECT_EQ(IntAt(record, 288), 0);
    EXPECT_EQ(IntAt(record, 300), 4000);
    EXPECT_EQ(IntAt(record, 304), 100);
    EXPECT_EQ(std::bit_cast<float>(IntAt(record, 308)), 12.5f);
    EXPECT_EQ(std::bit_cast<float>(IntAt(record, 328)), 25000.5f);

    TempDir dir;
    std::string path = dir.File("a.ars");
    ASSERT_TRUE(SaveArsFile(path, 16, s));
    EXPECT_EQ(ReadFileBytes(path), record);
    CollectSettings back;
    int bits = 0;
    ASSERT_TRUE(LoadArsFile(path, bits, back));
    EXPECT_EQ(bits, 16);
    EXPECT_EQ(back, s);
    // Saving what was loaded gives the same bytes again.
    ASSERT_TRUE(SaveArsFile(dir.File("b.ars"), bits, back));
    EXPECT_EQ(ReadFileBytes(dir.File("b.ars")), record);
}

TEST(ArsFile, LongFolderIsCutTo259BytesWithoutSplittingACharacter)
{
    CollectSettings s;
    s.m_strOutputFolder = std::string(300, 'x');
    std::string record = EncodeArs(16, s);
    EXPECT_EQ(std::strlen(record.c_str() + 16), 259u);
    EXPECT_EQ(record[16 + 259], '\0');

    // A three-byte character straddling byte 259 is left out whole.
    s.m_strOutputFolder = std::string(257, 'x') + "音" + "yyy";
    record = EncodeArs(16, s);
    EXPECT_EQ(std::string(record.c_str() + 16), std::string(257, 'x'));
    EXPECT_EQ(IntAt(record, 276), 0);  // later fields in place
}

TEST(ArsFile, ReadsOlderShortAndOddRecordsAsFarAsTheyGo)
{
    const std::string current = EncodeArs(8, DistinctSettings());
    const CollectSettings before = [] {
        CollectSettings b;
        b.m_nPlayLevel = 77;
        b.m_strOutputFolder = "/old";
        b.m_fStdDevHigh = 5.0f;
        return b;
    }();

    struct Case {
        const char* name;
        std::string bytes;
        void (*check)(const CollectSettings& before, const CollectSettings& after, int bits);
    };
    const Case cases[] = {
        {"empty file changes nothing", "",
         [](const CollectSettings& b, const CollectSettings& a, int bits) {
             EXPECT_EQ(a, b);
             EXPECT_EQ(bits, -1);
         }},
        {"6 bytes: only the bits", current.substr(0, 6),
         [](const CollectSettings& b, const CollectSettings& a, int bits) {
             EXPECT_EQ(bits, 8);
             EXPECT_EQ(a, b);
         }},
        {"10 bytes: older layout, level read, continuous time cut off", current.substr(0, 10),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             EXPECT_EQ(a.m_nCollectLevel, 1200);
             EXPECT_EQ(a.m_nPlayLevel, b.m_nPlayLevel);
             EXPECT_EQ(a.m_nContinuousMs, b.m_nContinuousMs);
         }},
        {"328 bytes: older layout keeps the play level", OldLayout(current),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             CollectSettings expected = DistinctSettings();
             expected.m_nPlayLevel = b.m_nPlayLevel;
             EXPECT_EQ(a, expected);
         }},
        {"older layout cut inside the folder text keeps the old folder", OldLayout(current).substr(0, 20),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             EXPECT_EQ(a.m_nContinuousMs, 750);
             EXPECT_EQ(a.m_strOutputFolder, b.m_strOutputFolder);
         }},
        {"cut after the folder's terminator takes the folder", OldLayout(current).substr(0, 40),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             EXPECT_EQ(a.m_strOutputFolder, "/data/イベント");
             EXPECT_EQ(a.m_bSaveAmplified, b.m_bSaveAmplified);
         }},
        {"331 bytes: older layout, everything present but shifted", current.substr(0, 331),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             EXPECT_EQ(a.m_nPlayLevel, b.m_nPlayLevel);
             EXPECT_EQ(a.m_nContinuousMs, 3400);  // the play level's bytes, read as the older record
         }},
        {"longer than 332: read in the older layout", current + std::string(100, '\x7f'),
         [](const CollectSettings& b, const CollectSettings& a, int) {
             EXPECT_EQ(a.m_nPlayLevel, b.m_nPlayLevel);
             EXPECT_EQ(a.m_nContinuousMs, 3400);
         }},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.File("case.ars");
        WriteFileBytes(path, c.bytes);
        CollectSettings after = before;
        int bits = -1;
        ASSERT_TRUE(LoadArsFile(path, bits, after));
        c.check(before, after, bits);
    }
}

TEST(ArsFile, FolderWithoutTerminatorAndAbsurdValuesAreTakenAsStored)
{
    std::string record = EncodeArs(16, DistinctSettings());
    std::memset(record.data() + 16, 'z', 260);
    PutIntAt(record, 4, -5);
    PutIntAt(record, 284, -1);
    PutIntAt(record, 292, INT32_MIN);
    PutIntAt(record, 308, std::bit_cast<int>(std::nanf("")));
    PutIntAt(record, 312, std::bit_cast<int>(INFINITY));
    CollectSettings s;
    int bits = 0;
    DecodeArs(record, bits, s);
    EXPECT_EQ(s.m_strOutputFolder, std::string(260, 'z'));
    EXPECT_EQ(s.m_bSaveAmplified, 1);  // the field after the folder is still in place
    EXPECT_EQ(s.m_nCollectLevel, -5);
    EXPECT_EQ(s.m_nPlayCount, -1);
    EXPECT_EQ(s.m_nAmpFactor, INT32_MIN);
    EXPECT_TRUE(std::isnan(s.m_fIntegLow));
    EXPECT_TRUE(std::isinf(s.m_fIntegHigh));
}

TEST(ArsFile, FileErrorsFailWithoutTouchingTheSettings)
{
    TempDir dir;
    CollectSettings s = DistinctSettings();
    int bits = 16;
    EXPECT_FALSE(LoadArsFile(dir.File("missing.ars"), bits, s));
    EXPECT_FALSE(LoadArsFile(dir.Path().string(), bits, s));  // a folder
    EXPECT_EQ(s, DistinctSettings());
    EXPECT_EQ(bits, 16);
    EXPECT_FALSE(SaveArsFile(dir.File("no/such/folder/a.ars"), 16, s));
    EXPECT_FALSE(SaveArsFile(dir.Path().string(), 16, s));
}
