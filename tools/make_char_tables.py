#!/usr/bin/env python3
"""Writes the supported-character set and the four glyph-width tables of the
handheld fonts as one compact data file (compiled into the content editor).

The Japanese, Chinese and Korean fonts cover the repertoires of JIS X 0208,
GB 2312 and KS X 1001 (its Hangul and symbol rows; the Korean font has no
hanja); Python's codecs give those repertoires. The European font carries the
same glyphs as the Japanese one.

File layout (little-endian):
  "QCT1", u32 number of supported code units,
  8192 bytes: bit (c & 7) of byte (c >> 3) set when code unit c is supported,
  one byte per supported code unit in ascending order: its Japanese width,
  u16 n, then n times (u16 code unit, u8 width): where the Chinese font differs,
  u16 n, then n times (u16 code unit, u8 width): where the Korean font differs.

Usage: make_char_tables.py OUTPUT
"""
import struct
import sys


def repertoire(codec, rows):
    found = set()
    for lead in rows:
        for trail in range(0xA1, 0xFF):
            try:
                text = bytes([lead, trail]).decode(codec)
            except UnicodeDecodeError:
                continue
            if len(text) == 1 and ord(text) < 0x10000:
                found.add(ord(text))
    return found


def is_compatibility_ideograph(c):
    return 0xF900 <= c <= 0xFAFF


# Pinyin vowels: the Chinese font draws them full width.
PINYIN_LATIN1 = [0xE0, 0xE1, 0xE8, 0xE9, 0xEA, 0xEC, 0xED, 0xF2, 0xF3, 0xF9, 0xFA, 0xFC]
PINYIN_EXTENDED = [0x101, 0x113, 0x11B, 0x12B, 0x14D, 0x16B, 0x1CE, 0x1D0, 0x1D2, 0x1D4,
                   0x1D6, 0x1D8, 0x1DA, 0x1DC]

ASCII_WIDTHS = {
    ' ': 9, '!': 3, '"': 5, '#': 9, '$': 8, '%': 10, '&': 9, "'": 2, '(': 4, ')': 4,
    '*': 7, '+': 8, ',': 3, '-': 6, '.': 2, '/': 6, ':': 2, ';': 3, '<': 7, '=': 8,
    '>': 7, '?': 7, '@': 11, '[': 4, '\\': 6, ']': 4, '^': 6, '_': 8, '`': 3, '{': 5,
    '|': 2, '}': 5, '~': 8,
}
NARROW_UPPER = {'I': 3, 'M': 10, 'W': 10}
NARROW_LOWER = {'i': 2, 'j': 3, 'l': 2, 'm': 10, 'w': 10, 'f': 5, 't': 5, 'r': 5}


def supported_set():
    chars = set(range(0x20, 0x7F))
    chars |= set(range(0xA1, 0xA6)) | set(range(0xA7, 0xAB)) | {0xAE} | set(range(0xBF, 0x100))
    chars |= set(PINYIN_EXTENDED)
    chars |= repertoire('euc_jp', range(0xA1, 0xFF))
    chars |= repertoire('gb2312', range(0xA1, 0xFF))
    chars |= repertoire('euc_kr', range(0xA1, 0xCA))  # rows 0x4A.. hold the hanja
    chars = {c for c in chars if not is_compatibility_ideograph(c)}
    chars -= {0x0A, 0x0D}
    return chars


def japanese_width(c):
    if c < 0x80:
        ch = chr(c)
        if ch.isdigit():
            return 8
        if ch.isupper():
            return NARROW_UPPER.get(ch, 8)
        if ch.islower():
            return NARROW_LOWER.get(ch, 7)
        return ASCII_WIDTHS[ch]
    if c in (0xEC, 0xED, 0xEE, 0xEF):
        return 3
    if c < 0x250 or 0x2B0 <= c < 0x300:
        return 8
    if 0x370 <= c < 0x460:
        return 10
    if c == 0x3000:
        return 15
    return 16


def chinese_overrides():
    return {0x20: 5, **{c: 16 for c in PINYIN_LATIN1 + PINYIN_EXTENDED}}


def korean_overrides():
    result = {0x20: 4}
    for c in range(ord('0'), ord('9') + 1):
        result[c] = 10
    for c in range(ord('A'), ord('Z') + 1):
        result[c] = {'I': 4, 'M': 12, 'W': 12}.get(chr(c), 10)
    for c in range(ord('a'), ord('z') + 1):
        result[c] = japanese_width(c) + 1
    for c in range(0x21, 0x2D):
        result[c] = japanese_width(c) + 1
    return result


def main():
    chars = sorted(supported_set())
    widths = {c: japanese_width(c) for c in chars}
    chinese = chinese_overrides()
    korean = korean_overrides()
    for table in (chinese, korean):
        for c, w in table.items():
            assert c in widths and widths[c] != w and 0 < w <= 16, hex(c)
    assert len(chinese) == 27 and len(korean) == 75
    assert all(0 < w <= 16 for w in widths.values())

    bits = bytearray(8192)
    for c in chars:
        bits[c >> 3] |= 1 << (c & 7)
    out = bytearray(b'QCT1')
    out += struct.pack('<I', len(chars))
    out += bits
    out += bytes(widths[c] for c in chars)
    for table in (chinese, korean):
        out += struct.pack('<H', len(table))
        for c in sorted(table):
            out += struct.pack('<HB', c, table[c])
    with open(sys.argv[1], 'wb') as f:
        f.write(out)
    print(f'{len(chars)} supported code units, {len(out)} bytes')


if __name__ == '__main__':
    main()
