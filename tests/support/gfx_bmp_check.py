#!/usr/bin/env python3
"""Reads the BMP files that test_graphics saved with CBmp::SaveToFile, with readers of our own
choosing (Python's struct module and ImageMagick), and compares them pixel for pixel with what the
test drew (the .txt file beside each: "W H", then H rows of W RRGGBB values, top row first)."""
import os
import struct
import subprocess
import sys

CASES = ["pad_5x2", "even_4x4", "cut_5x2", "odd_37x23"]
failures = []


def fail(name, text):
    failures.append(f"{name}: {text}")


def expected_pixels(path):
    with open(path) as f:
        w, h = map(int, f.readline().split())
        rows = [[int(v, 16) for v in f.readline().split()] for _ in range(h)]
    return w, h, rows


def check_struct(name, data, w, h, rows):
    row_size = (w * 3 + 3) & ~3
    size = 54 + row_size * h
    if len(data) != size:
        fail(name, f"file is {len(data)} bytes, expected {size}")
        return
    bf_type, bf_size, r1, r2, off = struct.unpack_from("<2sIHHI", data, 0)
    (bi_size, bi_w, bi_h, planes, bits, compression, size_image, xppm, yppm, clr_used,
     clr_important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    got = dict(bfType=bf_type, bfSize=bf_size, bfReserved1=r1, bfReserved2=r2, bfOffBits=off,
               biSize=bi_size, biWidth=bi_w, biHeight=bi_h, biPlanes=planes, biBitCount=bits,
               biCompression=compression, biClrUsed=clr_used, biClrImportant=clr_important)
    want = dict(bfType=b"BM", bfSize=size, bfReserved1=0, bfReserved2=0, bfOffBits=54, biSize=40,
                biWidth=w, biHeight=h, biPlanes=1, biBitCount=24, biCompression=0, biClrUsed=0,
                biClrImportant=0)
    for key, value in want.items():
        if got[key] != value:
            fail(name, f"{key} is {got[key]!r}, expected {value!r}")
    if size_image not in (0, row_size * h):
        fail(name, f"biSizeImage is {size_image}")
    for y in range(h):
        start = 54 + (h - 1 - y) * row_size
        for x in range(w):
            b, g, r = data[start + 3 * x:start + 3 * x + 3]
            value = (r << 16) | (g << 8) | b
            if value != rows[y][x]:
                fail(name, f"pixel ({x}, {y}) is {value:06X}, expected {rows[y][x]:06X}")
                return
        padding = data[start + 3 * w:start + row_size]
        if any(padding):
            fail(name, f"padding of row {y} is {padding.hex()}")


def check_imagemagick(name, path, w, h, rows):
    ident = subprocess.run(["/usr/bin/identify", "-format", "%m %w %h %z", path],
                           capture_output=True, text=True)
    if ident.returncode != 0:
        fail(name, f"identify failed: {ident.stderr.strip()}")
        return
    fields = ident.stdout.split()
    if fields[:1] not in (["BMP"], ["BMP3"]) or fields[1:] != [str(w), str(h), "8"]:
        fail(name, f"identify says {ident.stdout!r}")
    raw = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True)
    if raw.returncode != 0:
        fail(name, f"convert failed: {raw.stderr.decode(errors='replace').strip()}")
        return
    if len(raw.stdout) != w * h * 3:
        fail(name, f"convert gave {len(raw.stdout)} bytes of pixels, expected {w * h * 3}")
        return
    for y in range(h):
        for x in range(w):
            r, g, b = raw.stdout[(y * w + x) * 3:(y * w + x) * 3 + 3]
            value = (r << 16) | (g << 8) | b
            if value != rows[y][x]:
                fail(name, f"ImageMagick reads pixel ({x}, {y}) as {value:06X}, expected {rows[y][x]:06X}")
                return


def main():
    folder = sys.argv[1]
    for name in CASES:
        bmp = os.path.join(folder, name + ".bmp")
        txt = os.path.join(folder, name + ".txt")
        if not (os.path.exists(bmp) and os.path.exists(txt)):
            fail(name, "not saved by test_graphics")
            continue
        w, h, rows = expected_pixels(txt)
        with open(bmp, "rb") as f:
            data = f.read()
        check_struct(name, data, w, h, rows)
        check_imagemagick(name, bmp, w, h, rows)
        print(f"{name}: {w} x {h}, {len(data)} bytes checked")
    for line in failures:
        print("FAIL", line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
