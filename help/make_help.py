# -*- coding: utf-8 -*-
# Writes the help files of the product, TWAIN.HLP, TWAIN_G.HLP and
# TWAIN_F.HLP, from the texts of topics.py:
#
#   make_help.py OUTDIR [--header FILE]
#
# With --header it also writes a C++ header with what each file's topics
# show (file title, topic titles and first words), for the Windows test
# that opens every topic in the viewer.
import argparse
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
import hlp_format as hlp  # noqa: E402
from topics import FILES  # noqa: E402

ENCODING = "cp1252"
BODY_FONT, TITLE_FONT = 0, 1
FONTS = [("Arial", 20, False), ("Arial", 28, True)]  # (face, half points, bold)
SPACING = 12  # above each body paragraph


def build(entry):
    topics = []
    for _, _, title, paragraphs in entry["topics"]:
        heading = hlp.Paragraphs().add(TITLE_FONT, title)
        body = hlp.Paragraphs(spacing_above=SPACING)
        for text in paragraphs:
            body.add(BODY_FONT, text)
        topics.append((title, [heading, body]))
    offsets = [hlp.topic_offset(block) for block in range(len(topics))]
    title = entry["title"].encode(ENCODING)
    files = {
        "|SYSTEM": hlp.system_file(title, offsets[0], title),
        "|FONT": hlp.font_file(FONTS),
        "|TOPIC": hlp.topic_blocks(topics, ENCODING),
        "|CONTEXT": hlp.context_file([(t[1], off) for t, off in zip(entry["topics"], offsets)]),
        "|CTXOMAP": hlp.context_map_file([(t[0], off) for t, off in zip(entry["topics"], offsets)]),
        "|TTLBTREE": hlp.title_file([(off, t[2]) for t, off in zip(entry["topics"], offsets)],
                                    ENCODING),
    }
    return hlp.help_file(files)


def wide(text):
    out = []
    for c in text:
        if c in '"\\':
            out.append("\\" + c)
        elif 32 <= ord(c) < 127:
            out.append(c)
        else:
            out.append("\\x%04x\" L\"" % ord(c))
    return 'L"' + "".join(out) + '"'


def header_text():
    lines = ["// What the help files show, written by help/make_help.py from",
             "// help/topics.py: never edit by hand.",
             "#pragma once", "", "namespace helptext {", "",
             "struct Topic {", "    int context;", "    const wchar_t* title;",
             "    const wchar_t* opening;  // the first words of its text", "};", "",
             "struct File {", "    const char* name;", "    const wchar_t* title;",
             "    Topic topics[4];", "};", "",
             "inline constexpr File kFiles[] = {"]
    for name, entry in FILES.items():
        lines.append('    {"%s", %s, {' % (name, wide(entry["title"])))
        for context, _, title, paragraphs in entry["topics"]:
            opening = " ".join(paragraphs[0].split(" ")[:6])
            lines.append("        {%d, %s, %s}," % (context, wide(title), wide(opening)))
        lines.append("    }},")
    lines += ["};", "", "}  // namespace helptext", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("outdir")
    parser.add_argument("--header")
    args = parser.parse_args()
    os.makedirs(args.outdir, exist_ok=True)
    for name, entry in FILES.items():
        with open(os.path.join(args.outdir, name), "wb") as f:
            f.write(build(entry))
    if args.header:
        with open(args.header, "w", encoding="ascii") as f:
            f.write(header_text())


if __name__ == "__main__":
    main()
