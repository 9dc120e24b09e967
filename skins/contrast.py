#!/usr/bin/env python3
"""The WCAG contrast of every text colour pair of the shipped skins.

    contrast.py            writes the figures to skins/contrast.md
    contrast.py --check    only checks them (the test suite runs this)

Colours are taken as the screen shows them: the 16-bit 565 value each palette colour
becomes, widened back to 8 bits per channel the way the display does. Body text needs
7:1, large text (the current temperature) 4.5:1, and graphics that carry meaning (page
dots, check marks beside their text, frames of fields and of the highlight) 3:1.
Every colour that the layout gives a text node must appear as the text of a pair below,
so a new text colour cannot go unchecked.
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SKINS = ["default", "night"]
LIMITS = {"body": 7.0, "large": 4.5, "graphic": 3.0}

# (text or graphic role, background role, kind, where it is seen)
PAIRS = [
    ("TEXT", "SKY", "body", "city name, on the page's header band"),
    ("TEXT", "SKY", "large", "current temperature"),
    ("SKY_TEXT2", "SKY", "body", "last update line"),
    ("TEXT", "SURFACE", "body", "weekday, high, list rows, menu entries, typed text, message"),
    ("TEXT2", "SURFACE", "body", "day label, low, search prompt, arrows"),
    ("TEXT", "PRESSED", "body", "a pressed row or entry"),
    ("TEXT2", "PRESSED", "body", "a pressed row's secondary text"),
    ("TEXT", "SELECTED", "body", "the selected row"),
    ("TEXT", "PAGE", "body", "text on the page background"),
    ("TEXT", "HEAD", "body", "title bars, the pop-up's caption"),
    ("TEXT", "BAR", "body", "soft-key captions"),
    ("TEXT", "BAR_PRESSED", "body", "a pressed soft key"),
    ("ACCENT", "SURFACE", "body", "menu digits, check marks, the home page button"),
    ("ACCENT", "PRESSED", "body", "menu digits on a pressed entry"),
    ("ACCENT", "HEAD", "body", "alphabet ruler letters"),
    ("ACCENT", "PAGE", "body", "accent text on the page background"),
    ("ON_ACCENT", "ACCENT", "body", "the update button's caption"),
    ("ON_ACCENT", "ACCENT_PRESSED", "body", "the update button pressed"),
    ("ON_DANGER", "DANGER", "body", "the delete button's caption"),
    ("ON_DANGER", "DANGER_PRESSED", "body", "the delete button pressed"),
    ("DANGER", "SURFACE", "graphic", "the delete mark of a city row"),
    ("DOT_ON", "SKY", "graphic", "the current page's dot"),
    ("DOT_OFF", "SKY", "graphic", "the other pages' dots"),
    ("FIELD_LINE", "HEAD", "graphic", "the search field's frame"),
    ("ACCENT", "SELECTED", "graphic", "the keypad highlight's frame on a row"),
    ("ACCENT", "PAGE", "graphic", "the keypad highlight's frame on the page"),
    ("TEXT2", "PAGE", "body", "the detail form's labels and data source line"),
    ("TEXT2", "BAR", "body", "the data source between or beside the soft keys"),
    ("ACCENT", "BAR", "body", "the sample-data line beside the soft key"),
    ("SKY_TEXT2", "SURFACE", "body", "the current hour's time and rain chance"),
]


def read_palette(path):
    values = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = re.sub(r"\s+#\s.*$", "", line.strip())
            if line and not line.startswith("#"):
                name, _, value = line.partition(" ")
                values[name] = value.strip()
    return values


def shown(colour):
    """The colour as the 565 screen shows it."""
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    r5, g6, b5 = r >> 3, g >> 2, b >> 3
    return ((r5 << 3) | (r5 >> 2), (g6 << 2) | (g6 >> 4), (b5 << 3) | (b5 >> 2))


def luminance(rgb):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (channel(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def ratio(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def text_colours(layout):
    """The palette roles the layout gives to text nodes."""
    roles = set()
    with open(layout, encoding="utf-8") as f:
        for line in f:
            if 'type="text"' in line or 'type="edit"' in line:
                roles.update(re.findall(r'\bcolor="@([A-Z0-9_]+)@"', line))
    return roles


def main():
    check_only = "--check" in sys.argv[1:]
    problems = []
    covered = {fg for fg, _, _, _ in PAIRS}
    for role in sorted(text_colours(os.path.join(HERE, "layout.xml")) - covered):
        problems.append(f"the text colour {role} is in no pair of contrast.py")
    rows = []
    for fg, bg, kind, where in PAIRS:
        cells = []
        for skin in SKINS:
            palette = read_palette(os.path.join(HERE, skin, "palette.txt"))
            for role in (fg, bg):
                if role not in palette:
                    problems.append(f"{skin}: the palette has no {role}")
            if fg not in palette or bg not in palette:
                cells.append("—")
                continue
            for role in (fg, bg):
                if shown(palette[role]) != tuple(int(palette[role][i:i + 2], 16) for i in (1, 3, 5)):
                    problems.append(f"{skin}: {role} {palette[role]} is not a colour of the 565 screen "
                                    f"(it shows as #{''.join(f'{c:02X}' for c in shown(palette[role]))})")
            value = ratio(shown(palette[fg]), shown(palette[bg]))
            mark = "" if value >= LIMITS[kind] else " **too low**"
            if mark:
                problems.append(f"{skin}: {fg} on {bg} ({where}) is {value:.2f}:1, below {LIMITS[kind]}:1")
            cells.append(f"{value:.2f}:1{mark}")
        rows.append(f"| {where} | {fg} on {bg} | {kind} ({LIMITS[kind]:g}:1) | " + " | ".join(cells) + " |")
    for problem in sorted(set(problems)):
        print("contrast: " + problem, file=sys.stderr)
    if not check_only:
        with open(os.path.join(HERE, "contrast.md"), "w", encoding="utf-8") as f:
            f.write("# Contrast of the shipped skins' text colours\n\n"
                    "Written by `skins/contrast.py` from the skins' palettes, as the 16-bit screen shows the\n"
                    "colours (WCAG 2 contrast ratio). Body text needs 7:1, large text 4.5:1, graphics that\n"
                    "carry meaning 3:1.\n\n"
                    "| Where | Colours | Kind | default | night |\n|---|---|---|---|---|\n")
            f.write("\n".join(rows) + "\n")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
