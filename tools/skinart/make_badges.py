#!/usr/bin/env python3
"""Draws the level and manager badges of skin/leveldesc.dat as 16x16 PNG files in
skin/MVChat: a rounded tile in the badge's colour with a short mark on it (the level
number, G for guests, a tower for the castle titles). The "b" pictures, shown before
the title of an entrance line, are the same tile with a light ring.
Plain Python, no image library. Usage: python3 tools/skinart/make_badges.py
"""
import os
import struct
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
OUT = os.path.join(ROOT, "skin", "MVChat")
SIZE = 16

# 3x5 glyphs, one string of three characters per row.
GLYPHS = {
    "0": ["###", "#.#", "#.#", "#.#", "###"],
    "1": [".#.", "##.", ".#.", ".#.", "###"],
    "2": ["##.", "..#", ".#.", "#..", "###"],
    "3": ["##.", "..#", ".#.", "..#", "##."],
    "4": ["#.#", "#.#", "###", "..#", "..#"],
    "5": ["###", "#..", "##.", "..#", "##."],
    "8": ["###", "#.#", "###", "#.#", "###"],
    "G": [".##", "#..", "#.#", "#.#", ".##"],
    "T": ["#.#", "###", "###", "###", "###"],  # a tower with a battlement
}

# name -> (tile colour, mark, ring)
BADGES = {
    "level_guest.png": ((150, 150, 150), "G", False),
    "level_2.png": ((70, 150, 220), "2", False),
    "level_3.png": ((60, 170, 90), "3", False),
    "level_3b.png": ((60, 170, 90), "3", True),
    "level_5.png": ((220, 160, 30), "5", False),
    "level_5b.png": ((220, 160, 30), "5", True),
    "level_8.png": ((120, 90, 220), "8", False),
    "level_8b.png": ((120, 90, 220), "8", True),
    "level_21.png": ((220, 70, 140), "21", False),
    "level_21b.png": ((220, 70, 140), "21", True),
    "mgr_1.png": ((200, 40, 40), "1", False),
    "mgr_2.png": ((230, 110, 30), "2", False),
    "mgr_3.png": ((40, 120, 200), "3", False),
    "mgr_4.png": ((90, 150, 160), "4", False),
    "castle_lord.png": ((190, 140, 20), "T", False),
    "castle_lady.png": ((220, 90, 150), "T", False),
}


def png(path, rows):
    """rows: SIZE rows of SIZE (r, g, b, a) tuples."""
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw.extend(px)

    def chunk(kind, data):
        out = struct.pack(">I", len(data)) + kind + data
        return out + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(data)


def inside(x, y, inset):
    """The rounded tile: a square with its corners cut by a 3-pixel radius."""
    lo, hi = inset, SIZE - 1 - inset
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    r = 3
    cx = lo + r if x < lo + r else hi - r if x > hi - r else x
    cy = lo + r if y < lo + r else hi - r if y > hi - r else y
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def badge(colour, mark, ring):
    dark = tuple(c * 3 // 5 for c in colour)
    white = (255, 255, 255, 255)
    rows = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            if inside(x, y, 1):
                rows[y][x] = colour + (255,) if inside(x, y, 2) else dark + (255,)
            if ring and inside(x, y, 0) and not inside(x, y, 1):
                rows[y][x] = (255, 230, 120, 255)
    # The mark: glyphs two pixels apart (three pixels wide each), scaled by 2 when alone.
    scale = 2 if len(mark) == 1 else 1
    width = len(mark) * 3 * scale + (len(mark) - 1) * 1
    left = (SIZE - width) // 2
    top = (SIZE - 5 * scale) // 2
    for i, ch in enumerate(mark):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, cell in enumerate(line):
                if cell != "#":
                    continue
                for sy in range(scale):
                    for sx in range(scale):
                        x = left + i * (3 * scale + 1) + gx * scale + sx
                        y = top + gy * scale + sy
                        rows[y][x] = white
    return rows


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, (colour, mark, ring) in BADGES.items():
        png(os.path.join(OUT, name), badge(colour, mark, ring))


if __name__ == "__main__":
    main()
