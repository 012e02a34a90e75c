#!/usr/bin/env python3
"""Draws the colour strips (gift/caitiao_01.gif .. caitiao_05.gif, named by
skin/caotiao.txt) and the entrance banners (car_01/star_fy_1.gif .. star_fy_32.gif
for the 32 entrance-effect bits, and star_fy_100.gif for the level that has its own
banner) of skin/MVChat as GIF files. Standard library only; run it again after
changing a drawing."""
import colorsys
import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_video_art import lzw  # noqa: E402

BANNER_W, BANNER_H = 1000, 158  # the banner line's own box
STRIP_W, STRIP_H = 360, 36


def write_gif(path, w, h, indices, palette, transparent=None):
    """indices: w*h palette indexes; palette: up to 256 (r, g, b)."""
    bits = 1
    while (1 << bits) < max(2, len(palette)):
        bits += 1
    pal = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    min_size = max(2, bits)
    data = lzw(indices, min_size)
    blocks = b''.join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(b'GIF89a' + struct.pack('<HHBBB', w, h, 0x80 | (bits - 1), 0, 0))
        for r, g, b in pal:
            f.write(bytes((r, g, b)))
        if transparent is not None:
            f.write(b'\x21\xF9\x04\x01\x00\x00' + bytes([transparent]) + b'\x00')
        f.write(b'\x2C' + struct.pack('<HHHHB', 0, 0, w, h, 0) + bytes([min_size]) + blocks + b'\0\x3B')


def rgb(h, s, v):
    r, g, b = colorsys.hsv_to_rgb(h % 1.0, s, v)
    return (int(r * 255), int(g * 255), int(b * 255))


def star_at(x, y, cx, cy, r):
    ang = math.atan2(y - cy, x - cx)
    d = math.hypot(x - cx, y - cy)
    k = (math.cos(5 * (ang + math.pi / 2)) + 1) / 2
    return d <= r * (0.45 + 0.55 * k)


def heart_at(x, y, cx, cy, r):
    u = (x - cx) / r
    v = (cy - y) / r + 0.25
    return (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0


# ----- Colour strips: a row of bright shapes on a soft band, one theme each.

STRIP_THEMES = [
    # (band hue, shape, shape hues)
    (0.0, 'rainbow', None),
    (0.95, 'heart', [0.98, 0.92, 0.0]),
    (0.6, 'star', [0.13, 0.16, 0.1]),
    (0.33, 'flower', [0.85, 0.05, 0.75]),
    (0.08, 'ball', [0.0, 0.55, 0.3, 0.75]),
]


def strip(theme):
    band_hue, shape, hues = theme
    if shape == 'rainbow':
        palette = [rgb(i / 7.0, 0.75, 1.0) for i in range(7)] + [(255, 255, 255)]
        idx = []
        for y in range(STRIP_H):
            for x in range(STRIP_W):
                wave = int(3 * math.sin((x / STRIP_W) * 6 * math.pi))
                band = ((y + wave) * 7) // STRIP_H
                idx.append(7 if (x + y) % 36 == 0 else max(0, min(6, band)))
        return palette, idx
    palette = [rgb(band_hue, 0.18, 1.0), rgb(band_hue, 0.35, 0.95)] + [rgb(h, 0.8, 1.0) for h in hues]
    idx = []
    cell = STRIP_H
    for y in range(STRIP_H):
        for x in range(STRIP_W):
            n = x // cell
            cx, cy = n * cell + cell / 2, STRIP_H / 2
            colour = 2 + n % len(hues)
            r = cell * 0.42
            if shape == 'heart':
                hit = heart_at(x, y, cx, cy, r * 0.9)
            elif shape == 'star':
                hit = star_at(x, y, cx, cy, r)
            elif shape == 'flower':
                ang = math.atan2(y - cy, x - cx)
                d = math.hypot(x - cx, y - cy)
                hit = d <= r * (0.55 + 0.45 * abs(math.cos(2.5 * ang)))
                if d <= r * 0.25:
                    colour, hit = 1, True
            else:
                hit = math.hypot(x - cx, y - cy) <= r
            border = y < 2 or y >= STRIP_H - 2
            idx.append(colour if hit else (1 if border else 0))
    return palette, idx


# ----- Entrance banners: a night sky over a road, a car on the left in the banner's
# colour, the text space (from x = 160, yellow text) kept dark.

def banner(number):
    hue = 0.12 if number == 100 else (number * 0.137) % 1.0
    sky = [rgb(0.65, 0.6, 0.18 + 0.05 * i) for i in range(6)]
    palette = sky + [
        (40, 40, 48),            # 6 road
        (220, 220, 220),         # 7 road marks, window frames
        rgb(hue, 0.85, 0.95),    # 8 body
        rgb(hue, 0.9, 0.6),      # 9 body shade
        (150, 200, 240),         # 10 glass
        (20, 20, 20),            # 11 tyres
        (255, 240, 120),         # 12 lights and stars
        rgb(hue, 0.5, 1.0),      # 13 glow line
    ]
    road = 128
    stars = [((number * 97 + k * 211) % BANNER_W, (number * 31 + k * 57) % 100, 2 + k % 3) for k in range(24)]
    idx = []
    for y in range(BANNER_H):
        for x in range(BANNER_W):
            c = 6 if y >= road else min(5, y * 6 // road)
            if y >= road and (y - road) in (12, 13) and (x // 40) % 2 == 0:
                c = 7
            if y in (road - 2, road - 1) and x >= 150:
                c = 13
            for sx, sy, sr in stars:
                if abs(x - sx) <= sr and abs(y - sy) <= sr and star_at(x, y, sx, sy, sr + 0.5):
                    c = 12
            # the car: body, cabin, windows, wheels, lights
            if 100 <= y < 124 and 12 <= x < 148:
                c = 8 if y < 116 else 9
            if 80 <= y < 100 and 40 + (100 - y) // 2 <= x < 118 - (100 - y) // 2:
                c = 8
                if 84 <= y < 98 and (48 <= x < 76 or 82 <= x < 108):
                    c = 10
            if 104 <= y < 110 and 140 <= x < 148:
                c = 12
            for wx in (42, 118):
                d = math.hypot(x - wx, y - 124)
                if d <= 12:
                    c = 11 if d > 5 else 7
            idx.append(c)
    return palette, idx


def main():
    skin = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '../../skin/MVChat')
    for i, theme in enumerate(STRIP_THEMES):
        palette, idx = strip(theme)
        write_gif(os.path.join(skin, 'gift', 'caitiao_%02d.gif' % (i + 1)), STRIP_W, STRIP_H, idx, palette)
    for number in list(range(1, 33)) + [100]:
        palette, idx = banner(number)
        write_gif(os.path.join(skin, 'car_01', 'star_fy_%d.gif' % number), BANNER_W, BANNER_H, idx, palette)


if __name__ == '__main__':
    main()
