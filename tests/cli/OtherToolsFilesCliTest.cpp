// Files other tools write that the program's own WAV reader does not read, or whose names do not
// say what they are: each variant is made at test time with sox, ffmpeg or byte by byte from one
// 16-bit stereo source, and must load as a 16-bit stereo take close to the source, with a message
// about the file itself when it cannot.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "cli/MadeFiles.h"
#include "doc/DocTestUtil.h"
#include "doc/WmaTestFiles.h"

namespace tonmira {
namespace {

using test::RunCli;
using test::ShellQuote;
using test::Line;
using test::Shell;
using test::TempDir;
using test::WavSamples;

class OtherToolsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = dir.File("source.wav");
        // Written by sox so that the data chunk follows the header directly.
        Shell("sox -D -r 48000 -n -b 16 -c 2 " + ShellQuote(source) + " synth 1 sine 440 sine 1000 vol 0.5");
        reference = WavSamples(source);
        ASSERT_EQ(reference.size(), 96000u);
    }
    // A WAV of the source's samples in wider or narrower containers, written byte by byte: each
    // sample shifted left by shift bits into bytes bytes, with bits valid bits declared.
    std::string Container(std::uint16_t bits, int bytes, int shift) const
    {
        test::WavBytes w;
        w.rate = 48000;
        w.bits = bits;
        w.blockAlign = static_cast<std::uint16_t>(2 * bytes);
        for (std::int16_t s : reference) {
            const std::uint64_t v = static_cast<std::uint64_t>(static_cast<std::int64_t>(s)) << shift;
            for (int i = 0; i < bytes; ++i)
                w.data += static_cast<char>((v >> (8 * i)) & 0xff);
        }
        return w.Build();
    }
    TempDir dir;
    std::string source;
    std::vector<std::int16_t> reference;
};

TEST_F(OtherToolsFiles, VariantsTheWavReaderDeclinesAndUnknownNamesLoadCloseToTheSource)
{
    auto sox = [&](const std::string& options, const std::string& name) {
        Shell("sox " + ShellQuote(source) + " -D " + options + " " + ShellQuote(dir.File(name)));
    };
    sox("-b 8", "s8.au");
    sox("-b 16", "s16.au");
    sox("-b 24", "s24.au");
    sox("-b 32", "s32.au");
    sox("-e u-law", "ulaw.au");
    sox("-e u-law", "ulaw.wav");
    sox("-B", "rifx.wav");
    test::MakeWithFfmpeg("-i " + ShellQuote(source) + " -c:a pcm_mulaw -f aiff", dir.File("ulaw.aifc"));
    test::MakeWithFfmpeg("-i " + ShellQuote(source) + " -c:a pcm_alaw -f aiff", dir.File("alaw.aifc"));
    test::MakeWithFfmpeg("-i " + ShellQuote(source) + " -c:a flac -f flac", dir.File("take.rec"));
    test::WriteFileBytes(dir.File("bits20.wav"), Container(20, 3, 8));
    test::WriteFileBytes(dir.File("int64.wav"), Container(64, 8, 48));
    test::WriteFileBytes(dir.File("plain.take"), test::ReadFileBytes(source));
    // Twelve valid bits: the four bits below them are zero, as a 12-bit converter leaves them.
    std::vector<std::int16_t> twelve = reference;
    for (std::int16_t& s : twelve)
        s = static_cast<std::int16_t>(s & ~0xF);
    {
        test::WavBytes w;
        w.rate = 48000;
        w.bits = 12;
        w.blockAlign = 4;
        w.data.assign(reinterpret_cast<const char*>(twelve.data()), twelve.size() * 2);
        test::WriteFileBytes(dir.File("bits12.wav"), w.Build());
    }

    struct Case {
        const char* name;
        int tolerance;   // 8-bit and companded samples lose the low bits (mu-law steps of 512 at half scale)
        bool converted;  // the take differs from the file's own samples
    };
    for (const Case& c : {Case{"s8.au", 256, true}, Case{"s16.au", 0, false}, Case{"s24.au", 0, true},
                          Case{"s32.au", 0, true}, Case{"ulaw.au", 1024, true}, Case{"ulaw.wav", 1024, true},
                          Case{"rifx.wav", 0, false}, Case{"ulaw.aifc", 1024, true}, Case{"alaw.aifc", 1024, true},
                          Case{"take.rec", 0, false}, Case{"bits20.wav", 0, true}, Case{"int64.wav", 0, true},
                          Case{"bits12.wav", 0, true}, Case{"plain.take", 0, false}}) {
        const std::string path = dir.File(c.name);
        auto info = RunCli({"info", path});
        ASSERT_EQ(info.exitCode, 0) << c.name << ": " << info.err;
        EXPECT_EQ(info.err, "") << c.name;
        EXPECT_EQ(Line(info.out, "channels"), "2") << c.name;
        EXPECT_EQ(Line(info.out, "bits"), "16") << c.name;
        EXPECT_EQ(Line(info.out, "frames"), "48000") << c.name;
        // A conversion is always told.
        EXPECT_EQ(!Line(info.out, "converted").empty(), c.converted) << c.name << "\n" << info.out;
        const std::string out = dir.File("out.wav");
        auto converted = RunCli({"convert", path, out});
        ASSERT_EQ(converted.exitCode, 0) << c.name << ": " << converted.err;
        const std::vector<std::int16_t> got = WavSamples(out);
        const std::vector<std::int16_t>& want = std::string(c.name) == "bits12.wav" ? twelve : reference;
        ASSERT_EQ(got.size(), want.size()) << c.name;
        int worst = 0;
        for (std::size_t i = 0; i < got.size(); ++i)
            worst = std::max(worst, std::abs(got[i] - want[i]));
        EXPECT_LE(worst, c.tolerance) << c.name;
    }
    // What the decoder read is never written over, whatever its name says.
    for (const char* name : {"rifx.wav", "take.rec", "s16.au"}) {
        const std::string before = test::ReadFileBytes(dir.File(name));
        auto r = RunCli({"convert", dir.File(name), dir.File(name)});
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_EQ(test::ReadFileBytes(dir.File(name)), before) << name;
    }
}

// A WAV file that cannot be read is refused with the WAV reader's message about that file, never
// with the decoder's steps ("WMSyncReader failed ..."), whether the reader declined it or would
// have handed it to the decoder.
TEST_F(OtherToolsFiles, UnreadableWavFilesGiveTheWavReadersMessage)
{
    test::WavBytes wide;
    wide.bits = 24;
    wide.data = std::string(600, '\x01');
    const std::string whole = wide.Build();
    test::WavBytes mpeg;  // MPEG audio in WAV, of samples that are no MPEG frames
    mpeg.formatTag = 0x55;
    mpeg.data = std::string(600, '\x01');
    test::WavBytes mulaw;  // mu-law whose data chunk is missing
    mulaw.formatTag = 7;
    mulaw.bits = 8;
    const std::string cutMulaw = mulaw.Build().substr(0, 36);
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    for (const Case& c : {Case{"cut24.wav", whole.substr(0, whole.find("data")), "dataチャンクが見つかりません!"},
                          Case{"mpeg.wav", mpeg.Build(), "PCMデータではありません!"},
                          Case{"cutmulaw.wav", cutMulaw, "PCMデータではありません!"}}) {
        const std::string path = dir.File(c.name);
        test::WriteFileBytes(path, c.bytes);
        auto r = RunCli({"info", path});
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_EQ(r.err, std::string(c.message) + "\n" + path + " へのアクセス中に不明なエラーが発生しました。\n") << c.name;
    }
}

}  // namespace
}  // namespace tonmira
