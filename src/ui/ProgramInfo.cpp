#include "ui/ProgramInfo.h"

#include <QtGlobal>
#include <cstdio>
#include <cstring>

#include "audio/LibraryVersions.h"

namespace tonmira::ui {

namespace {

const char kHelp[] =
    "Usage: tonmira [--lang ja|en] [FILE]\n"
    "       tonmira --help | --version [--verbose]\n"
    "Records, plays back and analyses PCM audio; collects sound events.\n"
    "\n"
    "  FILE          a take to open (WAV, PCM text, WMA, FLAC, MP3, Ogg, Opus, M4A, AAC, AIFF);\n"
    "                without it the program starts with an empty document\n"
    "  --lang ja|en  the language of the window (default: TONMIRA_LANG, then the setting\n"
    "                ui/language, then Japanese)\n"
    "  --help        this text\n"
    "  --version     the version; with --verbose also of FFmpeg, FFTW, PortAudio and Qt\n"
    "\n"
    "Qt's own options (-platform, ...) are accepted too. The same engine for scripts: tonmira-cli.\n";

}  // namespace

std::optional<int> AnswerInfoOptions(int argc, char** argv)
{
    bool version = false, verbose = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        version = version || !std::strcmp(argv[i], "--version");
        verbose = verbose || !std::strcmp(argv[i], "--verbose");
    }
    if (!version)
        return std::nullopt;
    std::printf("tonmira %s\n", TONMIRA_VERSION);
    if (verbose)
        std::printf("%sQt: %s (built with %s)\n", LibraryVersionLines().c_str(), qVersion(), QT_VERSION_STR);
    return 0;
}

}  // namespace tonmira::ui
