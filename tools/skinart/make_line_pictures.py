#!/usr/bin/env python3
"""Draws the pictures the room's chat lines name beside the catalogs' own: the gift
line's picture of each gift (gift/<id>_1.gif, made from the gift's tile gift/<id>.png)
and the loudspeaker lines' icons (trumpet/goldSpeaker.gif, trumpet/guanfang.gif) of
skin/MVChat. Standard library only; run it again after adding a gift to gift.conf."""
import math
import os
import re
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_strips_and_banners import write_gif  # noqa: E402

SKIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'skin', 'MVChat')


def read_png_rgba(path):
    """Decodes an 8-bit RGBA or RGB, non-interlaced PNG into rows of (r, g, b, a)."""
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError(path + ': not a PNG')
    pos, idat, w = 8, b'', 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            w, h, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError(path + ': only 8-bit RGB(A), non-interlaced')
            channels = 4 if colour == 6 else 3
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = w * channels
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + channels]) + ((255,) if channels == 3 else ())
                     for x in range(w)])
        prev = line
    return w, h, rows


def to_gif(path, w, h, rows):
    """A 6x6x6 colour cube and one transparent entry for pixels under half alpha."""
    palette = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    transparent = len(palette)
    palette.append((255, 255, 255))
    idx = []
    for row in rows:
        for r, g, b, a in row:
            if a < 128:
                idx.append(transparent)
            else:
                idx.append((r * 5 + 127) // 255 * 36 + (g * 5 + 127) // 255 * 6 + (b * 5 + 127) // 255)
    write_gif(path, w, h, idx, palette, transparent)


def gift_ids():
    with open(os.path.join(SKIN, 'gift', 'gift.conf'), encoding='utf-16') as f:
        return [int(m.group(1)) for m in re.finditer(r'^gift=(\d+);', f.read(), re.M)]


def draw(w, h, inside):
    """rows of RGBA from inside(x, y) -> (r, g, b) or None."""
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            c = inside(x + 0.5, y + 0.5)
            row.append((0, 0, 0, 0) if c is None else c + (255,))
        rows.append(row)
    return rows


def gold_speaker(x, y):
    # A horn opening to the right, a mouthpiece on the left, two sound waves.
    if 2 <= x <= 7 and 8 <= y <= 12:
        return (150, 100, 20)
    if 7 <= x <= 14 and abs(y - 10) <= 2 + (x - 7) * 0.9:
        shade = 200 + int(40 * (1 - abs(y - 10) / 9))
        return (shade, int(shade * 0.75), 30)
    for r in (3.5, 6.0):
        d = math.hypot(x - 14, y - 10)
        if abs(d - r) < 0.7 and x > 15:
            return (230, 170, 30)
    return None


def official(x, y):
    # A red round badge with a white five-pointed star.
    cx, cy, r = 10, 10, 9
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    ang = math.atan2(y - cy, x - cx)
    k = (math.cos(5 * (ang + math.pi / 2)) + 1) / 2
    if d <= 6 * (0.45 + 0.55 * k):
        return (255, 255, 255)
    return (210, 30, 30)


def main():
    for gid in gift_ids():
        w, h, rows = read_png_rgba(os.path.join(SKIN, 'gift', '%d.png' % gid))
        to_gif(os.path.join(SKIN, 'gift', '%d_1.gif' % gid), w, h, rows)
    to_gif(os.path.join(SKIN, 'trumpet', 'goldSpeaker.gif'), 22, 20, draw(22, 20, gold_speaker))
    to_gif(os.path.join(SKIN, 'trumpet', 'guanfang.gif'), 20, 20, draw(20, 20, official))


if __name__ == '__main__':
    main()
