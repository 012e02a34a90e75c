#!/usr/bin/env python3
"""Draws the pictures of the room's gift pane tiles (gift/app_*.png) and the treasure-box
sheet bk_baoxiangres.png of skin/MVChat with the standard library only: the closed box at
0,0, its highlight at 62,0, and the 18 prizes on a 5-column grid of 62-pixel cells from
x 129 (coin piles growing with the prize, then gold bars and a crown)."""
import math
import os
import struct
import sys
import zlib


def png(path, w, h, pixel):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(w)) for y in range(h))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


CLEAR = (0, 0, 0, 0)


def box(x, y):
    """A closed chest in a 62-pixel cell."""
    if 8 <= x < 54 and 22 <= y < 52:
        if 28 <= x < 34 and 30 <= y < 38:
            return (250, 214, 80, 255)  # the lock
        if y in (22, 51) or x in (8, 53) or 30 <= y < 32:
            return (110, 60, 20, 255)
        return (176, 102, 44, 255)
    if 10 <= x < 52 and 12 <= y < 22:
        return (150, 84, 34, 255) if y > 12 else (110, 60, 20, 255)
    return CLEAR


def highlight(x, y):
    d = max(abs(x - 31), abs(y - 31))
    if 27 <= d <= 30:
        return (255, 200, 40, 220 - (30 - d) * 50)
    return CLEAR


def coin(x, y, cx, cy, r):
    d = math.hypot(x - cx, y - cy)
    if d <= r:
        return (200, 140, 20, 255) if d > r - 1.5 else (250, 204, 60, 255)
    return None


def prize(k):
    """Cell k: 1..5 coins for the small prizes, then piles, bars and the crown."""
    def pixel(x, y):
        if k < 5:
            n = k + 1
            for i in range(n):
                c = coin(x, y, 31, 44 - i * 6, 10)
                if c:
                    return c
        elif k < 10:
            for col in range(3):
                for i in range(k - 3):
                    c = coin(x, y, 15 + col * 16, 48 - i * 6, 7)
                    if c:
                        return c
        elif k < 16:
            bars = k - 8
            for i in range(bars):
                bx, by = 10 + (i % 3) * 14, 44 - (i // 3) * 10
                if bx <= x < bx + 13 and by <= y < by + 8:
                    return (230, 170, 30, 255) if y > by else (255, 230, 120, 255)
        else:
            # the crown, a larger one for the first prize
            s = 1.0 if k == 16 else 1.3
            u, v = (x - 31) / s, (y - 34) / s
            if -18 <= u <= 18 and 0 <= v <= 10:
                return (240, 180, 30, 255)
            for px in (-16, 0, 16):
                if v < 0 and abs(u - px) <= (v + 18) / 2 and v >= -18:
                    return (255, 210, 60, 255)
            if k == 17 and abs(u) <= 3 and -4 <= v <= 2:
                return (220, 40, 60, 255)
        return CLEAR
    return pixel


def sheet(x, y):
    if y < 62 and x < 62:
        return box(x, y)
    if y < 62 and 62 <= x < 124:
        return highlight(x - 62, y)
    if x >= 129:
        c, r = (x - 129) // 62, y // 62
        k = r * 5 + c
        if 0 <= k < 18 and c < 5:
            return prize(k)(x - 129 - 62 * c, y - 62 * r)
    return CLEAR


TILES = {
    'app_exchange': ((58, 142, 230), 'arrows'),
    'app_game': ((120, 90, 210), 'pad'),
    'app_paid': ((230, 120, 40), 'diamond'),
    'app_center': ((40, 170, 120), 'person'),
    'app_sales': ((220, 60, 80), 'cart'),
}


def tile(colour, shape):
    def pixel(x, y):
        u, v = x - 20, y - 20
        inside = False
        if shape == 'arrows':
            inside = (abs(v + 6) <= 2 and -12 <= u <= 10) or (abs(v - 6) <= 2 and -10 <= u <= 12) \
                or (u > 4 and abs(v + 6) <= 12 - u and u <= 12) or (u < -4 and abs(v - 6) <= 12 + u and u >= -12)
        elif shape == 'pad':
            inside = (abs(u) <= 14 and abs(v) <= 7) or math.hypot(u + 12, v - 5) <= 6 or math.hypot(u - 12, v - 5) <= 6
            if (abs(u + 8) <= 1 and abs(v) <= 4) or (abs(v) <= 1 and abs(u + 8) <= 4) or math.hypot(u - 8, v) <= 2:
                return (255, 255, 255, 255)
        elif shape == 'diamond':
            inside = abs(u) + abs(v - 2) <= 14 and v >= -8
        elif shape == 'person':
            inside = math.hypot(u, v + 7) <= 6 or (math.hypot(u, v - 14) <= 12 and v >= 2)
        elif shape == 'cart':
            inside = (-12 <= u <= 12 and -8 <= v <= 4 and u >= -12 + (v + 8) // 4) or math.hypot(u + 7, v - 10) <= 3 \
                or math.hypot(u - 8, v - 10) <= 3 or (abs(v + 10) <= 1 and -16 <= u <= -10)
        if inside:
            return colour + (255,)
        d = max(abs(u + 0.5), abs(v + 0.5))
        return (colour[0] // 4 + 190, colour[1] // 4 + 190, colour[2] // 4 + 190, 255) if d <= 19 else CLEAR
    return pixel


def main():
    skin = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'skin', 'MVChat')
    if len(sys.argv) > 1:
        skin = sys.argv[1]
    png(os.path.join(skin, 'bk_baoxiangres.png'), 439, 248, sheet)
    for name, (colour, shape) in TILES.items():
        png(os.path.join(skin, 'gift', name + '.png'), 40, 40, tile(colour, shape))


if __name__ == '__main__':
    main()
