#!/usr/bin/env python3
"""Writes the manual page of a KORVAN program from its own --help text.

    manpage.py --program PATH --name NAME --language en|it --catalog it.po
               --changelog changelog --out NAME.1.gz [--untranslated FILE]

Runs `PATH --help` and `PATH --version`, and `PATH SUBCOMMAND --help` for
every entry under the "Subcommands:" heading of the help, so that the page
follows the program as subcommands are added. The Italian page translates
the English texts through the catalog (a gettext PO file keyed by the
English text of each paragraph and item); a text without a translation
stays in English and is listed on standard error (and in --untranslated).
The date is that of the changelog's latest entry, so the page is the same
for the same sources.

The help texts follow one layout, which this reads:
  Usage: NAME ...           the synopsis; lines indented by 4 or more
                            spaces continue it
  Text at the margin        a paragraph: consecutive lines join, a line that
                            ends with ".", ":" or "!" ends it
    TERM      DESCRIPTION   an item: a term indented by 2 spaces, the
                            description after 2 or more spaces; lines
                            indented to the description continue it; a term
                            alone on its line takes the next, deeper
                            indented lines as its description
      TERM    DESCRIPTION   indented deeper than an item: its sub-items
"""

import argparse
import email.utils
import gzip
import re
import subprocess
import sys

SECTIONS = {
    "en": {"name": "NAME", "synopsis": "SYNOPSIS", "description": "DESCRIPTION", "subcommands": "SUBCOMMANDS",
           "see_also": "SEE ALSO", "manual": "KORVAN"},
    "it": {"name": "NOME", "synopsis": "SINTASSI", "description": "DESCRIZIONE", "subcommands": "SOTTOCOMANDI",
           "see_also": "VEDERE ANCHE", "manual": "KORVAN"},
}
SEE_ALSO = {"korvan": "korvan-batch", "korvan-batch": "korvan"}


class Item:
    def __init__(self, indent, term, description, column):
        self.indent = indent
        self.term = term
        self.description = [description] if description else []
        self.column = column  # where the description starts; None until known
        self.children = []


def parse_help(text):
    """The help as (usage lines, blocks); a block is ("para", text) or ("items", [Item])."""
    lines = text.rstrip("\n").split("\n")
    usage, blocks = [], []
    i = 0
    if lines and lines[0].startswith("Usage: "):
        usage.append(lines[0][len("Usage: "):])
        i = 1
        while i < len(lines) and re.match(r"^ {4,}\S", lines[i]):
            usage.append(lines[i].strip())
            i += 1
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
        elif not line.startswith(" "):
            paragraph = []
            while i < len(lines) and lines[i].strip() and not lines[i].startswith(" "):
                paragraph.append(lines[i].strip())
                i += 1
                if paragraph[-1].endswith((".", ":", "!")):
                    break
            blocks.append(("para", " ".join(paragraph)))
        else:
            items = []
            while i < len(lines) and lines[i].startswith(" "):
                add_item_line(items, lines[i])
                i += 1
            blocks.append(("items", items))
    return usage, blocks


def add_item_line(items, line):
    indent = len(line) - len(line.lstrip(" "))
    current = items[-1] if items else None
    if current is None:
        items.append(new_item(line, indent, items))
        return
    if current.children:
        child = current.children[-1]
        if indent == child.column or (child.column is None and indent > child.indent):
            child.column = indent
            child.description.append(line.strip())
            return
        if indent == child.indent:
            current.children.append(new_item(line, indent, current.children))
            return
    if not current.children and (indent == current.column or (current.column is None and indent > current.indent)):
        current.column = indent
        current.description.append(line.strip())
    elif indent > current.indent:
        current.children.append(new_item(line, indent, current.children))
    else:
        items.append(new_item(line, indent, items))


def new_item(line, indent, siblings):
    """An item; a term that fills its column up to one space before the
    description is split where its siblings' descriptions start."""
    match = re.match(r"^( *)(\S(?:.*?\S)?)(?: {2,}(\S.*))?$", line)
    term, description = match.group(2), match.group(3)
    column = line.index(description, indent + len(term)) if description else None
    known = [item.column for item in siblings if item.indent == indent and item.column]
    if description is None and known:
        at = known[-1]
        if len(line) > at and line[at - 1] == " " and line[at] != " " and " " in line[indent:at].strip():
            term, description, column = line[indent:at].strip(), line[at:].strip(), at
    return Item(indent, term, description, column)


def item_key(item):
    return (item.term, " ".join(item.description), tuple(item_key(child) for child in item.children))


def block_key(block):
    kind, value = block
    return (kind, value) if kind == "para" else (kind, tuple(item_key(item) for item in value))


class Translator:
    def __init__(self, catalog, language):
        self.language = language
        self.entries = read_po(catalog) if language != "en" else {}
        self.missing = []

    def text(self, english, required=True):
        if self.language == "en":
            return english
        translated = self.entries.get(english)
        if translated:
            return translated
        if required and english not in self.missing:
            self.missing.append(english)
        return english


def read_po(path):
    """msgid -> msgstr of a PO file: entries with a translation, fuzzy ones left out."""
    entries = {}
    msgid, msgstr, field, fuzzy, next_fuzzy = None, "", None, False, False

    def keep():
        if msgid and msgstr and not fuzzy:
            entries[msgid] = msgstr

    with open(path, encoding="utf-8") as po:
        for raw in po:
            line = raw.strip()
            if line.startswith("#,"):
                next_fuzzy = "fuzzy" in line
            elif line.startswith("msgid "):
                keep()
                msgid, msgstr, field, fuzzy, next_fuzzy = unquote(line[6:]), "", "id", next_fuzzy, False
            elif line.startswith("msgstr "):
                msgstr, field = unquote(line[7:]), "str"
            elif line.startswith('"') and field == "id":
                msgid += unquote(line)
            elif line.startswith('"') and field == "str":
                msgstr += unquote(line)
    keep()
    return entries


def unquote(text):
    body = text.strip()[1:-1]
    return re.sub(r'\\(.)', lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), body)


def roff(text):
    """Text safe inside a roff line: backslashes, minus signs, a leading dot."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def roff_term(term):
    """An item's term: options and names in bold, placeholders in italics."""
    words = []
    for word in re.split(r"( +|[|,\[\]()]+)", term):
        if not word or not word.strip() or re.fullmatch(r"[|,\[\]()]+", word):
            words.append(roff(word))
        elif re.fullmatch(r"[A-Z][A-Z_-]*", word):
            words.append("\\fI" + roff(word) + "\\fR")
        else:
            words.append("\\fB" + roff(word) + "\\fR")
    return "".join(words)


def render_blocks(blocks, tr, out):
    for kind, value in blocks:
        if kind == "para":
            out.append(".PP")
            out.append(roff(tr.text(value)))
        else:
            for item in value:
                render_item(item, tr, out)


def render_item(item, tr, out):
    out.append(".TP")
    out.append(roff_term(tr.text(item.term, required=False)))
    if item.description:
        out.append(roff(tr.text(" ".join(item.description))))
    if item.children:
        # A compact table as wide as its longest term.
        width = max(len(tr.text(child.term, required=False)) for child in item.children) + 2
        out += [".RS", ".PD 0"]
        for child in item.children:
            out += [f".TP {width}n", roff_term(tr.text(child.term, required=False))]
            out.append(roff(tr.text(" ".join(child.description))))
        out += [".PD", ".RE"]


def render_usage(name, usage, tr):
    """The synopsis: the program's name, then its arguments with a hanging indent."""
    text = " ".join(tr.text(line, required=False) for line in usage)
    if text.startswith(name + " "):
        text = text[len(name) + 1:]
    return [".SY " + roff(name), roff(text), ".YS"]


def run(program, arguments):
    result = subprocess.run([program] + arguments, capture_output=True, text=True, check=False,
                            env={"LC_ALL": "C.UTF-8", "PATH": "/usr/bin:/bin", "QT_QPA_PLATFORM": "offscreen"})
    if result.returncode != 0:
        sys.exit(f"manpage.py: {program} {' '.join(arguments)} failed ({result.returncode}): {result.stderr}")
    return result.stdout


def subcommand_names(blocks):
    for index, (kind, value) in enumerate(blocks):
        if kind == "para" and value == "Subcommands:" and index + 1 < len(blocks):
            return [item.term for item in blocks[index + 1][1]]
    return []


def changelog_date(path):
    with open(path, encoding="utf-8") as changelog:
        for line in changelog:
            if line.startswith(" -- "):
                return email.utils.parsedate_to_datetime(line.split("  ")[-1].strip()).strftime("%Y-%m-%d")
    sys.exit(f"manpage.py: no entry in {path}")


def manual_page(program, name, language, catalog, changelog):
    tr = Translator(catalog, language)
    words = SECTIONS[language]
    version = run(program, ["--version"]).split()[-1]
    usage, blocks = parse_help(run(program, ["--help"]))
    if not blocks or blocks[0][0] != "para":
        sys.exit(f"manpage.py: the help of {name} does not begin with its description")
    summary = tr.text(blocks[0][1])
    summary = summary[0].lower() + summary[1:].rstrip(".")
    header = [f'.TH "{name.upper()}" "1" "{changelog_date(changelog)}" "KORVAN {version}" "{words["manual"]}"']
    if language != "en":
        header.append(".nh")  # groff hyphenates by English patterns
    out = header + [".SH " + words["name"], roff(name) + " \\- " + roff(summary)]
    out += [".SH " + words["synopsis"]] + render_usage(name, usage, tr)
    out.append(".SH " + words["description"])
    render_blocks(blocks[1:], tr, out)

    commands = subcommand_names(blocks)
    if commands:
        shared = {block_key(block) for block in blocks}
        out.append(".SH " + words["subcommands"])
        for command in commands:
            sub_usage, sub_blocks = parse_help(run(program, [command, "--help"]))
            out.append(f'.SS "{roff(name)} {roff(command)}"')
            out += render_usage(name, sub_usage, tr)
            render_blocks([block for block in sub_blocks if block_key(block) not in shared], tr, out)
    other = SEE_ALSO.get(name)
    if other:
        out += ['.SH "' + words["see_also"] + '"', f"\\fB{roff(other)}\\fR(1)"]
    return "\n".join(out) + "\n", tr.missing


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--name", required=True)
    parser.add_argument("--language", choices=sorted(SECTIONS), required=True)
    parser.add_argument("--catalog", required=True)
    parser.add_argument("--changelog", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--untranslated")
    options = parser.parse_args()
    page, missing = manual_page(options.program, options.name, options.language, options.catalog,
                                options.changelog)
    with open(options.out, "wb") as out:
        # Maximum compression and no time stamp, as Debian wants its manuals.
        out.write(gzip.compress(page.encode("utf-8"), compresslevel=9, mtime=0))
    if options.untranslated:
        with open(options.untranslated, "w", encoding="utf-8") as report:
            report.writelines(text + "\n" for text in missing)
    for text in missing:
        print(f"manpage.py: {options.name}({options.language}): no translation in {options.catalog}: {text}",
              file=sys.stderr)


if __name__ == "__main__":
    main()
