#!/usr/bin/env python3
"""Writes a language file of the program from its UTF-8 source.

    make-lng.py SOURCE.lng.utf8 OUTPUT.lng

The source holds KEY=text lines; blank lines and lines starting with "#" are left out.
The output is UTF-16 little-endian with the byte-order mark FF FE, one KEY=text a line,
which is what the program reads. A line without "=", a key with white space in it, or a
key given twice is an error naming the source line."""
import sys


def convert(source, output):
    keys = {}
    lines = []
    with open(source, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            key, equals, _ = line.partition("=")
            where = f"{source}:{number}"
            if not equals or not key:
                sys.exit(f"{where}: expected KEY=text")
            if key != key.strip() or any(c.isspace() for c in key):
                sys.exit(f"{where}: the key '{key}' has white space in it")
            if key in keys:
                sys.exit(f"{where}: '{key}' is given again (first on line {keys[key]})")
            keys[key] = number
            lines.append(line)
    with open(output, "wb") as f:
        f.write(b"\xff\xfe" + "".join(line + "\r\n" for line in lines).encode("utf-16-le"))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: make-lng.py SOURCE.lng.utf8 OUTPUT.lng")
    convert(sys.argv[1], sys.argv[2])
