# -*- coding: utf-8 -*-
# The WinHelp 3.1 help file (.HLP): an internal file system whose directory
# is a B+ tree, holding |SYSTEM (title, contents topic, main window),
# |FONT, |TOPIC (the topics as topic links in LZ77 blocks), |CONTEXT (the
# hashes of the topics' context names), |CTXOMAP (context numbers, as
# WinHelp's HELP_CONTEXT asks for them) and |TTLBTREE (the topic titles).
#
# Every topic starts a topic block of its own, so that a topic's offset is
# its block number times 0x8000. The blocks are marked LZ77-compressed and
# hold literals only, which any reader decodes and which keeps the topic
# positions in the 16 KB units every reader of a compressed file uses.
import struct

MAGIC = 0x00035F3F
BTREE_MAGIC = 0x293B
SYSTEM_MAGIC = 0x036C
VERSION_31 = 21  # the |SYSTEM minor version of Windows 3.1 help files
FLAGS_LZ77_4K = 4  # LZ77 topic blocks of 4 KB
TOPIC_BLOCK = 0x1000
BLOCK_HEADER = 12
DECOMPRESSED = 0x4000  # the unit of a topic position in compressed files
NO_LINK = 0xFFFFFFFF

# Topic link record types.
TL_TOPICHDR = 0x02
TL_DISPLAY = 0x20

# Commands of a display record's character formatting.
FONT_CHANGE = 0x80
PARAGRAPH_END = 0x82
FORMAT_END = 0xFF

# Paragraph bits.
SPACING_ABOVE = 0x0002

# Font families of |FONT (not the LOGFONT values).
FAMILY_SWISS = 0x03


def u16(v):
    return struct.pack("<H", v & 0xFFFF)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def internal_file(content):
    """An internal file: its 9-byte header (reserved, used, flags) and content."""
    return u32(len(content) + 9) + u32(len(content)) + b"\x04" + content


# ---- B+ trees --------------------------------------------------------------

def btree(entries, key_of, structure, page_size=0x800, directory=False):
    """A B+ tree of sorted leaf entries (bytes each); key_of(entry) gives the
    bytes an index page stores for the entry's key."""
    leaf_capacity = page_size - 8
    leaves = [[]]
    used = 0
    for entry in entries:
        if leaves[-1] and used + len(entry) > leaf_capacity:
            leaves.append([])
            used = 0
        leaves[-1].append(entry)
        used += len(entry)
    pages = []
    for i, leaf in enumerate(leaves):
        body = b"".join(leaf)
        prev_page = i - 1 if i > 0 else 0xFFFF
        next_page = i + 1 if i + 1 < len(leaves) else 0xFFFF
        head = u16(page_size - 8 - len(body)) + u16(len(leaf)) + u16(prev_page) + u16(next_page)
        pages.append(head + body)
    # Index levels above the leaves, until one page holds them all.
    level = [(key_of(leaf[0]), i) for i, leaf in enumerate(leaves)]
    levels = 1
    while len(level) > 1:
        groups = [[]]
        used = 0
        for key, page in level:
            size = len(key) + 2
            if len(groups[-1]) > 1 and used + size > page_size - 6:
                groups.append([])
                used = 0
            groups[-1].append((key, page))
            used += size
        upper = []
        for group in groups:
            first_key, first_page = group[0]
            body = b"".join(key + u16(page) for key, page in group[1:])
            head = u16(page_size - 6 - len(body)) + u16(len(group) - 1) + u16(first_page)
            upper.append((first_key, len(pages)))
            pages.append(head + body)
        level = upper
        levels += 1
    root = level[0][1] if levels > 1 else 0
    flags = 0x0002 | (0x0400 if directory else 0)
    header = (u16(BTREE_MAGIC) + u16(flags) + u16(page_size)
              + structure.encode("ascii").ljust(16, b"\0")
              + u16(0) + u16(0) + u16(root) + u16(0xFFFF)
              + u16(len(pages)) + u16(levels) + u32(len(entries)))
    return header + b"".join(p.ljust(page_size, b"\0") for p in pages)


def context_hash(name):
    """The hash of a context name, as WinHelp 3.1 stores it (a signed long)."""
    value = 0
    for c in name:
        if "A" <= c <= "Z" or "a" <= c <= "z":
            x = ord(c.upper()) - ord("A") + 17
        elif "1" <= c <= "9":
            x = ord(c) - ord("0")
        elif c == "0":
            x = 10
        elif c == ".":
            x = 12
        elif c == "_":
            x = 13
        else:
            raise ValueError("context names hold letters, digits, '.' and '_': %r" % name)
        value = (value * 43 + x) & 0xFFFFFFFF
    return value - (1 << 32) if value & 0x80000000 else value


# ---- Compressed numbers of the topic records --------------------------------

def comp_ushort(v):
    return bytes([v * 2]) if v < 0x80 else u16(v * 2 + 1)


def comp_short(v):
    return bytes([v * 2 + 0x80]) if -0x40 <= v < 0x40 else u16(v * 2 + 0x8001)


def comp_long(v):
    return u16(v * 2 + 0x8000) if -0x4000 <= v < 0x4000 else u32(v * 2 + 0x80000001)


def lz77_literals(data):
    """LZ77 data that decodes to `data`: every byte a literal, eight to a flag byte."""
    out = bytearray()
    for i in range(0, len(data), 8):
        out.append(0)
        out += data[i:i + 8]
    return bytes(out)


# ---- Topics ------------------------------------------------------------------

class Paragraphs:
    """A display record: paragraphs of one paragraph format, each in one font."""

    def __init__(self, spacing_above=0):
        self.spacing_above = spacing_above
        self.items = []  # (font number, text)

    def add(self, font, text):
        self.items.append((font, text))
        return self

    def link_data(self, encoding):
        strings, commands, length = [], bytearray(), 0
        for font, text in self.items:
            strings.append(b"")
            commands += bytes([FONT_CHANGE]) + u16(font)
            encoded = text.encode(encoding)
            strings.append(encoded)
            commands.append(PARAGRAPH_END)
            length += len(encoded) + 1
        strings.append(b"")
        commands.append(FORMAT_END)
        text = b"".join(s + b"\0" for s in strings)
        bits = SPACING_ABOVE if self.spacing_above else 0
        paragraph = b"\x00\x80" + u16(0) + u16(bits)
        if self.spacing_above:
            paragraph += comp_short(self.spacing_above)
        data1 = comp_long(len(text)) + comp_ushort(length) + paragraph + bytes(commands)
        return data1, text


def topic_link(record_type, data1, data2, prev_pos, next_pos):
    return (u32(21 + len(data1) + len(data2)) + u32(len(data2)) + u32(prev_pos) + u32(next_pos)
            + u32(21 + len(data1)) + bytes([record_type]) + data1 + data2)


def topic_position(block, offset):
    return BLOCK_HEADER + block * DECOMPRESSED + offset


def topic_offset(block):
    return block * 0x8000


def topic_blocks(topics, encoding):
    """|TOPIC: topic i (title, [Paragraphs]) in block i."""
    # Each topic: its header's title and the display records' link data.
    layout = []
    for title, records in topics:
        layout.append([(title + "\0").encode(encoding)] + [r.link_data(encoding) for r in records])
    # Where every link lies, before any link (which names its neighbours) is written.
    sizes, positions = [], []
    for block, (title, *records) in enumerate(layout):
        own = [21 + 28 + len(title)] + [21 + len(d1) + len(d2) for d1, d2 in records]
        sizes.append(own)
        positions.append([topic_position(block, sum(own[:k])) for k in range(len(own))])
    flat = [p for own in positions for p in own]
    out = bytearray()
    for block, (title, *records) in enumerate(layout):
        first = flat.index(positions[block][0])
        neighbours = [(flat[i - 1] if i > 0 else NO_LINK,
                       flat[i + 1] if i + 1 < len(flat) else NO_LINK)
                      for i in range(first, first + len(positions[block]))]
        next_topic = positions[block + 1][0] if block + 1 < len(positions) else NO_LINK
        scroll = positions[block][1] if records else NO_LINK
        header = (u32(sum(sizes[block])) + u32(NO_LINK) + u32(NO_LINK) + u32(block)
                  + u32(NO_LINK) + u32(scroll) + u32(next_topic))
        data = topic_link(TL_TOPICHDR, header, title, *neighbours[0])
        for (d1, d2), (prev_pos, next_pos) in zip(records, neighbours[1:]):
            data += topic_link(TL_DISPLAY, d1, d2, prev_pos, next_pos)
        packed = lz77_literals(data)
        if len(packed) > TOPIC_BLOCK - BLOCK_HEADER:
            raise ValueError("topic %r does not fit in one topic block" % title)
        last_link = positions[block - 1][-1] if block > 0 else NO_LINK
        block_header = u32(last_link) + u32(positions[block][0]) + u32(positions[block][0])
        out += (block_header + packed).ljust(TOPIC_BLOCK, b"\0")
    return bytes(out)


# ---- The other internal files --------------------------------------------------

def system_file(title, contents_offset, window_caption):
    def record(kind, data):
        return u16(kind) + u16(len(data)) + data

    # The main window: type, name and caption given, the rest left to the viewer.
    window = (u16(0x0007) + b"main".ljust(10, b"\0") + b"main".ljust(9, b"\0")
              + window_caption.ljust(51, b"\0")[:50].ljust(51, b"\0")
              + u16(0) * 5 + u32(0) + u32(0))
    assert len(window) == 90
    head = u16(SYSTEM_MAGIC) + u16(VERSION_31) + u16(1) + u32(0) + u16(FLAGS_LZ77_4K)
    return (head + record(1, title + b"\0") + record(3, u32(contents_offset))
            + record(6, window))


def font_file(fonts):
    """|FONT of (face name, half points, bold) fonts, face names 20 bytes each."""
    faces = []
    for face, _, _ in fonts:
        if face not in faces:
            faces.append(face)
    face_table = b"".join(f.encode("ascii").ljust(20, b"\0") for f in faces)
    descriptors = b""
    for face, half_points, bold in fonts:
        descriptors += (bytes([1 if bold else 0, half_points, FAMILY_SWISS])
                        + u16(faces.index(face)) + b"\0\0\0" + b"\xff\xff\xff")
    return (u16(len(faces)) + u16(len(fonts)) + u16(8) + u16(8 + len(face_table))
            + face_table + descriptors)


def context_file(names_and_offsets):
    entries = sorted((context_hash(n), off) for n, off in names_and_offsets)
    leaves = [struct.pack("<iI", h, off) for h, off in entries]
    return btree(leaves, lambda e: e[:4], "L4")


def context_map_file(numbers_and_offsets):
    out = u16(len(numbers_and_offsets))
    for number, off in numbers_and_offsets:
        out += u32(number) + u32(off)
    return out


def title_file(offsets_and_titles, encoding):
    leaves = [u32(off) + t.encode(encoding) + b"\0" for off, t in sorted(offsets_and_titles)]
    return btree(leaves, lambda e: e[:4], "Lz")


def help_file(files):
    """The whole file from {internal name: content}: header, files, directory."""
    out = bytearray(16)
    offsets = {}
    for name in sorted(files, key=lambda n: n.encode("ascii")):
        offsets[name] = len(out)
        out += internal_file(files[name])
    leaves = [n.encode("ascii") + b"\0" + u32(offsets[n])
              for n in sorted(files, key=lambda n: n.encode("ascii"))]
    directory = btree(leaves, lambda e: e[:e.index(b"\0") + 1], "z4", page_size=0x400,
                      directory=True)
    directory_start = len(out)
    out += internal_file(directory)
    out[0:16] = u32(MAGIC) + u32(directory_start) + u32(NO_LINK) + u32(len(out))
    return bytes(out)
