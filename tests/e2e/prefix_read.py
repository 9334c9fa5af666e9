#!/usr/bin/env python3
"""Reads what a program left in a Wine prefix, for the end-to-end checks.

  prefix_read.py reg FILE KEY            lists the key's text values as NAME=VALUE
                                         (exit 1 when the key is absent)
  prefix_read.py ini FILE SECTION        lists the section's entries as name=value,
                                         sorted by name
  prefix_read.py boxes FILE              lists the message box texts traced by
                                         Wine's msgbox channel, one per line,
                                         with line breaks shown as "|"

FILE for reg is system.reg or user.reg; KEY is written with single
backslashes, e.g. Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool.
Names compare without regard to case, as Windows does; values are exact.
INI entries are read the way the profile functions read them: blanks around
names and values trimmed, names in lower case, the first of duplicates wins.
"""
import re
import sys


def unescape(text):
    """Undoes Wine's escaping in registry files and debug traces."""
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out.append(c)
            i += 1
            continue
        n = text[i + 1]
        if n == "n":
            out.append("\n")
            i += 2
        elif n == "r":
            out.append("\r")
            i += 2
        elif n == "t":
            out.append("\t")
            i += 2
        elif n == "x":
            m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
            out.append(chr(int(m.group(0), 16)) if m else "x")
            i += 2 + (len(m.group(0)) if m else 0)
        else:
            out.append(n)
            i += 2
    return "".join(out)


def reg(path, key):
    wanted = "[" + key.replace("\\", "\\\\").lower() + "]"
    found = False
    values = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                header = line[: line.rfind("]") + 1].lower()
                if found:
                    break
                found = header == wanted
                continue
            if not found:
                continue
            m = re.match(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$', line)
            if m:
                values.append(f"{unescape(m.group(1))}={unescape(m.group(2))}")
    if not found:
        return 1
    for value in sorted(values, key=str.lower):
        print(value)
    return 0


def ini(path, section):
    current = None
    seen = {}
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.strip()
            if line.startswith("[") and "]" in line:
                current = line[1 : line.index("]")].strip().lower()
                continue
            if current != section.lower() or "=" not in line:
                continue
            name, _, value = line.partition("=")
            name = name.strip().lower()
            value = value.strip()
            if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
                value = value[1:-1]
            seen.setdefault(name, value)
    for name, value in sorted(seen.items()):
        print(f"{name}={value}")
    return 0


def boxes(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            m = re.search(r':trace:msgbox:MSGBOX_OnInit L"(.*)"$', line.rstrip("\n"))
            if m:
                print(unescape(m.group(1)).replace("\r\n", "|").replace("\n", "|"))
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "reg":
        return reg(argv[2], argv[3])
    if len(argv) == 4 and argv[1] == "ini":
        return ini(argv[2], argv[3])
    if len(argv) == 3 and argv[1] == "boxes":
        return boxes(argv[2])
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
