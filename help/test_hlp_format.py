# -*- coding: utf-8 -*-
# Reads the written help files back the way a viewer does: the directory
# B+ tree to the internal files, |CTXOMAP and |CONTEXT to a topic offset,
# the topic block of that offset to the topic's title and text.
import os
import struct
import sys
import unittest

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
import hlp_format as hlp  # noqa: E402
import make_help  # noqa: E402
from topics import FILES  # noqa: E402


def btree_search(tree, key, read_leaf_key, read_index_key):
    """The leaf entry bytes (from its key on) of `key`, or None."""
    magic, _, page_size = struct.unpack_from("<HHH", tree, 0)
    assert magic == hlp.BTREE_MAGIC
    root, = struct.unpack_from("<H", tree, 26)
    levels, = struct.unpack_from("<H", tree, 32)
    pages = tree[38:]
    page = root
    for _ in range(levels - 1):
        base = page * page_size
        entries, = struct.unpack_from("<h", pages, base + 2)
        page, = struct.unpack_from("<H", pages, base + 4)
        at = base + 6
        for _ in range(entries):
            k, size = read_index_key(pages, at)
            if k > key:
                break
            page, = struct.unpack_from("<H", pages, at + size)
            at += size + 2
    base = page * page_size
    entries, = struct.unpack_from("<h", pages, base + 2)
    at = base + 8
    for _ in range(entries):
        k, size = read_leaf_key(pages, at)
        if k == key:
            return pages[at:at + size]
        at += size
    return None


def zstring(data, at):
    end = data.index(b"\0", at)
    return data[at:end], end + 1 - at


def long_key(data, at):
    return struct.unpack_from("<i", data, at)[0], 8


class HelpFile:
    def __init__(self, data):
        self.data = data
        magic, directory, _, size = struct.unpack_from("<IIiI", data, 0)
        assert magic == hlp.MAGIC and size == len(data)
        self.directory = self.content(directory)

    def content(self, offset):
        reserved, used = struct.unpack_from("<II", self.data, offset)
        assert reserved == used + 9
        return self.data[offset + 9:offset + 9 + used]

    def file(self, name):
        key = name.encode("ascii")
        entry = btree_search(self.directory, key, lambda d, a: (zstring(d, a)[0], zstring(d, a)[1] + 4),
                             zstring)
        assert entry is not None, name
        return self.content(struct.unpack_from("<I", entry, len(key) + 1)[0])

    def offset_of_number(self, number):
        ctx = self.file("|CTXOMAP")
        count, = struct.unpack_from("<H", ctx, 0)
        for i in range(count):
            n, offset = struct.unpack_from("<II", ctx, 2 + 8 * i)
            if n == number:
                return offset
        return None

    def offset_of_name(self, name):
        entry = btree_search(self.file("|CONTEXT"), hlp.context_hash(name), long_key,
                             lambda d, a: (struct.unpack_from("<i", d, a)[0], 4))
        return None if entry is None else struct.unpack_from("<I", entry, 4)[0]

    def topic(self, offset):
        """The title and the texts of the topic at a topic offset."""
        block = offset // 0x8000
        raw = self.file("|TOPIC")[block * hlp.TOPIC_BLOCK:(block + 1) * hlp.TOPIC_BLOCK]
        first, = struct.unpack_from("<I", raw, 4)
        data = bytearray()
        at = 12
        while at < len(raw):  # literals only: a flag byte, then eight bytes
            data += raw[at + 1:at + 9]
            at += 9
        pos = first - hlp.topic_position(block, 0)
        title, texts = None, []
        while True:
            size, len2, _, next_pos, len1, kind = struct.unpack_from("<IIIIIB", data, pos)
            strings = bytes(data[pos + len1:pos + len1 + len2]).split(b"\0")
            if kind == hlp.TL_TOPICHDR:
                if title is not None:
                    break
                title = strings[0].decode(make_help.ENCODING)
            else:
                texts += [s.decode(make_help.ENCODING) for s in strings if s]
            if next_pos == hlp.NO_LINK or (next_pos - 12) // hlp.DECOMPRESSED != block:
                break
            pos = next_pos - hlp.topic_position(block, 0)
        return title, texts


class WrittenFiles(unittest.TestCase):
    def test_every_number_and_name_leads_to_its_topic(self):
        for name, entry in FILES.items():
            f = HelpFile(make_help.build(entry))
            for number, context, title, paragraphs in entry["topics"]:
                offset = f.offset_of_number(number)
                self.assertIsNotNone(offset, (name, number))
                self.assertEqual(f.offset_of_name(context), offset)
                shown_title, texts = f.topic(offset)
                self.assertEqual(shown_title, title)
                self.assertEqual(texts, [title] + paragraphs)
            self.assertIsNone(f.offset_of_number(2))

    def test_the_title_is_the_system_title(self):
        for entry in FILES.values():
            system = HelpFile(make_help.build(entry)).file("|SYSTEM")
            magic, minor, major, _, flags = struct.unpack_from("<HHHIH", system, 0)
            self.assertEqual((magic, minor, major, flags), (0x036C, 21, 1, 4))
            kind, size = struct.unpack_from("<HH", system, 12)
            self.assertEqual(kind, 1)
            self.assertEqual(system[16:16 + size], entry["title"].encode(make_help.ENCODING) + b"\0")


class Trees(unittest.TestCase):
    def test_a_tree_of_many_pages_finds_every_entry(self):
        names = ["|F%05d" % i for i in range(3000)]
        leaves = [n.encode("ascii") + b"\0" + struct.pack("<I", i) for i, n in enumerate(names)]
        tree = hlp.btree(leaves, lambda e: e[:e.index(b"\0") + 1], "z4", page_size=0x400,
                         directory=True)
        self.assertGreater(struct.unpack_from("<H", tree, 32)[0], 1)
        leaf = lambda d, a: (zstring(d, a)[0], zstring(d, a)[1] + 4)  # noqa: E731
        for i in (0, 1, 999, 2000, 2999):
            entry = btree_search(tree, names[i].encode("ascii"), leaf, zstring)
            self.assertEqual(struct.unpack_from("<I", entry, len(names[i]) + 1)[0], i)
        self.assertIsNone(btree_search(tree, b"|G", leaf, zstring))

    def test_context_hashes(self):
        # Letters count alike in either case; digits, '.' and '_' have their own values.
        self.assertEqual(hlp.context_hash("a"), 17)
        self.assertEqual(hlp.context_hash("A"), 17)
        self.assertEqual(hlp.context_hash("ab"), 17 * 43 + 18)
        self.assertEqual(hlp.context_hash("0"), 10)
        self.assertEqual(hlp.context_hash("_."), 13 * 43 + 12)
        # Long names wrap around as a signed 32-bit value does.
        self.assertTrue(-2**31 <= hlp.context_hash("brightness_contrast_" * 4) < 2**31)


if __name__ == "__main__":
    unittest.main()
