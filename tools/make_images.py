#!/usr/bin/env python3
"""Writes the two test images that the program carries as resources.

resources/target01.bmp: 256 x 256, 8 bits per pixel, indexed, every pixel
    index 255 and palette entry 255 white, so the picture is uniformly white.
    The other palette entries are a grey ramp that no pixel uses.
resources/empty.dds: 128 x 128, 24-bit RGB without alpha, a checkerboard of
    16 x 16 squares in pure red and pure green; the first stored texel is red.

tests/wine/texture_mip4x4.dds: 4 x 4, 24-bit RGB, with its own mip levels of
    one colour each: red 4 x 4, green 2 x 2, blue 1 x 1. The Wine texture test
    carries it to see which level lands where and where the level loop stops.

Run it from anywhere; it writes into the repository. The files are
committed, so the build never runs this script.
"""
import struct
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
RESOURCES = ROOT / "resources"
WINE_TESTS = ROOT / "tests" / "wine"


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


def dds_header(width, height, mip_levels, linear_size):
    """The 128 bytes before the pixels of an uncompressed 24-bit RGB DDS."""
    with_levels = mip_levels > 1
    flags = 0x00081007  # CAPS | HEIGHT | WIDTH | PIXELFORMAT | LINEARSIZE
    caps = 0x1000       # DDSCAPS_TEXTURE
    if with_levels:
        flags |= 0x20000    # DDSD_MIPMAPCOUNT
        caps |= 0x400008    # DDSCAPS_MIPMAP | DDSCAPS_COMPLEX
    header = struct.pack(
        "<4s7I11I",
        b"DDS ",
        124,                # dwSize
        flags,
        height,
        width,
        linear_size,        # dwPitchOrLinearSize: the top level's bytes
        0,                  # dwDepth
        mip_levels if with_levels else 0,
        *([0] * 11),        # dwReserved1
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
    caps_and_reserved = struct.pack("<5I", caps, 0, 0, 0, 0)  # dwCaps, dwCaps2..4, dwReserved2
    return header + pixel_format + caps_and_reserved


def dds_mip_levels_4x4():
    colours = [bytes([0x00, 0x00, 0xFF]), bytes([0x00, 0xFF, 0x00]), bytes([0xFF, 0x00, 0x00])]
    levels = b"".join(colour * (size * size) for colour, size in zip(colours, (4, 2, 1)))
    return dds_header(4, 4, 3, 4 * 4 * 3) + levels


def dds_checkerboard_128():
    size = 128
    square = 16
    red = bytes([0x00, 0x00, 0xFF])    # stored blue, green, red
    green = bytes([0x00, 0xFF, 0x00])
    header = dds_header(size, size, 1, size * size * 3)
    rows = []
    for y in range(size):
        row = b"".join(
            red if (x // square + y // square) % 2 == 0 else green for x in range(size)
        )
        rows.append(row)
    return header + b"".join(rows)


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
    mip_test = WINE_TESTS / "texture_mip4x4.dds"
    mip_test.write_bytes(dds_mip_levels_4x4())
    print(f"{mip_test}: {mip_test.stat().st_size} bytes")


if __name__ == "__main__":
    main()
