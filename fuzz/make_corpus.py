#!/usr/bin/env python3
"""Writes the saved corpus of fuzz_bitmap_reader: a few valid one-bit BMPs in the layouts
editors write, and files the reader must refuse; rewrites that directory. Also writes the
decompression bombs among the seeds of fuzz_image_converter. Run from anywhere."""

import pathlib
import struct
import zlib

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
OUT = CORPUS / "fuzz_bitmap_reader"


def bmp(width, height, index=lambda x, y: (x * 7 + y * 13 ^ x * y) % 5 < 2, header=40, bits=1,
        compression=0, top_down=False, white_first=False):
    entries = 1 << bits if bits <= 8 else 0
    entry_size = 3 if header == 12 else 4
    offset = 14 + header + entries * entry_size
    row = (width * bits + 31) // 32 * 4
    data = bytearray(offset + row * height)
    data[0:2] = b"BM"
    struct.pack_into("<IHHI", data, 2, len(data), 0, 0, offset)
    if header == 12:
        struct.pack_into("<IHHHH", data, 14, 12, width, height, 1, bits)
    else:
        struct.pack_into("<IiiHHIIiiII", data, 14, header, width, -height if top_down else height,
                         1, bits, compression, row * height, 2835, 2835, 0, 0)
        if header >= 108:
            struct.pack_into("<I", data, 70, 0x73524742)  # "sRGB"
    for i in range(entries):
        grey = 0 if entries == 1 else i * 255 // (entries - 1)
        if bits == 1 and white_first:
            grey = 255 - grey
        at = 14 + header + i * entry_size
        data[at:at + 3] = bytes([grey] * 3)
    if bits == 1:
        for y in range(height):
            start = offset + (y if top_down else height - 1 - y) * row
            line = bytearray(b"\xff" * row)  # padding bits set
            for x in range(width):
                if not index(x, y):
                    line[x // 8] &= ~(0x80 >> (x % 8)) & 0xFF
            data[start:start + row] = line
    return bytes(data)


def jpeg_claiming(width, height):
    """A progressive grey JPEG claiming width x height whose one DC scan holds the first block
    only (as tests/picture/PictureBombs.h writes it)."""
    def huffman_table(table_class):  # one code of one bit, for symbol 0
        return b"\xff\xc4\x00\x14" + bytes([table_class, 1]) + bytes(15) + b"\x00"
    return (b"\xff\xd8" + b"\xff\xdb\x00\x43\x00" + bytes([1] * 64)
            + b"\xff\xc2\x00\x0b\x08" + struct.pack(">HH", height, width) + b"\x01\x01\x11\x00"
            + huffman_table(0x00) + huffman_table(0x10)
            + b"\xff\xda\x00\x08\x01\x01\x00\x00\x00\x00" + b"\x7f" + b"\xff\xd9")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def black_png_with_gamma(width, height):
    rows = (b"\x00" + bytes(3 * width)) * height
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + png_chunk(b"gAMA", struct.pack(">I", 45455))
            + png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def converter_seeds():
    """fuzz_image_converter takes two bytes of options (0, 255: fit, threshold at the picture's
    own level) before the picture. Its inputs stay under 8 KB and its pictures under 16 MB
    decoded, so the PNG is smaller than the 8000 x 8000 one of the memory benchmark."""
    out = CORPUS / "fuzz_image_converter"
    files = {
        "jpeg_progressive_claims_46000x46000": jpeg_claiming(46000, 46000),
        "png_gamma_1500x1000": black_png_with_gamma(1500, 1000),
    }
    for name, data in files.items():
        (out / name).write_bytes(b"\x00\xff" + data)
    print(f"{len(files)} files in {out}")


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for old in OUT.iterdir():
        old.unlink()
    files = {
        "screen_160x128.bmp": bmp(160, 128),
        "largest_256x128.bmp": bmp(256, 128, index=lambda x, y: (x // 3 + y // 5) % 3 == 0),
        "odd_13x20.bmp": bmp(13, 20),
        "single_pixel_1x1.bmp": bmp(1, 1, index=lambda x, y: True),
        "v4_header_40x24.bmp": bmp(40, 24, header=108),
        "v5_header_33x9.bmp": bmp(33, 9, header=124),
        "core_header_24x16.bmp": bmp(24, 16, header=12),
        "top_down_21x11.bmp": bmp(21, 11, top_down=True),
        "white_first_16x16.bmp": bmp(16, 16, white_first=True),
        "eight_bit_8x8.bmp": bmp(8, 8, bits=8),
        "compressed_16x8.bmp": bmp(16, 8, compression=1),
        "too_wide_257x8.bmp": bmp(257, 8),
        "truncated_160x128.bmp": bmp(160, 128)[:1000],
        "not_a_bmp.txt": b"GIF89a\x01\x00\x01\x00 not a bitmap\n",
    }
    for name, data in files.items():
        (OUT / name).write_bytes(data)
    print(f"{len(files)} files in {OUT}")
    converter_seeds()


if __name__ == "__main__":
    main()
