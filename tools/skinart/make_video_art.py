#!/usr/bin/env python3
"""Writes the video placeholders (200x150.png, 320x240.png, 256x192.png) and the level
picture head/PurpleVip5.gif of skin/MVChat with the standard library only."""
import os
import struct
import sys
import zlib


def png(path, w, h, pixel):
    rows = b''.join(b'\0' + b''.join(bytes(pixel(x, y)) for x in range(w)) for y in range(h))
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))


def placeholder(w, h):
    def pixel(x, y):
        t = y / max(1, h - 1)
        base = [int(0x2B * (1 - t) + 0x14 * t), int(0x36 * (1 - t) + 0x1B * t), int(0x44 * (1 - t) + 0x24 * t)]
        # a camera outline in the middle
        cx, cy, bw, bh = w // 2, h // 2, w // 5, h // 6
        if (abs(x - cx) <= bw and abs(y - cy) <= bh and (abs(x - cx) >= bw - 1 or abs(y - cy) >= bh - 1)) \
                or ((x - cx) ** 2 + (y - cy) ** 2 <= (bh // 2) ** 2):
            return [0x5B, 0x6B, 0x7B]
        return base
    return pixel


def lzw(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, bits, nbits = bytearray(), 0, 0
    size = min_size + 1
    def emit(code):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    table = {(i,): i for i in range(clear)}
    nxt = end + 1
    emit(clear)
    w = ()
    for k in indices:
        wk = w + (k,)
        if wk in table:
            w = wk
            continue
        emit(table[w])
        if nxt < 4096:
            table[wk] = nxt
            nxt += 1
            if nxt > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            nxt, size = end + 1, min_size + 1
        w = (k,)
    if w:
        emit(table[w])
    emit(end)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def gif_star(path, n=18):
    # palette: 0 transparent, 1 purple, 2 light purple
    def inside(x, y):
        import math
        cx = cy = (n - 1) / 2
        ang = math.atan2(y - cy, x - cx)
        r = math.hypot(x - cx, y - cy)
        k = (math.cos(5 * (ang + math.pi / 2)) + 1) / 2
        return r <= 3.5 + 5 * k
    idx = []
    for y in range(n):
        for x in range(n):
            idx.append(2 if inside(x, y) and y < n // 2 else (1 if inside(x, y) else 0))
    data = lzw(idx, 2)
    blocks = b''.join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255))
    with open(path, 'wb') as f:
        f.write(b'GIF89a' + struct.pack('<HHBBB', n, n, 0x81, 0, 0))
        f.write(bytes([0, 0, 0, 0x8E, 0x44, 0xAD, 0xC3, 0x9B, 0xD3, 0, 0, 0]))
        f.write(b'\x21\xF9\x04\x01\x00\x00\x00\x00')  # index 0 transparent
        f.write(b'\x2C' + struct.pack('<HHHHB', 0, 0, n, n, 0) + bytes([2]) + blocks + b'\0\x3B')


def main():
    skin = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '../../skin/MVChat')
    for w, h in ((200, 150), (320, 240), (256, 192)):
        png(os.path.join(skin, '%dx%d.png' % (w, h)), w, h, placeholder(w, h))
    gif_star(os.path.join(skin, 'head', 'PurpleVip5.gif'))


if __name__ == '__main__':
    main()
