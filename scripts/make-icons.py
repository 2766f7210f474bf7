#!/usr/bin/env python3
"""Draws the tool bar's 16 x 15 icons as XPM files in src/ui/icons/ (plain text, read by Qt
without any image plugin). Run it again after changing a drawing."""
import os

W, H = 16, 15
OUT = os.path.join(os.path.dirname(__file__), "..", "src", "ui", "icons")
PALETTE = {".": "None", "k": "#000000", "w": "#FFFFFF", "g": "#808080", "y": "#E8C000",
           "r": "#D00000", "b": "#0040C0", "G": "#008000", "l": "#C0C0C0"}


def canvas():
    return [["." for _ in range(W)] for _ in range(H)]


def rect(c, x0, y0, x1, y1, col, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge:
                c[y][x] = col
            elif fill:
                c[y][x] = fill


def line(c, x0, y0, x1, y1, col):
    n = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(n + 1):
        c[round(y0 + (y1 - y0) * i / n)][round(x0 + (x1 - x0) * i / n)] = col


def tri_right(c, x0, y0, h, col):
    for i in range(h):
        line(c, x0, y0 + i, x0 + min(i, h - 1 - i), y0 + i, col)


def tri_left(c, x1, y0, h, col):
    for i in range(h):
        line(c, x1 - min(i, h - 1 - i), y0 + i, x1, y0 + i, col)


def page(c):
    for y in range(1, 14):
        line(c, 3, y, 12, y, "w")
    rect(c, 3, 1, 12, 13, "k")
    line(c, 10, 1, 12, 3, "k")
    return c


def icon_new():
    return page(canvas())


def icon_open():
    c = canvas()
    rect(c, 1, 4, 13, 12, "k", "y")
    line(c, 1, 3, 5, 3, "k")
    rect(c, 3, 7, 15, 12, "k", "y")
    return c


def icon_save():
    c = canvas()
    rect(c, 1, 1, 14, 13, "k", "b")
    rect(c, 4, 1, 11, 6, "k", "w")
    rect(c, 4, 9, 11, 13, "k", "l")
    return c


def icon_wave(col):
    c = page(canvas())
    ys = [7, 5, 4, 5, 7, 9, 10, 9]
    for i, y in enumerate(ys):
        line(c, 4 + i, 7, 4 + i, y, col)
    return c


def icon_spectrum():
    c = page(canvas())
    for i, h in enumerate([2, 7, 4, 9, 3, 5]):
        line(c, 4 + i * 1 + (i > 2), 12, 4 + i * 1 + (i > 2), 12 - h, "r")
    return c


def icon_stop():
    c = canvas()
    rect(c, 3, 2, 12, 11, "k", "k")
    return c


def icon_play():
    c = canvas()
    tri_right(c, 4, 1, 13, "G")
    return c


def icon_pause():
    c = canvas()
    rect(c, 4, 2, 6, 12, "k", "k")
    rect(c, 9, 2, 11, 12, "k", "k")
    return c


def icon_record():
    c = canvas()
    for y in range(H):
        for x in range(W):
            if (x - 7.5) ** 2 + (y - 7) ** 2 <= 26:
                c[y][x] = "r"
    return c


def icon_top():
    c = canvas()
    rect(c, 2, 2, 3, 12, "k", "k")
    tri_left(c, 10, 2, 11, "k")
    return c


def icon_end():
    c = canvas()
    rect(c, 12, 2, 13, 12, "k", "k")
    tri_right(c, 5, 2, 11, "k")
    return c


def icon_mark(left):
    c = canvas()
    x = 4 if left else 11
    line(c, x, 1, x, 13, "b")
    for i in range(5):
        if left:
            line(c, x + 1, 2 + i, x + 5 - i, 2 + i, "b")
        else:
            line(c, x - 5 + i, 2 + i, x - 1, 2 + i, "b")
    line(c, 2, 13, 13, 13, "k")
    return c


def icon_about():
    c = canvas()
    for y in range(H):
        for x in range(W):
            if (x - 7.5) ** 2 + (y - 7) ** 2 <= 42:
                c[y][x] = "b"
    rect(c, 7, 6, 8, 11, "w", "w")
    rect(c, 7, 3, 8, 4, "w", "w")
    return c


ICONS = {57600: icon_new, 57601: icon_open, 57603: icon_save, 32771: lambda: icon_wave("G"),
         32773: icon_spectrum, 32779: icon_stop, 32778: icon_play, 32780: icon_pause, 32781: icon_record,
         32782: icon_top, 32783: icon_end, 32790: lambda: icon_mark(True), 32793: lambda: icon_mark(False),
         57664: icon_about}


def write_xpm(name, c):
    used = sorted({ch for row in c for ch in row})
    lines = ["/* XPM */", f"static const char *{name}[] = {{", f'"{W} {H} {len(used)} 1",']
    lines += [f'"{ch} c {PALETTE[ch]}",' for ch in used]
    lines += [f'"{"".join(row)}",' for row in c]
    lines[-1] = lines[-1].rstrip(",")
    lines.append("};")
    with open(os.path.join(OUT, f"{name}.xpm"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for cid, draw in ICONS.items():
        write_xpm(f"cmd{cid}", draw())
