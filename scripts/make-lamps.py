#!/usr/bin/env python3
"""Draws the presence indicator lamps (green: no target, red: target) as
356 x 344 PNG pictures with a transparent surround: a dark bezel, a glass body
shaded from a bright core to a deep rim and a soft specular highlight.
Pure Python (zlib only), so it runs anywhere: scripts/make-lamps.py res/lamps"""

import math
import struct
import sys
import zlib

WIDTH, HEIGHT = 356, 344
CX, CY = WIDTH / 2.0, HEIGHT / 2.0
R_OUT = 168.0   # bezel outer edge
R_BODY = 156.0  # glass body


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smooth(edge0, edge1, x):
    t = clamp((x - edge0) / (edge1 - edge0))
    return t * t * (3 - 2 * t)


def over(dst, src):
    """Composites straight-alpha src (r, g, b, a in 0..1) over dst."""
    sr, sg, sb, sa = src
    dr, dg, db, da = dst
    oa = sa + da * (1 - sa)
    if oa <= 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda s, d: (s * sa + d * da * (1 - sa)) / oa
    return (mix(sr, dr), mix(sg, dg), mix(sb, db), oa)


def lamp_pixel(x, y, core, rim):
    px, py = x + 0.5 - CX, y + 0.5 - CY
    d = math.hypot(px, py)
    colour = (0.0, 0.0, 0.0, 0.0)

    # Bezel: dark metal, lighter at the top, with antialiased edges.
    bezel_cov = clamp(R_OUT - d + 0.5)
    if bezel_cov > 0:
        t = clamp(0.5 - py / (2 * R_OUT))  # 1 at the top, 0 at the bottom
        g = 0.18 + 0.30 * t
        colour = over(colour, (g, g, g + 0.02, bezel_cov))

    # Glass body: bright core slightly above the centre, deep towards the rim.
    body_cov = clamp(R_BODY - d + 0.5)
    if body_cov > 0:
        dc = math.hypot(px, py + 0.18 * R_BODY) / (R_BODY * 1.1)
        k = smooth(0.0, 1.0, dc)
        rgb = tuple(c * (1 - k) + r * k for c, r in zip(core, rim))
        # A thin dark ring where the glass meets the bezel.
        edge = smooth(R_BODY - 8, R_BODY, d)
        rgb = tuple(c * (1 - 0.45 * edge) for c in rgb)
        # Light scattered back at the bottom of the glass.
        glow = smooth(0.35, 1.0, py / R_BODY) * (1 - edge) * 0.35
        rgb = tuple(clamp(c + glow * (cc - c)) for c, cc in zip(rgb, core))
        colour = over(colour, (*rgb, body_cov))

        # Specular highlight: an ellipse in the upper half, fading downwards.
        hx, hy = px / (0.66 * R_BODY), (py + 0.47 * R_BODY) / (0.40 * R_BODY)
        he = math.hypot(hx, hy)
        if he < 1:
            fade = clamp(0.5 - 0.5 * hy)  # strong at its top, gone at its bottom
            a = 0.85 * fade * (1 - smooth(0.80, 1.0, he)) * body_cov
            colour = over(colour, (1.0, 1.0, 1.0, a))
        # A small hot spot.
        sd = math.hypot(px + 0.30 * R_BODY, py + 0.55 * R_BODY) / (0.10 * R_BODY)
        if sd < 1:
            colour = over(colour, (1.0, 1.0, 1.0, 0.9 * (1 - smooth(0.2, 1.0, sd))))
    return colour


def write_png(path, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def make(path, core, rim):
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            r, g, b, a = lamp_pixel(x, y, core, rim)
            row += [round(clamp(r) * 255), round(clamp(g) * 255), round(clamp(b) * 255), round(clamp(a) * 255)]
        rows.append(row)
    write_png(path, rows)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "res/lamps"
    make(out + "/lamp_green.png", core=(0.55, 1.0, 0.45), rim=(0.02, 0.38, 0.05))
    make(out + "/lamp_red.png", core=(1.0, 0.50, 0.42), rim=(0.45, 0.02, 0.02))
