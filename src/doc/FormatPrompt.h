#pragma once
// The question asked before a text file of sample values is read: its sampling rate and
// sample width. The desktop program shows a dialog; the CLI and the tests answer directly.
#include "base/Types.h"

namespace tonmira {

struct FormatAnswer {
    UINT m_nSamplingRate = 0;  // Hz, 1..1000000 once answered
    int m_nBitsRadio = -1;     // 0 = 16 bit, 1 = 8 bit
};

class FormatPrompt {
public:
    virtual ~FormatPrompt() = default;
    // answer holds the proposal (44100 Hz, 16 bit) on entry. Returns false when cancelled.
    // An implementation returns true only with a rate in 1..1000000 and a radio of 0 or 1.
    virtual bool Ask(FormatAnswer& answer) = 0;
};

}  // namespace tonmira
