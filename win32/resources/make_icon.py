#!/usr/bin/env python3
"""Writes a Windows icon file from XPM images, each as a 16-colour (4 bits per pixel) image:
the program's Linux icon design, the one source of both. Usage: make_icon.py OUT.ico IN.xpm..."""
import re
import struct
import sys


def read_xpm(path):
    strings = re.findall(r'"((?:[^"\\]|\\.)*)"', open(path, encoding="ascii").read())
    width, height, ncolors, cpp = map(int, strings[0].split()[:4])
    colors = {}
    for line in strings[1:1 + ncolors]:
        key, rest = line[:cpp], line[cpp:].split()
        value = rest[rest.index("c") + 1]
        colors[key] = None if value.lower() == "none" else tuple(int(value[i:i + 2], 16) for i in (1, 3, 5))
    rows = strings[1 + ncolors:1 + ncolors + height]
    pixels = [[colors[row[x * cpp:(x + 1) * cpp]] for x in range(width)] for row in rows]
    return width, height, pixels


def icon_image(width, height, pixels):
    palette = sorted({p for row in pixels for p in row if p is not None})
    if len(palette) > 15:
        sys.exit("more than 15 colours: not a 16-colour image")
    palette = [(0, 0, 0)] + palette  # index 0 also serves the transparent pixels
    index = {colour: i for i, colour in enumerate(palette)}
    palette += [(0, 0, 0)] * (16 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    xor_stride = ((width * 4 + 31) // 32) * 4
    and_stride = ((width + 31) // 32) * 4
    xor, mask = b"", b""
    for row in reversed(pixels):  # bottom-up
        nibbles = [index.get(p, 0) if p is not None else 0 for p in row]
        line = bytes((nibbles[i] << 4) | (nibbles[i + 1] if i + 1 < width else 0) for i in range(0, width, 2))
        xor += line.ljust(xor_stride, b"\0")
        bits = 0
        line = b""
        for x, p in enumerate(row):
            bits = (bits << 1) | (1 if p is None else 0)
            if x % 8 == 7:
                line += bytes([bits])
                bits = 0
        mask += line.ljust(and_stride, b"\0")
    return header + colours + xor + mask


def main(out, inputs):
    images = [read_xpm(path) for path in inputs]
    data = [icon_image(*image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (width, height, _), blob in zip(images, data):
        directory += struct.pack("<BBBBHHII", width % 256, height % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(out, "wb") as f:
        f.write(directory + b"".join(data))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
