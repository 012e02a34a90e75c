#!/usr/bin/env python3
"""Draws the chat pictures of the skin (emoticons, the loudspeaker trumpet) as small
GIF files. Plain Python, no image library: run it again after changing a drawing."""
import math
import os
import struct
import sys

def gif(path, w, h, pixels, palette):
    """pixels: rows of palette indexes (< 128); index 0 is transparent."""
    pal = list(palette) + [(0, 0, 0)] * (128 - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0xF6, 0, 0)  # global table of 128 colours
    for r, g, b in pal:
        out += bytes((r, g, b))
    out += bytes((0x21, 0xF9, 4, 1, 0, 0, 0, 0))  # index 0 transparent
    out += b"," + struct.pack("<HHHHB", 0, 0, w, h, 0)
    out += bytes((7,))
    # Codes of 8 bits with a clear code before the table would grow to 9 bits.
    codes = []
    flat = [p for row in pixels for p in row]
    for i, p in enumerate(flat):
        if i % 120 == 0:
            codes.append(128)
        codes.append(p)
    codes.append(129)
    bits = 0
    nbits = 0
    data = bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 8
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    for k in range(0, len(data), 255):
        chunk = data[k:k + 255]
        out += bytes((len(chunk),)) + chunk
    out += b"\x00;"
    with open(path, "wb") as f:
        f.write(out)

PAL = [(255, 255, 255), (250, 204, 40), (200, 140, 20), (60, 40, 20), (255, 255, 255),
       (230, 60, 60), (80, 150, 230), (255, 150, 170), (120, 120, 120), (40, 120, 60),
       (200, 120, 20), (250, 230, 120)]

def face(kind, size=24):
    px = [[0] * size for _ in range(size)]
    c = (size - 1) / 2.0
    r = size / 2.0 - 1
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - c, y - c)
            if d <= r - 1.2:
                px[y][x] = 1
            elif d <= r:
                px[y][x] = 2
    def dot(x, y, col):
        if 0 <= x < size and 0 <= y < size:
            px[y][x] = col
    # eyes
    if kind in ("wink",):
        for dx in range(-2, 2):
            dot(8 + dx, 9, 3)
        for dy in range(-1, 2):
            dot(15, 9 + dy, 3); dot(16, 9 + dy, 3)
    elif kind == "cool":
        for x in range(5, 19):
            dot(x, 8, 3)
        for x in list(range(5, 11)) + list(range(13, 19)):
            dot(x, 9, 3); dot(x, 10, 3)
    else:
        for dy in range(-1, 2):
            for ex in (8, 15):
                dot(ex, 9 + dy, 3); dot(ex + 1, 9 + dy, 3)
    # mouth
    if kind in ("smile", "wink", "cool"):
        for x in range(7, 17):
            y = int(round(15 + 2.2 * math.sin(math.pi * (x - 7) / 9.0)))
            dot(x, y, 3)
    elif kind == "laugh":
        for x in range(7, 17):
            top = 14
            bottom = int(round(14 + 4 * math.sin(math.pi * (x - 7) / 9.0)))
            for y in range(top, bottom + 1):
                dot(x, y, 5 if y > top + 1 else 3)
    elif kind == "sad":
        for x in range(7, 17):
            y = int(round(18 - 2.2 * math.sin(math.pi * (x - 7) / 9.0)))
            dot(x, y, 3)
        dot(16, 12, 6); dot(16, 13, 6); dot(17, 13, 6)
    elif kind == "surprise":
        for y in range(14, 19):
            for x in range(10, 14):
                if math.hypot(x - 11.5, y - 16) <= 2.3:
                    dot(x, y, 3)
    elif kind == "love":
        for ex in (7, 14):
            for y in range(7, 12):
                for x in range(ex, ex + 4):
                    dot(x, y, 5)
        for x in range(7, 17):
            dot(x, int(round(15 + 2 * math.sin(math.pi * (x - 7) / 9.0))), 3)
    elif kind == "shy":
        for x in range(9, 15):
            dot(x, 16, 3)
        for x in (4, 5, 6, 17, 18, 19):
            dot(x, 13, 7); dot(x, 14, 7)
    return px

def trumpet(w=30, h=19):
    px = [[0] * w for _ in range(h)]
    mid = h // 2
    for x in range(w):
        if x < 8:
            half = 2
        else:
            half = 2 + int((x - 8) * (mid - 2) / (w - 9))
        for y in range(mid - half, mid + half + 1):
            edge = y in (mid - half, mid + half) or x in (0, w - 1)
            px[y][x] = 10 if edge else 11 if y < mid else 1
    for y in range(mid - 1, mid + 2):  # mouthpiece
        px[y][0] = 3
    return px

def main(root):
    emo = os.path.join(root, "MVChat", "emotion")
    os.makedirs(emo, exist_ok=True)
    kinds = ["smile", "laugh", "wink", "sad", "surprise", "love", "cool", "shy"]
    for i, k in enumerate(kinds, 1):
        gif(os.path.join(emo, "%d.gif" % i), 24, 24, face(k), PAL)
    tr = os.path.join(root, "MVChat", "trumpet")
    os.makedirs(tr, exist_ok=True)
    gif(os.path.join(tr, "bigtrumpet.gif"), 30, 19, trumpet(), PAL)

if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "skin"))
