#!/usr/bin/env python3
"""Build the dialog's .ico files from the text drawings in window/art/src.

Each drawing is one icon at one size, named <icon>_<size>.txt. A drawing holds a colour
legend and then the pixel rows:

    # a line starting with '#' is a comment
    . = transparent
    K = black                  # a VGA colour, used at both depths
    s = #d8d8d8 / silver       # this colour at 256 colours, the VGA colour at 16 colours
    KKKKsss....
    KKsssss....

A legend line is a character, ' = ' and its colour, optionally followed by '#' and a note;
then come the rows, one line per row and one character per pixel, as many as the size.
Every entry names a VGA colour, so any drawing can be written at 16 colours; the 256-colour
image uses the richer colours where the legend gives them. Images are classic icon bitmaps:
a BITMAPINFOHEADER with doubled height, the colour (XOR) bitmap at 4 or 8 bits per pixel and
the 1-bit AND mask that makes the transparent pixels. After writing each file the script reads
it back and compares every pixel with the drawing, so a bad file is never left unnoticed.

Run from anywhere: python3 tools/make_icons.py
"""

import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ART = os.path.join(ROOT, "window", "art")
SRC = os.path.join(ART, "src")

# The standard 16-colour palette in its system order.
VGA = [
    ("black", (0x00, 0x00, 0x00)),
    ("maroon", (0x80, 0x00, 0x00)),
    ("green", (0x00, 0x80, 0x00)),
    ("olive", (0x80, 0x80, 0x00)),
    ("navy", (0x00, 0x00, 0x80)),
    ("purple", (0x80, 0x00, 0x80)),
    ("teal", (0x00, 0x80, 0x80)),
    ("silver", (0xC0, 0xC0, 0xC0)),
    ("gray", (0x80, 0x80, 0x80)),
    ("red", (0xFF, 0x00, 0x00)),
    ("lime", (0x00, 0xFF, 0x00)),
    ("yellow", (0xFF, 0xFF, 0x00)),
    ("blue", (0x00, 0x00, 0xFF)),
    ("fuchsia", (0xFF, 0x00, 0xFF)),
    ("aqua", (0x00, 0xFF, 0xFF)),
    ("white", (0xFF, 0xFF, 0xFF)),
]
VGA_RGB = dict(VGA)
VGA_INDEX = {rgb: i for i, (_, rgb) in enumerate(VGA)}

# Which drawings go into which file, as (size, bits per pixel), in directory order.
FULL = [(32, 4), (16, 4), (48, 4), (64, 4), (32, 8), (16, 8), (48, 8), (64, 8)]
ICONS = [
    ("wrench", [(32, 4), (16, 4)]),
    ("image0", FULL),
    ("image1", FULL),
    ("image2", FULL),
    ("image3", [(32, 4), (16, 4)]),
    ("image4", FULL),
    ("image5", FULL),
    ("image6", [(32, 4), (16, 4)]),
    ("image7", FULL),
]

TRANSPARENT = None


class DrawingError(Exception):
    pass


def parse_colour(text, where):
    """Return (rgb at 256 colours, rgb at 16 colours) for one legend entry."""
    parts = [p.strip() for p in text.split("/")]
    if len(parts) == 1:
        rich, vga = parts[0], parts[0]
    elif len(parts) == 2:
        rich, vga = parts
    else:
        raise DrawingError(f"{where}: cannot read colour '{text}'")
    if vga not in VGA_RGB:
        raise DrawingError(f"{where}: '{vga}' is not one of the 16 VGA colours")
    if rich in VGA_RGB:
        rich_rgb = VGA_RGB[rich]
    elif re.fullmatch(r"#[0-9a-fA-F]{6}", rich):
        rich_rgb = tuple(int(rich[i : i + 2], 16) for i in (1, 3, 5))
    else:
        raise DrawingError(f"{where}: cannot read colour '{rich}'")
    return rich_rgb, VGA_RGB[vga]


def read_drawing(path, size):
    """Return (legend, rows): legend maps a character to (rich, vga) or TRANSPARENT."""
    legend = {}
    rows = []
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            where = f"{os.path.relpath(path, ROOT)}:{number}"
            if not line.strip() or line.startswith("#"):
                continue
            entry = re.fullmatch(r"(\S) = (\S+(?:\s*/\s*\S+)?)\s*(?:#.*)?", line)
            if entry and not rows:
                char, text = entry.groups()
                if char in legend:
                    raise DrawingError(f"{where}: '{char}' is already in the legend")
                legend[char] = TRANSPARENT if text == "transparent" else parse_colour(text, where)
                continue
            if " = " in line:
                raise DrawingError(f"{where}: cannot read legend line")
            if len(line) != size:
                raise DrawingError(f"{where}: row is {len(line)} pixels wide, expected {size}")
            for char in line:
                if char not in legend:
                    raise DrawingError(f"{where}: '{char}' is not in the legend")
            rows.append(line)
    if len(rows) != size:
        raise DrawingError(f"{os.path.relpath(path, ROOT)}: {len(rows)} rows, expected {size}")
    return legend, rows


def pixels_at(legend, rows, bpp):
    """The drawing as rows of rgb tuples (or TRANSPARENT) for the given depth."""
    pick = 1 if bpp == 4 else 0
    return [[None if legend[c] is None else legend[c][pick] for c in row] for row in rows]


def palette_for(pixels, bpp):
    """The colour table: the VGA colours first, then any further colours in the order met."""
    palette = [rgb for _, rgb in VGA]
    for row in pixels:
        for rgb in row:
            if rgb is not None and rgb not in palette:
                if bpp == 4:
                    raise DrawingError(f"colour {rgb} is not a VGA colour")
                palette.append(rgb)
    limit = 1 << bpp
    if len(palette) > limit:
        raise DrawingError(f"{len(palette)} colours do not fit into {bpp} bits")
    return palette + [(0, 0, 0)] * (limit - len(palette))


def stride(width, bpp):
    return (width * bpp + 31) // 32 * 4


def encode_image(pixels, bpp):
    """One icon image: BITMAPINFOHEADER, colour table, XOR bitmap, AND mask."""
    size = len(pixels)
    palette = palette_for(pixels, bpp)
    index = {}
    for i, rgb in enumerate(palette):
        index.setdefault(rgb, i)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # bitmaps are stored bottom-up
        values = [0 if rgb is None else index[rgb] for rgb in row]
        line = bytearray(stride(size, bpp))
        for x, v in enumerate(values):
            if bpp == 8:
                line[x] = v
            else:
                line[x // 2] |= v << (4 if x % 2 == 0 else 0)
        xor += line
        bits = bytearray(stride(size, 1))
        for x, rgb in enumerate(row):
            if rgb is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask), 0, 0, 0, 0
    )
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + bytes(xor) + bytes(mask)


def encode_icon(images):
    """images: list of (size, bpp, pixels). Returns the bytes of the .ico file."""
    blobs = [encode_image(pixels, bpp) for _, bpp, pixels in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp, _), blob in zip(images, blobs):
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def decode_icon(data):
    """Read an .ico back into a list of (size, bpp, pixels), checking its structure."""

    def need(condition, message):
        if not condition:
            raise DrawingError(f"written file is broken: {message}")

    need(len(data) >= 6, "too short")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    need(reserved == 0 and kind == 1 and count > 0, "bad ICONDIR")
    images = []
    expected_offset = 6 + 16 * count
    for n in range(count):
        w, h, colours, res, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * n
        )
        need(w == h and w > 0 and res == 0 and planes == 1, f"entry {n} header")
        need(bpp in (4, 8) and colours == (16 if bpp == 4 else 0), f"entry {n} depth")
        need(offset == expected_offset and offset + length <= len(data), f"entry {n} offset")
        expected_offset += length
        (hsize, bw, bh, bplanes, bbpp, comp, image_size) = struct.unpack_from(
            "<IiiHHII", data, offset
        )
        need(hsize == 40 and bw == w and bh == 2 * h, f"entry {n} bitmap size")
        need(bplanes == 1 and bbpp == bpp and comp == 0, f"entry {n} bitmap format")
        xor_len = stride(w, bpp) * h
        and_len = stride(w, 1) * h
        table_len = 4 << bpp
        need(image_size == xor_len + and_len, f"entry {n} image size")
        need(length == 40 + table_len + xor_len + and_len, f"entry {n} length")
        table = data[offset + 40 : offset + 40 + table_len]
        palette = [(table[i + 2], table[i + 1], table[i]) for i in range(0, table_len, 4)]
        xor = data[offset + 40 + table_len : offset + 40 + table_len + xor_len]
        mask = data[offset + 40 + table_len + xor_len : offset + length]
        pixels = []
        for y in range(h):
            src = (h - 1 - y) * stride(w, bpp)
            msrc = (h - 1 - y) * stride(w, 1)
            row = []
            for x in range(w):
                if bpp == 8:
                    v = xor[src + x]
                else:
                    v = (xor[src + x // 2] >> (4 if x % 2 == 0 else 0)) & 15
                transparent = mask[msrc + x // 8] & (0x80 >> (x % 8))
                if transparent:
                    # A transparent pixel must leave the background untouched: black in XOR.
                    need(v == 0 and palette[0] == (0, 0, 0), f"entry {n} pixel {x},{y} not clear")
                    row.append(None)
                else:
                    row.append(palette[v])
            pixels.append(row)
        images.append((w, bpp, pixels))
    need(expected_offset == len(data), "trailing bytes")
    return images


def build(name, formats):
    images = []
    drawings = {}
    for size, bpp in formats:
        if size not in drawings:
            path = os.path.join(SRC, f"{name}_{size}.txt")
            drawings[size] = read_drawing(path, size)
        legend, rows = drawings[size]
        images.append((size, bpp, pixels_at(legend, rows, bpp)))
    data = encode_icon(images)
    target = os.path.join(ART, f"{name}.ico")
    with open(target, "wb") as f:
        f.write(data)
    with open(target, "rb") as f:
        back = decode_icon(f.read())
    if back != images:
        raise DrawingError(f"{name}.ico does not read back as drawn")
    for size, bpp, pixels in back:
        if bpp == 4 and any(rgb not in VGA_INDEX for row in pixels for rgb in row if rgb):
            raise DrawingError(f"{name}.ico: 16-colour image uses a colour outside the palette")
        if all(rgb is None for row in pixels for rgb in row):
            raise DrawingError(f"{name}.ico: {size}x{size} image is empty")
    return target, len(data)


def main():
    total = 0
    try:
        for name, formats in ICONS:
            target, length = build(name, formats)
            total += length
            sizes = ", ".join(f"{s}x{s}/{16 if b == 4 else 256}" for s, b in formats)
            print(f"{os.path.relpath(target, ROOT)}: {length} bytes ({sizes})")
    except (DrawingError, OSError) as error:
        print(f"make_icons: {error}", file=sys.stderr)
        return 1
    print(f"{total} bytes in {len(ICONS)} files")
    return 0


if __name__ == "__main__":
    sys.exit(main())
