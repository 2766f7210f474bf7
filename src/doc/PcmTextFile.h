#pragma once
// The text format of sample values: one line per frame, "%d\r\n" or "%d, %d\r\n";
// 8-bit samples appear as byte - 128. It carries no format: the reader asks for it.
#include "base/Types.h"

namespace tonmira {

class CArchive;
class CTonmiraDoc;

// Reads a text file into an empty document after asking doc.m_pFormatPrompt for the rate
// and width. Returns 0 after its message (none when the prompt is cancelled), with no take.
// Fewer than 16 frames: the message, no take, and a successful load. The take is locked.
BOOL ReadPcmTextFile(CTonmiraDoc& doc, CArchive& ar);

// Writes frames frames of data (nChannels 1 writes one value per line, any other count two).
// False after a write error.
bool WritePcmTextFile(CArchive& ar, const BYTE* data, UINT frames, int nChannels, int wBitsPerSample);

}  // namespace tonmira
