#!/usr/bin/env python3
"""Draws the program's icon for desktop menus and the window: data/icons/tonmira.svg and the
48 and 256 pixel PNGs drawn from the same shapes with ImageMagick (convert). A waveform over a
spectrum, the two graphs of the window. Run it again after changing a shape."""
import os
import subprocess

OUT = os.path.join(os.path.dirname(__file__), "..", "data", "icons")
WAVE = [(36, 76), (48, 52), (60, 98), (72, 40), (84, 110), (96, 58), (108, 92), (120, 48),
        (132, 104), (144, 64), (156, 86), (168, 54), (180, 96), (192, 70), (204, 80), (220, 76)]
BARS = [(40, 200), (62, 148), (84, 186), (106, 164), (128, 196), (150, 174), (172, 204), (194, 190)]
BAR_W, BAR_BOTTOM = 16, 220
# (x, y, width, height, radius, fill, stroke)
PANELS = [(12, 12, 232, 232, 36, "#1d3557", "#0b1a2e"),
          (28, 30, 200, 92, 10, "#f1faee", None),
          (28, 136, 200, 92, 10, "#f1faee", None)]
WAVE_COLOUR, BAR_COLOUR = "#1f6f3f", "#e63946"


def svg():
    parts = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']
    for x, y, w, h, r, fill, stroke in PANELS:
        line = f'  <rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}" ry="{r}" fill="{fill}"'
        parts.append(line + (f' stroke="{stroke}" stroke-width="4"/>' if stroke else "/>"))
    points = " ".join(f"{x},{y}" for x, y in WAVE)
    parts.append(f'  <polyline fill="none" stroke="{WAVE_COLOUR}" stroke-width="7" '
                 f'stroke-linejoin="round" stroke-linecap="round" points="{points}"/>')
    for x, y in BARS:
        parts.append(f'  <rect x="{x}" y="{y}" width="{BAR_W}" height="{BAR_BOTTOM - y}" fill="{BAR_COLOUR}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def draw_args():
    args = []
    for x, y, w, h, r, fill, stroke in PANELS:
        args += ["-fill", fill, "-stroke", stroke or "none", "-strokewidth", "4",
                 "-draw", f"roundrectangle {x},{y} {x + w},{y + h} {r},{r}"]
    points = " ".join(f"{x},{y}" for x, y in WAVE)
    args += ["-fill", "none", "-stroke", WAVE_COLOUR, "-strokewidth", "7",
             "-draw", "stroke-linejoin round stroke-linecap round polyline " + points]
    args += ["-stroke", "none", "-fill", BAR_COLOUR]
    for x, y in BARS:
        args += ["-draw", f"rectangle {x},{y} {x + BAR_W - 1},{BAR_BOTTOM - 1}"]
    return args


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "tonmira.svg"), "w") as f:
        f.write(svg())
    for size in (48, 256):
        subprocess.run(["convert", "-size", "256x256", "xc:none", *draw_args(), "-resize", f"{size}x{size}",
                        "-strip", os.path.join(OUT, f"tonmira-{size}.png")], check=True)


if __name__ == "__main__":
    main()
