// Loads arbitrary bytes as a WAV file and as a text file of sample values, through the same
// open path as File > Open, then saves the result, so every reader and writer sees them.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "doc/FormatPrompt.h"
#include "base/MessageSink.h"
#include "doc/DecoderLog.h"
#include "doc/TonmiraDoc.h"

// Files the WAV reader declines go on to the decoder: set it up as the programs' main does.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    tonmira::QuietDecoderLog();
    tonmira::LimitDecoderAllocations();
    return 0;
}

namespace {

class QuietSink : public tonmira::MessageSink {
public:
    void Message(const std::string&) override {}
};

class EightBitPrompt : public tonmira::FormatPrompt {
public:
    explicit EightBitPrompt(bool eight) : m_bEight(eight) {}
    bool Ask(tonmira::FormatAnswer& answer) override
    {
        answer.m_nBitsRadio = m_bEight ? 1 : 0;
        return true;
    }
    bool m_bEight;
};

std::string Scratch(const char* ext)
{
    // A memory file system where there is one: saves sync their files, which on a disk would
    // slow every run down to the disk's pace.
    static const char* const folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/tonmira-fuzz-" + std::to_string(::getpid()) + ext;
}

void LoadAndSave(const uint8_t* data, size_t size, const char* ext, bool eightBit)
{
    std::string in = Scratch(ext);
    if (FILE* f = std::fopen(in.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    QuietSink sink;
    EightBitPrompt prompt(eightBit);
    tonmira::CTonmiraDoc doc(sink);
    doc.m_pFormatPrompt = &prompt;
    if (doc.OnOpenDocument(in) && doc.HasTake()) {
        doc.m_nBalance = size ? data[0] % 101 : 50;
        doc.BuildMonoBuffer();
        doc.BuildReverseBuffer();
        doc.OnSaveDocument(Scratch(".out.wav"));
        doc.OnSaveDocument(Scratch(".out.pcm"));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    LoadAndSave(data, size, ".wav", false);
    LoadAndSave(data, size, ".txt", size > 0 && (data[size - 1] & 1));
    return 0;
}
