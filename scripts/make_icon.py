#!/usr/bin/env python3
"""Draws the player's icon (player/velmora.ico): a rounded dark-blue tile with a white waveform
above a small position bar (light section, blue marked range, position line).
Writes 16x16, 32x32 and 48x48 images, 32 bits per pixel with an AND mask. No dependencies."""
import math
import struct
import sys


def lerp(a, b, t):
    return a + (b - a) * t


def draw(n):
    """Returns n rows (top first) of n (r, g, b, a) pixels."""
    px = [[(0, 0, 0, 0)] * n for _ in range(n)]
    s = n / 32.0
    radius = 6 * s
    ss = 4  # supersampling per axis

    def tile_cover(x, y):
        hits = 0
        for i in range(ss):
            for j in range(ss):
                fx = x + (i + 0.5) / ss
                fy = y + (j + 0.5) / ss
                cx = min(max(fx, radius), n - radius)
                cy = min(max(fy, radius), n - radius)
                if (fx - cx) ** 2 + (fy - cy) ** 2 <= radius * radius:
                    hits += 1
        return hits / (ss * ss)

    for y in range(n):
        t = y / max(n - 1, 1)
        base = (int(lerp(40, 12, t)), int(lerp(84, 36, t)), int(lerp(160, 92, t)))
        for x in range(n):
            a = tile_cover(x, y)
            if a > 0:
                px[y][x] = base + (int(round(255 * a)),)

    def blend(x, y, color, a):
        if not (0 <= x < n and 0 <= y < n) or a <= 0:
            return
        r, g, b, alpha = px[y][x]
        if alpha == 0:
            return
        px[y][x] = (int(lerp(r, color[0], a)), int(lerp(g, color[1], a)), int(lerp(b, color[2], a)), alpha)

    # Waveform: a decaying tone drawn as vertical strokes around the upper centre line.
    mid = 12.5 * s
    for x in range(n):
        fx = (x + 0.5) / s
        if fx < 4 or fx > 28:
            continue
        amp = 8.0 * math.exp(-((fx - 13.0) ** 2) / 60.0) * abs(math.sin(fx * 0.9)) + 0.8
        top, bottom = mid - amp * s, mid + amp * s
        for y in range(n):
            y0, y1 = y, y + 1
            cover = max(0.0, min(y1, bottom) - max(y0, top))
            blend(x, y, (255, 255, 255), min(1.0, cover))

    # Position bar along the bottom.
    bar_top, bar_bottom = int(round(23 * s)), int(round(27 * s))
    if bar_bottom <= bar_top:
        bar_bottom = bar_top + 1
    left, right = int(round(4 * s)), int(round(28 * s))
    start, end = int(round(11 * s)), int(round(22 * s))
    for y in range(bar_top, bar_bottom):
        for x in range(left, right):
            if x < start:
                blend(x, y, (230, 230, 230), 1.0)
            elif x < end:
                blend(x, y, (90, 200, 255), 1.0)
            else:
                blend(x, y, (200, 200, 200), 0.55)
    line = int(round(16 * s))
    for y in range(int(round(21 * s)), int(round(29 * s))):
        blend(line, y, (255, 214, 64), 1.0)
    return px


def dib(px):
    n = len(px)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(px):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(px):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [dib(draw(n)) for n in sizes]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'player/velmora.ico')
