#!/usr/bin/env python3
"""Turns the catalogue (po/LINGUAS, po/kovconfig.pot and one .po file per language) into the C++
table the program looks its texts up in (catalogue_table.h), and refuses a catalogue that would
show a player anything but a whole translation: an entry untranslated or fuzzy, a text of the
template missing from a language or one the template no longer has, placeholders that differ
from the English, or a plural entry without exactly the forms its language's Plural-Forms names.

Usage: make_table.py PO_FOLDER OUTPUT.cpp
Reads the .po files with polib (Debian's python3-polib), not by hand.
"""

import re
import string
import sys

import polib

# What a Plural-Forms expression may hold: it is compiled into the program as C++.
PLURAL_EXPRESSION = re.compile(r"^[n0-9\s()?:<>=!&|%+\-*/]+$")
PLURAL_FORMS = re.compile(r"^\s*nplurals\s*=\s*(\d+)\s*;\s*plural\s*=\s*(.+?)\s*;?\s*$")


def placeholders(text):
    """The {name} placeholders of a text, as Python's brace format reads them."""
    return {name for _, name, _, _ in string.Formatter().parse(text) if name is not None}


def literal(text):
    """A C++ string literal of the text's UTF-8 bytes (octal escapes never run into a digit)."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\':
            out.append("\\" + char)
        elif 0x20 <= byte < 0x7F:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def languages(po_folder):
    with open(f"{po_folder}/LINGUAS", encoding="utf-8") as linguas:
        for line in linguas:
            code = line.split("#", 1)[0].strip()
            if code:
                yield code


def check(code, catalogue, template, problems):
    """The language's messages, keyed and sorted by their English text, and its plural rule."""
    match = PLURAL_FORMS.match(catalogue.metadata.get("Plural-Forms", ""))
    if not match or not PLURAL_EXPRESSION.match(match.group(2)):
        problems.append(f"{code}.po: no usable Plural-Forms header")
        return None, None
    count, expression = int(match.group(1)), match.group(2)
    wanted = {entry.msgid for entry in template if not entry.obsolete}
    messages = {}
    for entry in catalogue:
        if entry.obsolete:
            continue
        where = f"{code}.po:{entry.linenum}: {entry.msgid!r}"
        if entry.msgctxt is not None:
            problems.append(f"{where}: a context (msgctxt), which the program does not look up")
        if entry.msgid not in wanted:
            problems.append(f"{where}: not in kovconfig.pot (run catalogue/po/update)")
        if "fuzzy" in entry.flags:
            problems.append(f"{where}: fuzzy: check the translation and remove the mark")
        if entry.msgid_plural:
            forms = [entry.msgstr_plural.get(i, "") for i in range(max(count, len(entry.msgstr_plural)))]
            if len(forms) != count:
                problems.append(f"{where}: {len(forms)} plural forms where Plural-Forms names {count}")
            english = placeholders(entry.msgid) | placeholders(entry.msgid_plural)
        else:
            forms = [entry.msgstr]
            english = placeholders(entry.msgid)
        if any(form == "" for form in forms):
            problems.append(f"{where}: not translated")
        for form in forms:
            if form and placeholders(form) != english:
                problems.append(f"{where}: placeholders {sorted(placeholders(form))} where the English has {sorted(english)}")
        messages[entry.msgid] = (entry.msgid_plural or None, forms)
    for missing in sorted(wanted - messages.keys()):
        problems.append(f"{code}.po: lacks {missing!r} (run catalogue/po/update, then translate it)")
    return messages, expression


def main():
    po_folder, output = sys.argv[1], sys.argv[2]
    template = polib.pofile(f"{po_folder}/kovconfig.pot")
    problems = []
    tables = []
    for code in languages(po_folder):
        messages, expression = check(code, polib.pofile(f"{po_folder}/{code}.po"), template, problems)
        if messages is not None:
            tables.append((code, messages, expression))
    if problems:
        sys.stderr.write("The catalogue is not ready:\n" + "".join(f"  {p}\n" for p in problems))
        return 1

    out = ["// Made by catalogue/make_table.py from catalogue/po: edit the .po files, not this.",
           '#include "catalogue_table.h"', "", "namespace kov::catalogue {", "", "namespace {", ""]
    for code, messages, expression in tables:
        name = re.sub(r"\W", "_", code)
        ordered = sorted(messages.items(), key=lambda item: item[0].encode("utf-8"))
        for index, (_, (_, forms)) in enumerate(ordered):
            out.append(f"constexpr const char* k_{name}_{index}[] = {{{', '.join(literal(f) for f in forms)}}};")
        out.append(f"constexpr Message k_{name}[] = {{")
        for index, (english, (plural, _)) in enumerate(ordered):
            plural_literal = literal(plural) if plural else "nullptr"
            out.append(f"    {{{literal(english)}, {plural_literal}, k_{name}_{index}}},")
        out.append("};")
        out.append(f"unsigned long Plural_{name}(unsigned long n) {{ return static_cast<unsigned long>({expression}); }}")
        out.append("")
    if tables:
        out.append("constexpr Catalogue kAll[] = {")
        for code, _, _ in tables:
            name = re.sub(r"\W", "_", code)
            out.append(f"    {{{literal(code)}, k_{name}, Plural_{name}}},")
        out.append("};")
    out += ["", "}  // namespace", "",
            f"const std::span<const Catalogue> kCatalogues{'(kAll)' if tables else ''};", "",
            "}  // namespace kov::catalogue", ""]
    with open(output, "w", encoding="utf-8") as file:
        file.write("\n".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
