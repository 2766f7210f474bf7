// Where measured FFT plans are kept, and that a cache that cannot be used never fails a transform.
// Each test plans a size no other test of this program uses: plans live as long as the process.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "dsp/FftEngine.h"
#include "dsp/FftwPlans.h"

using tonmira::CFftEngine;
using tonmira::test::ReadFileBytes;
using tonmira::test::TempDir;
using tonmira::test::WriteFileBytes;

namespace {

// Measures plans with the cache folder at xdg (restored afterwards).
class MeasuredPlans {
public:
    explicit MeasuredPlans(const std::string& xdg)
    {
        const char* old = std::getenv("XDG_CACHE_HOME");
        m_bHadOld = old != nullptr;
        if (old)
            m_strOld = old;
        ::setenv("XDG_CACHE_HOME", xdg.c_str(), 1);
        tonmira::SetFftPlanning(tonmira::FftPlanning::Measure);
    }
    ~MeasuredPlans()
    {
        if (m_bHadOld)
            ::setenv("XDG_CACHE_HOME", m_strOld.c_str(), 1);
        else
            ::unsetenv("XDG_CACHE_HOME");
        tonmira::SetFftPlanning(tonmira::FftPlanning::Estimate);
    }

private:
    bool m_bHadOld = false;
    std::string m_strOld;
};

// A Dirac of 800 at N = n: every bin is 800 / sqrt(n).
void ExpectFlatSpectrum(int n)
{
    CFftEngine fft;
    ASSERT_TRUE(fft.Init(n, 0));
    fft.SetSample(0, 800);
    std::vector<int> out(n / 2);
    fft.Transform(out.data());
    for (int v : out)
        EXPECT_EQ(v, static_cast<int>(800 / std::sqrt(static_cast<double>(n))));
}

}  // namespace

TEST(FftwPlans, MeasuredWisdomIsSavedAndGarbageReplaced)
{
    TempDir dir;
    MeasuredPlans measured(dir.Path().string() + "/cache");
    const std::string wisdom = dir.Path().string() + "/cache/tonmira/fftw-wisdom";
    EXPECT_EQ(tonmira::FftWisdomPath(), wisdom);
    // The folder is made on the way; a file that is not wisdom is read without complaint
    // and replaced by what was measured.
    std::filesystem::create_directories(dir.Path() / "cache/tonmira");
    WriteFileBytes(wisdom, "not wisdom at all");
    ExpectFlatSpectrum(8);
    EXPECT_EQ(ReadFileBytes(wisdom).rfind("(fftw-3", 0), 0u) << ReadFileBytes(wisdom);
    EXPECT_EQ(std::filesystem::status(dir.Path() / "cache/tonmira").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path() / "cache/tonmira"))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(FftwPlans, UnusableCacheFallsBackToEstimatedPlans)
{
    TempDir dir;
    // A folder below a plain file cannot be made, not even by root.
    WriteFileBytes(dir.File("file"), "x");
    MeasuredPlans measured(dir.File("file") + "/cache");
    EXPECT_EQ(tonmira::FftWisdomPath(), "");
    ExpectFlatSpectrum(4);
    EXPECT_FALSE(std::filesystem::exists(dir.File("file") + "/cache"));
}
