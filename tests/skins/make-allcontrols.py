#!/usr/bin/env python3
"""Writes tests/skins/AllControls/art.bmp, the picture of the test skin that
uses every control tag: slider knobs, a track, animation frames, a pattern
font of digits and a colon, and the window's background.

    tests/skins/make-allcontrols.py
"""

import os
import struct

FUCHSIA = (255, 0, 255)
WIDTH, HEIGHT = 128, 80

# 5 x 7 digits and a colon, one string per row, "#" for ink.
GLYPHS = {
    "0": [" ### ", "#   #", "#  ##", "# # #", "##  #", "#   #", " ### "],
    "1": ["  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "],
    "2": [" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"],
    "3": ["#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "],
    "4": ["   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "],
    "5": ["#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "],
    "6": ["  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "],
    "7": ["#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "],
    "8": [" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "],
    "9": [" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "],
    ":": [" ", "#", " ", " ", " ", "#", " "],
}
SYMBOLS = "0123456789:"


def blank():
    return [[FUCHSIA for _ in range(WIDTH)] for _ in range(HEIGHT)]


def rect(pixels, left, top, width, height, colour):
    for y in range(top, top + height):
        for x in range(left, left + width):
            pixels[y][x] = colour


def disc(pixels, cx, cy, radius, colour, left, top, size):
    for y in range(top, top + size):
        for x in range(left, left + size):
            if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= radius * radius:
                pixels[y][x] = colour


def draw_knobs(pixels):
    # Two 12 x 16 knobs side by side with a one-pixel gap: normal, hover.
    for index, face in enumerate([(200, 200, 210), (255, 220, 120)]):
        left = index * 13
        rect(pixels, left + 1, 0, 10, 16, (40, 40, 60))
        rect(pixels, left + 2, 1, 8, 14, face)
        rect(pixels, left + 5, 3, 2, 10, (90, 90, 110))


def draw_track(pixels):
    # A 40 x 8 groove at (30, 0), split at its middle.
    rect(pixels, 30, 2, 40, 4, (20, 20, 30))
    rect(pixels, 31, 3, 38, 2, (120, 130, 160))


def draw_frames(pixels):
    # Four 16 x 16 frames at (0, 20): a dot going round a ring.
    for frame in range(4):
        left = frame * 17
        disc(pixels, left + 8, 28, 7, (70, 90, 140), left, 20, 16)
        disc(pixels, left + 8, 28, 4, FUCHSIA, left, 20, 16)
        cx, cy = [(8, 2.5), (13.5, 8), (8, 13.5), (2.5, 8)][frame]
        disc(pixels, left + cx, 20 + cy, 2.5, (255, 210, 80), left, 20, 16)


def draw_font(pixels):
    # Glyphs at (0, 40), seven rows high; row 48 underlines each glyph in
    # white, and a black pixel separates neighbours.
    x = 0
    for symbol in SYMBOLS:
        rows = GLYPHS[symbol]
        width = len(rows[0])
        for y, row in enumerate(rows):
            for dx, ink in enumerate(row):
                pixels[40 + y][x + dx] = (230, 240, 255) if ink == "#" else (0, 0, 0)
        for dx in range(width):
            pixels[47][x + dx] = (0, 0, 0)
            pixels[48][x + dx] = (255, 255, 255)
        pixels[48][x + width] = (0, 0, 0)
        x += width + 1


def write_bmp(path, pixels):
    stride = (WIDTH * 3 + 3) // 4 * 4
    rows = []
    for row in reversed(pixels):
        data = b"".join(bytes((b, g, r)) for r, g, b in row)
        rows.append(data + bytes(stride - len(data)))
    image = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(image), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(b"BM" + struct.pack("<IHHI", 54 + len(image), 0, 0, 54) + header + image)


def main():
    pixels = blank()
    draw_knobs(pixels)
    draw_track(pixels)
    draw_frames(pixels)
    draw_font(pixels)
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "AllControls", "art.bmp"), pixels)


if __name__ == "__main__":
    main()
