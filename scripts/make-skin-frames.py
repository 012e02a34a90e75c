#!/usr/bin/env python3
"""Writes the frame image of every colour skin, the skin chooser's layout and the
program icon.

The skin table (client/app/SkinTable.cpp) is read for each entry's id, colours and
file; each frame is 1040x300 (the table's corner 1038,298,1,1 keeps all but the
last column and row): a header band in the dark colour, the body from the first
light colour to the second, a one-pixel border. Plain Python, no packages.
Usage: python3 scripts/make-skin-frames.py   (from the repository root)
"""
import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WIDTH, HEIGHT, HEADER = 1040, 300, 34


def png(path, width, rows):
    """rows: list of bytes objects, RGB, one per row."""
    raw = bytearray()
    prev = bytes(width * 3)
    for row in rows:
        # "Up" filter: gradients along the rows pack to almost nothing.
        raw.append(2)
        raw.extend(bytes((a - b) & 0xFF for a, b in zip(row, prev)))
        prev = row

    def chunk(kind, data):
        out = struct.pack(">I", len(data)) + kind + data
        return out + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rows), 8, 2, 0, 0, 0))
    data += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    data += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def rgb(argb):
    return ((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF)


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def frame(dark, light1, light2):
    white = (255, 255, 255)
    border = mix(dark, (0, 0, 0), 0.15)
    rows = []
    for y in range(HEIGHT):
        if y == 0 or y == HEIGHT - 1:
            colour = border
        elif y < HEADER:
            colour = mix(mix(dark, white, 0.18), dark, y / HEADER)
        elif y == HEADER:
            colour = mix(dark, white, 0.35)
        else:
            colour = mix(light1, light2, (y - HEADER) / (HEIGHT - 2 - HEADER))
        row = bytearray(bytes(colour) * WIDTH)
        row[0:3] = bytes(border)
        row[-3:] = bytes(border)
        rows.append(bytes(row))
    return rows


def skins():
    text = open(os.path.join(ROOT, "client/app/SkinTable.cpp"), encoding="utf-8").read()
    pattern = r'SKIN\((\d+), (0x[0-9A-F]{8}), (0x[0-9A-F]{8}), (0x[0-9A-F]{8}), "([^"]+)"\)'
    return [(int(i), int(a, 16), int(b, 16), int(c, 16), f) for i, a, b, c, f in re.findall(pattern, text)]


def icon_image(size):
    """BGRA rows, bottom-up: a blue disc with a white microphone."""
    blue, deep = (0x02, 0x7E, 0xCF), (0x01, 0x4F, 0x8A)
    ss = 4
    out = []
    for y in range(size - 1, -1, -1):
        row = bytearray()
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (x + (sx + 0.5) / ss) / size * 2 - 1
                    v = (y + (sy + 0.5) / ss) / size * 2 - 1
                    if u * u + v * v > 0.94:
                        continue
                    c = mix(blue, deep, (v + 1) / 2)
                    # Capsule, stand arc, stem and foot of the microphone.
                    capsule = (abs(u) < 0.22 and -0.40 < v < -0.10) or u * u + (v + 0.40) ** 2 < 0.0484 \
                        or u * u + (v + 0.10) ** 2 < 0.0484
                    r = (u * u + (v + 0.10) ** 2) ** 0.5
                    arc = 0.30 < r < 0.40 and v > -0.10
                    stem = abs(u) < 0.05 and 0.28 < v < 0.52
                    foot = abs(u) < 0.24 and 0.48 < v < 0.58
                    if capsule or arc or stem or foot:
                        c = (255, 255, 255)
                    acc[0] += c[2]
                    acc[1] += c[1]
                    acc[2] += c[0]
                    acc[3] += 255
            n = ss * ss
            row += bytes((acc[0] // n, acc[1] // n, acc[2] // n, acc[3] // n)) if acc[3] else bytes(4)
            if acc[3]:
                # Colours were summed only over covered samples.
                k = acc[3] // 255
                row[-4:-1] = bytes((acc[0] // k, acc[1] // k, acc[2] // k))
        out.append(bytes(row))
    return out


def write_icon(path, sizes=(16, 32, 48)):
    images = []
    for s in sizes:
        rows = icon_image(s)
        mask_stride = ((s + 31) // 32) * 4
        header = struct.pack("<IiiHHIIiiII", 40, s, s * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        images.append(header + b"".join(rows) + bytes(mask_stride * s))
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(path, "wb") as f:
        f.write(data)


def lighter(argb):
    r, g, b = mix(rgb(argb), (255, 255, 255), 0.25)
    return 0xFF000000 | (r << 16) | (g << 8) | b


def chooser_layout(table):
    """skin/MVChat/WndSelSkin.xml: one "btnskin" button per skin, tag = id."""
    columns, cell, gap = 7, 44, 8
    rows = (len(table) + columns - 1) // columns
    width = columns * (cell + gap) + 2 * 18
    height = 34 + 16 + rows * (cell + gap) + 12
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           '<!-- Written by scripts/make-skin-frames.py from the skin table. -->',
           '<Window size="%d,%d" caption="0,0,0,34" roundcorner="8,8" sizebox="4,4,4,4" mininfo="%d,%d">'
           % (width, height, width, height),
           '  <Font name="WenQuanYi Micro Hei" size="13" default="true" />',
           '  <Font name="WenQuanYi Micro Hei" size="14" bold="true" />',
           '  <VerticalLayout name="winBG" bkcolor="#FFFFFFFF">',
           '    <HorizontalLayout height="33" padding="1,1,1,0">',
           '      <Label text="选择皮肤" font="1" textcolor="#FFFFFFFF" padding="14,0,0,0" />',
           '      <Button name="closebtn" width="28" height="28" padding="0,2,3,0" text="×" font="1" tooltip="关闭"',
           '              textcolor="#FFFFFFFF" hotbkcolor="#33FFFFFF" pushedbkcolor="#55FFFFFF" borderround="6,6" />',
           '    </HorizontalLayout>',
           '    <TileLayout inset="18,16,18,0" itemsize="%d,%d" columns="%d" childpadding="%d">'
           % (cell + gap, cell + gap, columns, 0)]
    for skin_id, dark, _light1, _light2, _name in table:
        out.append('      <Button name="btnskin" tag="%d" tooltip="皮肤 %d" width="%d" height="%d" padding="4,4,4,4" '
                   'bkcolor="#%08X" hotbkcolor="#%08X" borderround="8,8" />'
                   % (skin_id, skin_id, cell, cell, dark, lighter(dark)))
    out += ['    </TileLayout>', '  </VerticalLayout>', '</Window>', '']
    with open(os.path.join(ROOT, "skin/MVChat/WndSelSkin.xml"), "w", encoding="utf-8") as f:
        f.write("\n".join(out))


def main():
    table = skins()
    if len(table) != 28:
        sys.exit("expected 28 skins in SkinTable.cpp, found %d" % len(table))
    for _id, dark, light1, light2, name in table:
        png(os.path.join(ROOT, "skin/MVChat", name), WIDTH, frame(rgb(dark), rgb(light1), rgb(light2)))
    chooser_layout(table)
    write_icon(os.path.join(ROOT, "client/program/MVchat.ico"))


if __name__ == "__main__":
    main()
