#!/usr/bin/env python3
"""Draws the head images of the face groups in skin/userface.dat into
skin/MVChat/Face/36/<id>.png and Face/80/<id>.png: a round face in a colour of its
own, eyes and a mouth that vary with the id. Plain Python (zlib), no image library,
palette PNGs so the files stay small. Usage: scripts/draw-faces.py [skin folder]"""
import os
import struct
import sys
import zlib

PALETTE_BG = (0, 0, 0)  # index 0: transparent


def face_ids(userface):
    ids = []
    with open(userface, "rb") as f:
        for raw in f:
            line = raw.decode("latin-1").strip()
            if not line or line.startswith("//"):
                continue
            parts = [p for p in line.split(",") if p.strip()]
            if parts and parts[0].strip() in ("1", "2", "3"):
                ids += [int(p) for p in parts[1:] if p.strip().lstrip("-").isdigit()]
    return ids


def colours(face_id):
    # Warm skin tones only: the face tiles are told apart by their features.
    hues = [(0xF2, 0x9E, 0x4C), (0xF5, 0xB0, 0x60), (0xE8, 0x7C, 0x5A), (0xE0, 0x6C, 0x8E),
            (0xEC, 0x90, 0xA8), (0xF0, 0xC8, 0x3C), (0xF8, 0xD0, 0x70), (0xF4, 0xA6, 0x7A)]
    skin = hues[face_id % len(hues)]
    dark = tuple(max(0, c - 0x70) for c in skin)
    tint = tuple(c + (0xFF - c) * 2 // 3 for c in skin)
    return [PALETTE_BG, skin, dark, (0xFF, 0xFF, 0xFF), (0x30, 0x30, 0x38), tint]


def draw(face_id, size):
    s = size / 80.0
    rows = []
    r = 36 * s
    cx = cy = size / 2.0
    eye_dx, eye_y, eye_r = 13 * s, cy - 7 * s, (4 + face_id % 3) * s
    mouth_w = (10 + (face_id * 7) % 9) * s
    smile = face_id % 4 != 3
    for y in range(size):
        row = bytearray()
        for x in range(size):
            px, py = x + 0.5, y + 0.5
            d = ((px - cx) ** 2 + (py - cy) ** 2) ** 0.5
            # A tinted tile behind the face, its corners rounded.
            corner = 6 * s
            qx = max(corner - px, 0, px - (size - corner))
            qy = max(corner - py, 0, py - (size - corner))
            c = 5 if (qx * qx + qy * qy) ** 0.5 <= corner else 0
            if d <= r:
                c = 2 if d > r - 2.5 * s else 1
                for ex in (cx - eye_dx, cx + eye_dx):
                    if ((px - ex) ** 2 + (py - eye_y) ** 2) ** 0.5 <= eye_r:
                        c = 3
                    if ((px - ex) ** 2 + (py - eye_y - 1 * s) ** 2) ** 0.5 <= eye_r * 0.55:
                        c = 4
                mx = px - cx
                if abs(mx) <= mouth_w:
                    curve = (mx / mouth_w) ** 2 * 6 * s
                    my = cy + 14 * s + (-curve if smile else curve - 4 * s)
                    if abs(py - my) <= 1.6 * s:
                        c = 4
            row.append(c)
        rows.append(bytes(row))
    return rows


def png(rows, palette):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 3, 0, 0, 0))
    out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    out += chunk(b"tRNS", b"\x00")
    out += chunk(b"IDAT", zlib.compress(raw, 9))
    out += chunk(b"IEND", b"")
    return out


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "skin")
    ids = face_ids(os.path.join(root, "userface.dat"))
    for size in (36, 80):
        folder = os.path.join(root, "MVChat", "Face", str(size))
        os.makedirs(folder, exist_ok=True)
        for face_id in ids:
            with open(os.path.join(folder, "%d.png" % face_id), "wb") as f:
                f.write(png(draw(face_id, size), colours(face_id)))
    print("%d faces in 36 and 80 pixels" % len(ids))


if __name__ == "__main__":
    main()
