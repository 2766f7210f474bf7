#include "cli/CliLoad.h"

#include "doc/FileFormat.h"
#include "doc/FormatPrompt.h"
#include "base/MessageSink.h"
#include "doc/SamplingRateValidation.h"
#include "doc/TonmiraDoc.h"

namespace tonmira::cli {

namespace {

// Answers the format question with fixed values, as a person would type them.
class FixedFormatPrompt : public FormatPrompt {
public:
    FixedFormatPrompt(UINT rate, int bitsRadio) : m_nRate(rate), m_nBitsRadio(bitsRadio) {}
    bool Ask(FormatAnswer& answer) override
    {
        answer.m_nSamplingRate = m_nRate;
        answer.m_nBitsRadio = m_nBitsRadio;
        return true;
    }

private:
    UINT m_nRate;
    int m_nBitsRadio;
};

}  // namespace

bool LoadDocument(CTonmiraDoc& doc, const std::string& path, const CliArgs& args)
{
    UINT rate = 44100;
    int bitsRadio = 0;
    // The answers matter only where the prompt would appear: for a text file.
    if (FileFormatOf(path) == FileFormat::Text) {
        std::string message;
        if (!ValidateSamplingRate(args.GetString("rate", "44100"), rate, message)) {
            doc.m_sink.Message(message);
            throw UsageError("--rate needs a whole number of Hz from 1 to 1000000");
        }
        std::string bits = args.GetString("bits", "16");
        if (bits != "16" && bits != "8")
            throw UsageError("--bits must be 16 or 8, not '" + bits + "'");
        bitsRadio = bits == "16" ? 0 : 1;
    }
    FixedFormatPrompt prompt(rate, bitsRadio);
    FormatPrompt* previous = doc.m_pFormatPrompt;
    doc.m_pFormatPrompt = &prompt;
    BOOL ok = doc.OnOpenDocument(path);
    doc.m_pFormatPrompt = previous;
    return ok != 0;
}

bool SaveDocument(CTonmiraDoc& doc, const std::string& path)
{
    if (!doc.HasTake()) {
        // The save commands are not available without a take; say so instead of writing nothing.
        doc.m_sink.Message("tonmira-cli: no take to save (the input holds no sample frames)");
        return false;
    }
    if (!RefuseProtectedTarget(doc, path))
        return false;
    return doc.OnSaveDocument(path) != 0;
}

bool RefuseProtectedTarget(const CTonmiraDoc& doc, const std::string& path)
{
    if (!doc.IsProtectedTarget(path))
        return true;
    if (IsReadOnlyFormat(FileFormatOf(path)))
        doc.m_sink.Message("tonmira-cli: " + path +
                           " names a format that is only read, never written; give a name ending in .wav "
                           "(WAV) or another name (PCM text)");
    else if (doc.m_source.IsConverted())
        doc.m_sink.Message("tonmira-cli: " + path + " is the file this take was converted from (" +
                           doc.m_source.m_strConversion + "); it is not written over, save as " +
                           doc.ProposedSaveName() + " instead");
    else
        doc.m_sink.Message("tonmira-cli: " + path + " is the file this take was decoded from (" +
                           doc.m_source.m_strDescription + ", a format that is only read); it is not written "
                           "over, save as " + doc.ProposedSaveName() + " instead");
    return false;
}

}  // namespace tonmira::cli
