#pragma once
// The values of the recording settings dialog ("録音設定").
namespace tonmira {

struct RecordSetupValues {
    int m_bHasData = 0;        // the take holds data: the format controls are disabled
    int m_nRateIndex = -1;     // 0 "96000", 1 "48000", 2 "44100", 3 "22050", 4 "11025"
    int m_nBitsRadio = -1;     // 0 = 16 bits, 1 = 8 bits
    int m_nChannelRadio = -1;  // 0 = stereo, 1 = mono
    int m_nStartLevel = 0;     // automatic start level, 0 (off) .. 50 percent
};

constexpr unsigned kRecordRates[5] = {96000, 48000, 44100, 22050, 11025};

// Index of a rate in kRecordRates, or -1.
inline int RecordRateIndex(unsigned rate)
{
    for (int i = 0; i < 5; ++i)
        if (kRecordRates[i] == rate)
            return i;
    return -1;
}

// The input-format bit of a choice in the device's format bits: one group of four bits per rate
// (96000 Hz highest), within it mono 8, stereo 8, mono 16, stereo 16.
inline unsigned RecordFormatBit(int rateIndex, int bitsRadio, int channelRadio)
{
    unsigned bit = 1;
    if (channelRadio == 0)
        bit *= 2;
    if (bitsRadio == 0)
        bit *= 4;
    return bit << (16 - 4 * rateIndex);
}

}  // namespace tonmira
