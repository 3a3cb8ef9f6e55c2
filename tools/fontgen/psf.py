"""Reader for Linux console fonts (PSF1 and PSF2, optionally gzip-compressed).

A console font is a run of fixed-size bitmaps plus an optional table that
says which Unicode code points each bitmap draws. Only what the glyph
generator needs is kept: the bitmaps as rows of bits and the code point map.
"""

import gzip
import struct

PSF1_MAGIC = b"\x36\x04"
PSF1_MODE512 = 0x01
PSF1_MODEHASTAB = 0x02
PSF1_MODESEQ = 0x04
PSF1_SEPARATOR = 0xFFFF
PSF1_STARTSEQ = 0xFFFE

PSF2_MAGIC = b"\x72\xb5\x4a\x86"
PSF2_HAS_UNICODE_TABLE = 0x01
PSF2_SEPARATOR = 0xFF
PSF2_STARTSEQ = 0xFE


class ConsoleFont:
    """Glyph bitmaps of one console font and its code point to glyph map."""

    def __init__(self, width, height, bitmaps, glyph_codes):
        self.width = width
        self.height = height
        # bitmaps[i] is a list of `height` rows, each a list of `width` 0/1.
        self.bitmaps = bitmaps
        # glyph_codes[i] lists the single code points glyph i draws, in the
        # font's order; combining sequences cannot be a CP437 cell.
        self.glyph_codes = glyph_codes
        self.unicode_map = {}
        for index, codes in enumerate(glyph_codes):
            for code in codes:
                self.unicode_map.setdefault(code, index)

    def glyph(self, code_point):
        """Rows of the glyph that draws code_point, or None if the font lacks it."""
        index = self.unicode_map.get(code_point)
        return None if index is None else self.bitmaps[index]


def _rows(data, width, height):
    stride = (width + 7) // 8
    rows = []
    for y in range(height):
        line = data[y * stride:(y + 1) * stride]
        bits = int.from_bytes(line, "big")
        total = stride * 8
        rows.append([(bits >> (total - 1 - x)) & 1 for x in range(width)])
    return rows


def _parse_psf1(raw):
    mode, charsize = raw[2], raw[3]
    count = 512 if mode & PSF1_MODE512 else 256
    body = raw[4:]
    bitmaps = [_rows(body[i * charsize:(i + 1) * charsize], 8, charsize) for i in range(count)]
    glyph_codes = [[] for _ in range(count)]
    if mode & (PSF1_MODEHASTAB | PSF1_MODESEQ):
        table = body[count * charsize:]
        entries = struct.unpack("<%dH" % (len(table) // 2), table[:len(table) // 2 * 2])
        glyph, in_sequence = 0, False
        for value in entries:
            if glyph >= count:
                break
            if value == PSF1_SEPARATOR:
                glyph, in_sequence = glyph + 1, False
            elif value == PSF1_STARTSEQ:
                in_sequence = True
            elif not in_sequence:
                glyph_codes[glyph].append(value)
    return ConsoleFont(8, charsize, bitmaps, glyph_codes)


def _parse_psf2(raw):
    (_, _, headersize, flags, count, charsize, height, width) = struct.unpack("<4sIIIIIII", raw[:32])
    body = raw[headersize:]
    bitmaps = [_rows(body[i * charsize:(i + 1) * charsize], width, height) for i in range(count)]
    glyph_codes = [[] for _ in range(count)]
    if flags & PSF2_HAS_UNICODE_TABLE:
        table = body[count * charsize:]
        glyph, pos = 0, 0
        while glyph < count and pos < len(table):
            end = pos
            while end < len(table) and table[end] != PSF2_SEPARATOR:
                end += 1
            entry = table[pos:end]
            singles = entry.split(bytes([PSF2_STARTSEQ]))[0]
            glyph_codes[glyph].extend(ord(ch) for ch in singles.decode("utf-8"))
            glyph, pos = glyph + 1, end + 1
    return ConsoleFont(width, height, bitmaps, glyph_codes)


def load(path):
    with open(path, "rb") as f:
        raw = f.read()
    if raw[:2] == b"\x1f\x8b":
        raw = gzip.decompress(raw)
    if raw[:2] == PSF1_MAGIC:
        return _parse_psf1(raw)
    if raw[:4] == PSF2_MAGIC:
        return _parse_psf2(raw)
    raise ValueError("%s is not a PSF console font" % path)
