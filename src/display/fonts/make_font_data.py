#!/usr/bin/env python3
"""Writes src/display/fonts/FontData.h from the misc-fixed bitmap fonts of Debian's
xfonts-base.

The generated header is committed, so building never needs this script or the package; run it
again only to change the fonts:

    python3 src/display/fonts/make_font_data.py /usr/share/fonts/X11/misc \
        > src/display/fonts/FontData.h

Fonts (all "misc-fixed", public domain: "Public domain font.  Share and enjoy."):
    1: 5x7.pcf.gz     7 rows
    2: 7x14.pcf.gz   14 rows
    3: 7x14B.pcf.gz  14 rows, bold
    4: 10x20.pcf.gz  22 rows: the 20-row cell with a blank row above and below

Character codes are bytes 0x20..0xFF read as Windows-1252, the code page the program's keys
arrive in; a byte with no glyph in the font gets none (the board draws its box glyph).
"""
import gzip
import struct
import sys

PCF_PROPERTIES, PCF_ACCELERATORS, PCF_METRICS, PCF_BITMAPS = 1, 2, 4, 8
PCF_BDF_ENCODINGS, PCF_BDF_ACCELERATORS = 32, 256
PCF_COMPRESSED_METRICS = 0x100


class Pcf:
    def __init__(self, data):
        assert data[:4] == b"\x01fcp", "not a PCF font"
        (count,) = struct.unpack_from("<i", data, 4)
        self.data = data
        self.tables = {}
        for i in range(count):
            ttype, fmt, size, offset = struct.unpack_from("<iiii", data, 8 + 16 * i)
            self.tables[ttype] = (fmt, size, offset)
        self._read_metrics()
        self._read_bitmaps()
        self._read_encodings()
        self._read_accelerators()

    def _table(self, ttype):
        fmt, size, offset = self.tables[ttype]
        (fmt2,) = struct.unpack_from("<i", self.data, offset)
        order = ">" if fmt2 & 4 else "<"
        return fmt2, order, offset + 4

    def _read_metrics(self):
        fmt, o, pos = self._table(PCF_METRICS)
        self.metrics = []
        if fmt & PCF_COMPRESSED_METRICS:
            (n,) = struct.unpack_from(o + "h", self.data, pos)
            pos += 2
            for _ in range(n):
                lsb, rsb, width, asc, desc = (b - 0x80 for b in self.data[pos:pos + 5])
                self.metrics.append((lsb, rsb, width, asc, desc))
                pos += 5
        else:
            (n,) = struct.unpack_from(o + "i", self.data, pos)
            pos += 4
            for _ in range(n):
                lsb, rsb, width, asc, desc, _attr = struct.unpack_from(o + "hhhhhH", self.data, pos)
                self.metrics.append((lsb, rsb, width, asc, desc))
                pos += 12

    def _read_bitmaps(self):
        fmt, o, pos = self._table(PCF_BITMAPS)
        (n,) = struct.unpack_from(o + "i", self.data, pos)
        pos += 4
        offsets = struct.unpack_from(o + "%di" % n, self.data, pos)
        pos += 4 * n
        sizes = struct.unpack_from(o + "4i", self.data, pos)
        pos += 16
        pad = 1 << (fmt & 3)
        msbit = bool(fmt & 8)
        unit = 1 << ((fmt >> 4) & 3)
        base = pos
        self.glyphs = []
        for g in range(n):
            lsb, rsb, width, asc, desc = self.metrics[g]
            w = rsb - lsb
            h = asc + desc
            stride = ((w + 8 * pad - 1) // (8 * pad)) * pad
            rows = []
            for r in range(h):
                row = bytearray(self.data[base + offsets[g] + r * stride: base + offsets[g] + (r + 1) * stride])
                if (fmt & 4) == 0 and unit > 1:  # little-endian scan units: swap bytes
                    for k in range(0, len(row), unit):
                        row[k:k + unit] = row[k:k + unit][::-1]
                bits = []
                for x in range(w):
                    byte = row[x // 8]
                    bit = (byte >> (7 - x % 8)) & 1 if msbit else (byte >> (x % 8)) & 1
                    bits.append(bit)
                rows.append(bits)
            self.glyphs.append(rows)

    def _read_encodings(self):
        fmt, o, pos = self._table(PCF_BDF_ENCODINGS)
        min2, max2, min1, max1, default = struct.unpack_from(o + "5h", self.data, pos)
        pos += 10
        n = (max2 - min2 + 1) * (max1 - min1 + 1)
        idx = struct.unpack_from(o + "%dH" % n, self.data, pos)
        self.encoding = {}
        for b1 in range(min1, max1 + 1):
            for b2 in range(min2, max2 + 1):
                g = idx[(b1 - min1) * (max2 - min2 + 1) + (b2 - min2)]
                if g != 0xFFFF:
                    self.encoding[(b1 << 8) | b2] = g

    def _read_accelerators(self):
        ttype = PCF_BDF_ACCELERATORS if PCF_BDF_ACCELERATORS in self.tables else PCF_ACCELERATORS
        fmt, o, pos = self._table(ttype)
        self.ascent, self.descent = struct.unpack_from(o + "ii", self.data, pos + 8)

    def cell(self, codepoint, top, rows):
        """The glyph as a list of columns (one int per column, bit 0 = top row of the cell),
        or None when the font has no glyph for the code point."""
        g = self.encoding.get(codepoint)
        if g is None:
            return None
        lsb, rsb, width, asc, desc = self.metrics[g]
        columns = [0] * width
        for r, bits in enumerate(self.glyphs[g]):
            y = self.ascent - asc + r - top
            for x, bit in enumerate(bits):
                cx = lsb + x
                if bit and 0 <= cx < width:
                    if not 0 <= y < rows:
                        raise SystemExit("glyph U+%04X has ink outside the cell" % codepoint)
                    columns[cx] |= 1 << y
        return columns


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/fonts/X11/misc"
    fonts = [
        ("5x7", "7 pixel", 0, 7),
        ("7x14", "14 pixel", 0, 14),
        ("7x14B", "14 pixel bold", 0, 14),
        ("10x20", "22 pixel", -1, 22),
    ]
    out = []
    out.append("// Generated by src/display/fonts/make_font_data.py from Debian's xfonts-base (misc-fixed")
    out.append("// 5x7, 7x14, 7x14B, 10x20; public domain: \"Public domain font.  Share and enjoy.\").")
    out.append("// Do not edit; run the script again to change it.")
    out.append("#pragma once")
    out.append("")
    out.append("#include <cstdint>")
    out.append("")
    out.append("namespace display::fontdata {")
    out.append("")
    out.append("// One font: glyphs for the bytes 0x20..0xFF (Windows-1252). offsets[b - 0x20] is the")
    out.append("// first column of the glyph of byte b in columns, widths[b - 0x20] its width (0 = no glyph).")
    out.append("// A column holds the glyph's rows, bit 0 the top row.")
    out.append("struct Font {")
    out.append("    const char* name;")
    out.append("    int rows;")
    out.append("    const std::uint8_t* widths;")
    out.append("    const std::uint16_t* offsets;")
    out.append("    const std::uint32_t* columns;")
    out.append("};")
    out.append("")
    for n, (stem, label, top, rows) in enumerate(fonts, start=1):
        pcf = Pcf(gzip.open("%s/%s.pcf.gz" % (folder, stem)).read())
        widths, offsets, columns = [], [], []
        for b in range(0x20, 0x100):
            try:
                cp = ord(bytes([b]).decode("cp1252"))
            except UnicodeDecodeError:
                cp = None
            cols = pcf.cell(cp, top, rows) if cp is not None else None
            offsets.append(len(columns))
            if cols is None:
                widths.append(0)
            else:
                widths.append(len(cols))
                columns.extend(cols)
        out.append("// Font %d: %s (misc-fixed %s)." % (n, label, stem))
        out.append("inline constexpr std::uint8_t kWidths%d[] = {" % n)
        for i in range(0, len(widths), 16):
            out.append("    " + ", ".join(str(w) for w in widths[i:i + 16]) + ",")
        out.append("};")
        out.append("inline constexpr std::uint16_t kOffsets%d[] = {" % n)
        for i in range(0, len(offsets), 12):
            out.append("    " + ", ".join(str(w) for w in offsets[i:i + 12]) + ",")
        out.append("};")
        out.append("inline constexpr std::uint32_t kColumns%d[] = {" % n)
        for i in range(0, len(columns), 8):
            out.append("    " + ", ".join("0x%06X" % c for c in columns[i:i + 8]) + ",")
        out.append("};")
        out.append("")
    out.append("inline constexpr Font kFonts[] = {")
    for n, (stem, label, top, rows) in enumerate(fonts, start=1):
        out.append("    {\"%s\", %d, kWidths%d, kOffsets%d, kColumns%d}," % (label, rows, n, n, n))
    out.append("};")
    out.append("")
    out.append("} // namespace display::fontdata")
    print("\n".join(out))


if __name__ == "__main__":
    main()
