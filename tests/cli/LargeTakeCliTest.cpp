// A take past 4 GiB through convert: it must be saved whole (as RF64, since the 32-bit sizes of a
// plain WAV cannot hold it), frames in equal to frames out, and FFmpeg must read the saved file.
// The input is an RF64 file whose data is mostly a hole in the file system, with marked samples
// at the start, across the 4 GiB boundary and at the end, so it costs no disk space.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestUtil.h"

namespace tonmira {
namespace {

using test::RunCli;
using test::ShellQuote;
using test::TempDir;

constexpr std::uint64_t kFrames = (std::uint64_t(1) << 31) + 12345;  // mono 16-bit: 4 GiB + 24690 bytes
constexpr std::uint64_t kDataBytes = 2 * kFrames;
constexpr std::uint64_t kHeaderBytes = 80;  // RF64 + ds64 + fmt + data chunk header
constexpr std::size_t kMarked = 4000;        // samples marked in each place

std::uint64_t AvailableMemory()
{
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kb = 0;
    std::string unit;
    while (in >> key >> kb >> unit)
        if (key == "MemAvailable:")
            return kb * 1024;
    return 0;
}

std::string Marks(std::uint64_t firstSample)
{
    std::string s(2 * kMarked, '\0');
    for (std::size_t i = 0; i < kMarked; ++i) {
        const auto v = static_cast<std::uint16_t>((firstSample + i) * 7919u % 65521u);
        std::memcpy(s.data() + 2 * i, &v, 2);
    }
    return s;
}

std::string PRead(int fd, std::uint64_t offset, std::size_t bytes)
{
    std::string s(bytes, '\0');
    return ::pread(fd, s.data(), bytes, static_cast<off_t>(offset)) == static_cast<ssize_t>(bytes) ? s : "";
}

void Put32(std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }
void Put64(std::string& s, std::uint64_t v) { s.append(reinterpret_cast<const char*>(&v), 8); }

TEST(LargeTake, PastFourGiBIsSavedWholeAndFfmpegReadsIt)
{
    TempDir dir;
    struct statvfs fs {};
    const bool room = ::statvfs(dir.Path().c_str(), &fs) == 0 &&
                      std::uint64_t(fs.f_bavail) * fs.f_frsize >= kDataBytes + (2ull << 30);
    if (!room)
        GTEST_SKIP() << "needs 6 GiB of free disk space";
    if (AvailableMemory() < kDataBytes + (3ull << 30))
        GTEST_SKIP() << "needs 7 GiB of free memory";

    const std::string in = dir.File("long.wav"), out = dir.File("saved.wav");
    std::string header = "RF64";
    Put32(header, 0xFFFFFFFF);
    header += "WAVEds64";
    Put32(header, 28);
    Put64(header, kHeaderBytes - 8 + kDataBytes);
    Put64(header, kDataBytes);
    Put64(header, kFrames);
    Put32(header, 0);
    header += "fmt ";
    Put32(header, 16);
    header += std::string("\x01\x00\x01\x00", 4);  // PCM, one channel
    Put32(header, 48000);
    Put32(header, 96000);
    header += std::string("\x02\x00\x10\x00", 4);  // 2-byte frames of 16 bits
    header += "data";
    Put32(header, 0xFFFFFFFF);
    ASSERT_EQ(header.size(), kHeaderBytes);

    // The start, across the 4 GiB boundary of the saved file, and the end.
    const std::uint64_t across = (std::uint64_t(1) << 31) - kHeaderBytes / 2 - kMarked / 2;
    const std::uint64_t places[] = {0, across, kFrames - kMarked};
    {
        int fd = ::open(in.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kHeaderBytes + kDataBytes)), 0);
        ASSERT_EQ(::pwrite(fd, header.data(), header.size(), 0), static_cast<ssize_t>(header.size()));
        for (std::uint64_t first : places) {
            const std::string marks = Marks(first);
            ASSERT_EQ(::pwrite(fd, marks.data(), marks.size(), static_cast<off_t>(kHeaderBytes + 2 * first)),
                      static_cast<ssize_t>(marks.size()));
        }
        ::close(fd);
    }

    auto r = RunCli({"convert", in, out});
    std::filesystem::remove(in);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(std::filesystem::file_size(out), kHeaderBytes + kDataBytes);

    // Frames in = frames out, as FFmpeg counts them from the saved file's own sizes.
    const std::string probe = dir.File("probe.txt");
    int status = std::system(("ffprobe -v error -show_entries stream=duration_ts,sample_rate,channels -of "
                              "default=noprint_wrappers=1 " + ShellQuote(out) + " >" + ShellQuote(probe)).c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string probed = test::ReadFileBytes(probe);
    EXPECT_NE(probed.find("duration_ts=" + std::to_string(kFrames) + "\n"), std::string::npos) << probed;
    EXPECT_NE(probed.find("channels=1\n"), std::string::npos) << probed;

    // The marked samples are where they were, the last of them as FFmpeg decodes them.
    int fd = ::open(out.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    for (std::uint64_t first : places)
        EXPECT_EQ(PRead(fd, kHeaderBytes + 2 * first, 2 * kMarked), Marks(first)) << "frame " << first;
    ::close(fd);
    const std::string tail = dir.File("tail.raw");
    status = std::system(("ffmpeg -nostdin -v error -y -sseof -1 -i " + ShellQuote(out) +
                          " -f s16le -c:a pcm_s16le " + ShellQuote(tail) + " </dev/null").c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string decoded = test::ReadFileBytes(tail);
    ASSERT_GE(decoded.size(), 2 * kMarked);
    EXPECT_EQ(decoded.substr(decoded.size() - 2 * kMarked), Marks(kFrames - kMarked));
}

}  // namespace
}  // namespace tonmira
