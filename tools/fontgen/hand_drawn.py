"""Reads hand_drawn_glyphs.txt: the glyphs no source font supplies.

Format: a header line "glyph 8xH 0xNN" names the cell height and the code
page 437 position, followed by H lines of 8 characters, '#' for ink and '.'
for background. A header ending in "replaces" marks a glyph that the source
fonts do have but draw wrongly (a bitmap filed under the wrong character, or
box lines of another weight that would not join the rest of the set); it is
used instead of the source's. Lines starting with ';' are comments.
"""

import os

TABLE_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hand_drawn_glyphs.txt")


def load(path=TABLE_FILE):
    """Maps (height, position) to (rows of 0/1, replaces_source)."""
    glyphs = {}
    with open(path, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f if line.strip() and not line.startswith(";")]
    i = 0
    while i < len(lines):
        head = lines[i].split()
        replaces = len(head) == 4 and head[3] == "replaces"
        if len(head) not in (3, 4) or (len(head) == 4 and not replaces) \
                or head[0] != "glyph" or not head[1].startswith("8x"):
            raise ValueError("%s: expected 'glyph 8xH 0xNN [replaces]', got %r" % (path, lines[i]))
        height, position = int(head[1][2:]), int(head[2], 16)
        rows = lines[i + 1:i + 1 + height]
        if len(rows) != height or any(len(r) != 8 or set(r) - {"#", "."} for r in rows):
            raise ValueError("%s: glyph 0x%02X at 8x%d is malformed" % (path, position, height))
        if (height, position) in glyphs:
            raise ValueError("%s: glyph 0x%02X at 8x%d drawn twice" % (path, position, height))
        glyphs[(height, position)] = ([[1 if c == "#" else 0 for c in r] for r in rows], replaces)
        i += 1 + height
    return glyphs
