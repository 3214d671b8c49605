#!/usr/bin/env python3
"""Writes the two test images that the program carries as resources.

resources/target01.bmp: 256 x 256, 8 bits per pixel, indexed, every pixel
    index 255 and palette entry 255 white, so the picture is uniformly white.
    The other palette entries are a grey ramp that no pixel uses.
resources/empty.dds: 128 x 128, 24-bit RGB without alpha, a checkerboard of
    16 x 16 squares in pure red and pure green; the first stored texel is red.

Run it from anywhere; it writes next to itself in ../resources. The files are
committed, so the build never runs this script.
"""
import struct
from pathlib import Path

RESOURCES = Path(__file__).resolve().parent.parent / "resources"


def bmp_white_256():
    width = height = 256
    palette_entries = 256
    header_size = 14 + 40
    offset = header_size + 4 * palette_entries
    pixels = bytes([255]) * (width * height)  # 256 bytes a row: no padding needed
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info_header = struct.pack(
        "<IiiHHIIiiII",
        40,        # biSize
        width,
        height,    # positive: rows bottom-up
        1,         # biPlanes
        8,         # biBitCount
        0,         # BI_RGB
        0,         # biSizeImage may be 0 for BI_RGB
        0, 0,      # pixels per meter
        palette_entries,  # biClrUsed
        0,         # biClrImportant
    )
    # Blue, green, red, reserved: a grey ramp, so entry 255 is white.
    palette = b"".join(bytes([i, i, i, 0]) for i in range(palette_entries))
    return file_header + info_header + palette + pixels


def dds_checkerboard_128():
    size = 128
    square = 16
    red = bytes([0x00, 0x00, 0xFF])    # stored blue, green, red
    green = bytes([0x00, 0xFF, 0x00])
    header = struct.pack(
        "<4s7I11I",
        b"DDS ",
        124,             # dwSize
        0x00081007,      # CAPS | HEIGHT | WIDTH | PIXELFORMAT | LINEARSIZE
        size,            # dwHeight
        size,            # dwWidth
        size * size * 3, # dwPitchOrLinearSize: the whole image
        0,               # dwDepth
        0,               # dwMipMapCount
        *([0] * 11),     # dwReserved1
    )
    pixel_format = struct.pack(
        "<8I",
        32,          # dwSize
        0x40,        # DDPF_RGB, no alpha
        0,           # dwFourCC
        24,          # dwRGBBitCount
        0x00FF0000,  # red mask
        0x0000FF00,  # green mask
        0x000000FF,  # blue mask
        0,           # alpha mask
    )
    caps = struct.pack("<5I", 0x1000, 0, 0, 0, 0)  # DDSCAPS_TEXTURE, caps2..4, reserved2
    rows = []
    for y in range(size):
        row = b"".join(
            red if (x // square + y // square) % 2 == 0 else green for x in range(size)
        )
        rows.append(row)
    return header + pixel_format + caps + b"".join(rows)


def main():
    RESOURCES.mkdir(exist_ok=True)
    images = {
        "target01.bmp": (bmp_white_256(), 66614),
        "empty.dds": (dds_checkerboard_128(), 49280),
    }
    for name, (data, expected_size) in images.items():
        assert len(data) == expected_size, (name, len(data))
        (RESOURCES / name).write_bytes(data)
        print(f"{RESOURCES / name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
