#!/usr/bin/env python3
"""Builds one shipped skin: fills a layout with a skin's palette, renders the condition
pictures it names from the icon set, and compiles the result with skinc.

    make-skin.py --layout LAYOUT.xml --palette PALETTE.txt [--palette MORE.txt ...]
                 --conditions conditions.tsv
                 --icons ICON_DIR --work WORK_DIR --skinc SKINC --hybrid HYBRID_PNG
                 --out OUTPUT.skin [--rsvg rsvg-convert]

The layout is a skin source whose placeholders the palette fills, one line for one line,
so that an error skinc reports names the layout's own file and line:
  @NAME@              the palette's value of NAME (a colour, a font, a number ...)
  @ICON:KIND:CODE@    the condition picture of a code (0..47 or "bad") at a picture kind
  @ART:KIND:ICON@     the picture of a named icon of the set at a picture kind
  @FRAME:NAME@        an 8x8 frame, 2 pixels of the palette's colour NAME round a
                      transparent middle (a list's highlight: "FILE 2 2 6 6")
A picture kind is described in the palette by SIZE_KIND (the size at 96 dpi), MATTE_KIND
(the colour behind it), optionally TILE_KIND ("colour radius": a rounded plate under the
icon) and VIEW_KIND ("x y w h": the part of the icon's 64x64 drawing to show). Colours
there may be written as the name of a palette colour. The pictures are opaque: drawn on
the colour they were made for, their edges blend into it exactly.
"""
import argparse
import os
import re
import struct
import subprocess
import sys
import zlib

PLACEHOLDER = re.compile(r"@([A-Za-z0-9_:.\-]+)@")


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def read_palette(path):
    values = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            # Colours start with '#': a comment is '#' and a blank after white space.
            text = re.sub(r"\s+#\s.*$", "", line)
            name, _, value = text.partition(" ")
            if not value.strip():
                fail(f"{path}:{number}: '{name}' has no value")
            values[name] = value.strip()
    return values


def read_conditions(path):
    icons = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < 2:
                fail(f"{path}:{number}: a line needs a code and an icon")
            icons[fields[0]] = fields[1]
    return icons


def inner_svg(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    start = re.search(r"<svg\b[^>]*>", text)
    end = text.rfind("</svg>")
    if not start or end < start.end():
        fail(f"{path}: not an SVG drawing")
    return text[start.end():end]


def write_png(path, width, height, rgba):
    """A plain 8-bit RGBA PNG of rows of (r, g, b, a) tuples."""
    raw = b"".join(b"\0" + bytes(v for pixel in row for v in pixel) for row in rgba)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def colour_of(text, where):
    if not re.fullmatch(r"#[0-9A-Fa-f]{6}", text):
        fail(f"{where}: '{text}' is not a colour #rrggbb")
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


class Pictures:
    def __init__(self, palette, icons_dir, work, rsvg, hybrid):
        self.palette = palette
        self.icons_dir = icons_dir
        self.folder = os.path.join(work, "pictures")
        self.rsvg = rsvg
        self.hybrid = hybrid
        self.made = {}
        os.makedirs(self.folder, exist_ok=True)

    def kind(self, kind, where):
        size = self.palette.get("SIZE_" + kind)
        matte = self.palette.get("MATTE_" + kind)
        if not size or not matte:
            fail(f"{where}: picture kind '{kind}' needs SIZE_{kind} and MATTE_{kind} in the palette")
        tile = self.palette.get("TILE_" + kind, "").split()
        view = self.palette.get("VIEW_" + kind, "0 0 64 64")
        # Colours may name a role of the palette, so a picture's background follows it.
        matte = self.palette.get(matte, matte)
        if tile:
            tile[0] = self.palette.get(tile[0], tile[0])
        return int(size), matte, tile, view

    def picture(self, kind, icon, where):
        """The layout-relative path of the picture of an icon at a kind, rendered once."""
        name = f"{self.palette.get('PREFIX', '')}{kind}_{icon}"
        if name in self.made:
            return self.made[name]
        size, matte, tile, view = self.kind(kind, where)
        svg = os.path.join(self.icons_dir, f"wi_{icon}.svg")
        if not os.path.exists(svg):
            fail(f"{where}: the icon set has no {svg}")
        plate = ""
        if tile:
            radius = float(tile[1]) * 64 / size if len(tile) > 1 else 0
            plate = f'<rect width="64" height="64" rx="{radius:g}" fill="{tile[0]}"/>'
        drawing = (f'<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" viewBox="0 0 64 64">{plate}'
                   f'<svg width="64" height="64" viewBox="{view}">{inner_svg(svg)}</svg></svg>\n')
        wrapper = os.path.join(self.folder, name + ".svg")
        with open(wrapper, "w", encoding="utf-8") as f:
            f.write(drawing)
        renders = []
        for scale in (1, 2):
            out = os.path.join(self.folder, f"{name}@{scale}x.png")
            side = str(size * scale)
            subprocess.run([self.rsvg, "-w", side, "-h", side, "-b", matte, "-o", out, wrapper], check=True)
            renders.append(out)
        subprocess.run([self.hybrid, renders[0], renders[1], os.path.join(self.folder, name + ".png")], check=True)
        self.made[name] = f"pictures/{name}.png"
        return self.made[name]

    def frame(self, role, where):
        name = f"{self.palette.get('PREFIX', '')}frame_{role.lower()}"
        if name not in self.made:
            if role not in self.palette:
                fail(f"{where}: the palette has no '{role}'")
            colour = colour_of(self.palette[role], where) + (255,)
            clear = (0, 0, 0, 0)
            rows = [[colour if x < 2 or x > 5 or y < 2 or y > 5 else clear for x in range(8)] for y in range(8)]
            write_png(os.path.join(self.folder, name + ".png"), 8, 8, rows)
            self.made[name] = f"pictures/{name}.png"
        return self.made[name]


def fill_layout(layout, palette, conditions, pictures):
    lines = []
    with open(layout, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            where = f"{layout}:{number}"

            def value(match):
                key = match.group(1)
                if key.startswith("FRAME:"):
                    return pictures.frame(key[len("FRAME:"):], where)
                if key.startswith("ICON:") or key.startswith("ART:"):
                    parts = key.split(":")
                    if len(parts) != 3:
                        fail(f"{where}: '{key}' needs KIND:CODE or KIND:ICON")
                    icon = parts[2]
                    if parts[0] == "ICON":
                        if parts[2] not in conditions:
                            fail(f"{where}: no condition picture for code '{parts[2]}'")
                        icon = conditions[parts[2]]
                    return pictures.picture(parts[1], icon, where)
                if key not in palette:
                    fail(f"{where}: the palette has no '{key}'")
                return palette[key]

            lines.append(PLACEHOLDER.sub(value, line))
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--palette", required=True, action="append", help="later palettes override earlier ones")
    for name in ("layout", "conditions", "icons", "work", "skinc", "hybrid", "out"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--rsvg", default="rsvg-convert")
    args = parser.parse_args()

    palette = {}
    for path in args.palette:
        palette.update(read_palette(path))
    conditions = read_conditions(args.conditions)
    os.makedirs(args.work, exist_ok=True)
    pictures = Pictures(palette, args.icons, args.work, args.rsvg, args.hybrid)
    source = os.path.join(args.work, os.path.basename(args.layout))
    text = fill_layout(args.layout, palette, conditions, pictures)
    with open(source, "w", encoding="utf-8") as f:
        f.write(text)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    run = subprocess.run([args.skinc, source, "-o", args.out], capture_output=True, text=True)
    if run.returncode != 0:
        # The filled source keeps the layout's lines: name the file the author edits.
        sys.stderr.write(run.stderr.replace(source, args.layout) + run.stdout)
        if os.path.exists(args.out):
            os.remove(args.out)
        sys.exit(1)


if __name__ == "__main__":
    main()
