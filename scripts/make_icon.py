#!/usr/bin/env python3
"""Draws the installer's icon: a 64 x 64, 256-colour Windows icon of a catalogue page.

Run once to regenerate app/resources/fennimark.ico; the build uses the committed file.
"""
import struct
import sys

SIZE = 64


def palette():
    # 6x6x6 colour cube, then a grey ramp: enough shades for the picture, 256 entries in all.
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(i * 6, i * 6, i * 6) for i in range(256 - len(colours))]
    return colours


def nearest(colours, rgb):
    return min(range(len(colours)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], rgb)))


def picture():
    """Returns rows top to bottom of (r, g, b) or None for transparent."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            pixel = None
            if 6 <= x < 58 and 4 <= y < 60:  # the cover
                shade = 120 + (y * 100) // SIZE
                pixel = (20, 60, shade)
                if 14 <= x < 54 and 9 <= y < 55:  # the page
                    pixel = (250, 250, 245)
                    if 20 <= x < 48 and y in range(16, 50, 6):  # lines of text
                        pixel = (120, 120, 130)
                    if 20 <= x < 27 and 15 <= y < 31:  # an orange picture block
                        pixel = (240, 140, 20)
                if 6 <= x < 11:  # the spine
                    pixel = (10, 30, 90)
            row.append(pixel)
        rows.append(row)
    return rows


def ico_bytes():
    colours = palette()
    rows = picture()
    cache = {}
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bitmaps are stored bottom-up
        bits = 0
        mask_row = bytearray()
        for x, pixel in enumerate(row):
            if pixel is None:
                xor.append(0)
                bits |= 1 << (7 - x % 8)
            else:
                if pixel not in cache:
                    cache[pixel] = nearest(colours, pixel)
                xor.append(cache[pixel])
            if x % 8 == 7:
                mask_row.append(bits)
                bits = 0
        mask += mask_row
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, len(xor) + len(mask), 0, 0, 256, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colours)
    image = header + table + bytes(xor) + bytes(mask)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == '__main__':
    target = sys.argv[1] if len(sys.argv) > 1 else 'app/resources/fennimark.ico'
    with open(target, 'wb') as out:
        out.write(ico_bytes())
