#!/usr/bin/env python3
"""Writes chord.wav: 3 s, 44100 Hz, 16-bit stereo.

0.0-2.0 s  an A major chord (440, 554.37, 659.26 Hz), left a little louder than right;
2.0-3.0 s  a 1000 Hz tone on both channels.
Each part fades in and out over 20 ms so there are no clicks. Deterministic: running it
again gives the same bytes.
"""
import math
import struct
import sys
import wave

RATE = 44100


def envelope(i, n, fade=int(0.02 * RATE)):
    return min(1.0, i / fade, (n - 1 - i) / fade)


def main(path):
    frames = bytearray()
    chord = (440.0, 554.37, 659.26)
    n = 2 * RATE
    for i in range(n):
        t = i / RATE
        s = sum(math.sin(2 * math.pi * f * t) for f in chord) / len(chord)
        e = envelope(i, n)
        frames += struct.pack("<hh", int(24000 * e * s), int(18000 * e * s))
    n = RATE
    for i in range(n):
        s = math.sin(2 * math.pi * 1000.0 * i / RATE) * envelope(i, n)
        v = int(16000 * s)
        frames += struct.pack("<hh", v, v)
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "chord.wav")
