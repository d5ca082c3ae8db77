#!/usr/bin/env python3
"""Turns LEIAME.md into the LEIAME.txt of the downloadable package.

    python3 scripts/leiame_txt.py LEIAME.md OUT/LEIAME.txt

The text is for Notepad on a Portuguese Windows (7 to 11): UTF-8 with a byte-order mark (without it the
older Notepads read the file as ANSI and garble the accents), CR LF line ends, lines wrapped to 78
columns, and no markdown left: headings underlined, links as "text (address)", pictures as a short
note, code unwrapped, tables in aligned columns. Texts in double quotes are never broken across lines,
so a caption stays whole, spaces included.
"""
import re
import sys
import textwrap

WIDTH = 78
CODE_INDENT = "    "
QUOTE_INDENT = "    "
KEEP = "\x00"  # stands for a space that must not break a line, until the line is wrapped

FENCE = re.compile(r"^\s*(```|~~~)")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
LIST_ITEM = re.compile(r"^(\s*)([-*+]|\d+[.)])\s+(.*)$")
TABLE_RULE = re.compile(r"^\|?\s*:?-{3,}:?\s*(\|\s*:?-{3,}:?\s*)*\|?\s*$")
RULE = re.compile(r"^\s*([-*_])(\s*\1){2,}\s*$")


def inline(text):
    """Markdown inline markup to plain text."""
    text = re.sub(r"<!--.*?-->", "", text)
    # Code spans first, kept apart so that their asterisks and underscores stay as they are.
    spans = []

    def keep_span(match):
        spans.append(match.group(2).strip().replace(" ", KEEP))
        return "\x01%d\x02" % (len(spans) - 1)

    text = re.sub(r"(`+)(.+?)\1", keep_span, text)
    text = re.sub(r"!\[([^\]]*)\]\([^)]*\)", lambda m: "[Figura: %s]" % m.group(1), text)

    def link(match):
        label, address = match.group(1), match.group(2)
        if re.match(r"(https?|ftp)://", address) and address != label:
            return "%s (%s)" % (label, address)
        return label  # an address inside the repository or the page means nothing in a text file

    text = re.sub(r"\[([^\]]+)\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)", link, text)
    text = re.sub(r"<((?:https?|ftp|mailto):[^>\s]+)>", r"\1", text)
    text = re.sub(r"\*\*(.+?)\*\*", r"\1", text)
    text = re.sub(r"(?<!\w)__(.+?)__(?!\w)", r"\1", text)
    text = re.sub(r"(?<![\w*\\])\*(?=\S)(.+?)(?<=\S)\*(?![\w*])", r"\1", text)
    text = re.sub(r"(?<![\w\\])_(?=\S)(.+?)(?<=\S)_(?!\w)", r"\1", text)
    text = re.sub(r"\\([\\`*_{}\[\]()#+\-.!|>\"])", r"\1", text)
    text = re.sub(r"\x01(\d+)\x02", lambda m: spans[int(m.group(1))], text)
    return text


def keep_quotes_whole(text):
    return re.sub(r'"[^"]*"', lambda m: m.group(0).replace(" ", KEEP), text)


def wrap(text, first_indent="", next_indent=None):
    if next_indent is None:
        next_indent = first_indent
    text = keep_quotes_whole(inline(text))
    lines = textwrap.wrap(text, width=WIDTH, initial_indent=first_indent, subsequent_indent=next_indent,
                          break_long_words=False, break_on_hyphens=False)
    return [line.replace(KEEP, " ") for line in lines] or [first_indent.rstrip()]


def table(rows):
    cells = [[inline(cell.strip()).replace(KEEP, " ") for cell in row.strip().strip("|").split("|")]
             for row in rows if not TABLE_RULE.match(row)]
    columns = max(len(row) for row in cells)
    cells = [row + [""] * (columns - len(row)) for row in cells]
    widths = [max(len(row[i]) for row in cells) for i in range(columns)]
    out = []
    for number, row in enumerate(cells):
        out.append("  ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)).rstrip())
        if number == 0 and len(cells) > 1:
            out.append("  ".join("-" * width for width in widths))
    return out


def starts_block(line):
    return bool(FENCE.match(line) or HEADING.match(line) or LIST_ITEM.match(line)
                or line.lstrip().startswith(("|", ">")) or RULE.match(line))


def convert(markdown):
    """The guide as plain text, lines joined by LF."""
    lines = markdown.lstrip("\ufeff").replace("\r\n", "\n").replace("\r", "\n").split("\n")
    out = []

    def blank():
        if out and out[-1] != "":
            out.append("")

    i = 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            blank()
            i += 1
        elif FENCE.match(line):
            fence = FENCE.match(line).group(1)
            i += 1
            blank()
            while i < len(lines) and not lines[i].lstrip().startswith(fence):
                out.append((CODE_INDENT + lines[i]).rstrip())
                i += 1
            i += 1
            blank()
        elif HEADING.match(line):
            level, title = HEADING.match(line).groups()
            title = inline(title).replace(KEEP, " ")
            blank()
            out.append(title.upper() if level == "#" else title)
            if len(level) <= 2:
                out.append(("=" if level == "#" else "-") * len(title))
            out.append("")
            i += 1
        elif line.lstrip().startswith("|"):
            rows = []
            while i < len(lines) and lines[i].lstrip().startswith("|"):
                rows.append(lines[i])
                i += 1
            blank()
            out.extend(table(rows))
            blank()
        elif line.lstrip().startswith(">"):
            quoted = []
            while i < len(lines) and lines[i].lstrip().startswith(">"):
                quoted.append(re.sub(r"^\s*>\s?", "", lines[i]))
                i += 1
            blank()
            for paragraph in re.split(r"\n\s*\n", "\n".join(quoted)):
                if paragraph.strip():
                    out.extend(wrap(" ".join(paragraph.split("\n")), QUOTE_INDENT))
                    out.append("")
        elif RULE.match(line):
            blank()
            i += 1
        elif LIST_ITEM.match(line):
            indent, marker, text = LIST_ITEM.match(line).groups()
            i += 1
            while (i < len(lines) and lines[i].strip() and not LIST_ITEM.match(lines[i])
                   and not FENCE.match(lines[i])):
                text += " " + lines[i].strip()
                i += 1
            lead = " " * len(indent) + marker + " "
            out.extend(wrap(text, lead, " " * len(lead)))
        else:
            paragraph = [line.strip()]
            i += 1
            while i < len(lines) and lines[i].strip() and not starts_block(lines[i]):
                paragraph.append(lines[i].strip())
                i += 1
            if re.fullmatch(r"!\[[^\]]*\]\([^)]*\)", " ".join(paragraph)):
                blank()
                out.append(inline(paragraph[0]))
                blank()
            else:
                out.extend(wrap(" ".join(paragraph)))
    while out and out[-1] == "":
        out.pop()
    return "\n".join(out) + "\n"


def notepad_bytes(text):
    """UTF-8 with a byte-order mark and CR LF line ends."""
    return "\ufeff".encode("utf-8") + text.replace("\n", "\r\n").encode("utf-8")


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: leiame_txt.py LEIAME.md OUT/LEIAME.txt\n")
        return 2
    with open(argv[1], encoding="utf-8") as source:
        text = convert(source.read())
    with open(argv[2], "wb") as target:
        target.write(notepad_bytes(text))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
