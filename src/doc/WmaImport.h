#pragma once
// Import of a WMA file into the document, called by the document load for paths ending in "WMA".
#include "base/Types.h"

namespace tonmira {

class CTonmiraDoc;

// Decodes doc.m_strFileName and makes it the take: fills m_pData, m_nSamples and the format
// fields of m_header (nChannels, nSamplesPerSec, wBitsPerSample, nBlockAlign, nAvgBytesPerSec).
// Returns 1 on success; 0 after its messages went to the document's sink, with no take left.
// The caller runs the common steps after a load; m_bLock is not touched.
BOOL LoadWmaFile(CTonmiraDoc& doc);

}  // namespace tonmira
