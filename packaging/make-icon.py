#!/usr/bin/env python3
"""Writes the program's icon: the icon set's "partly cloudy day" picture on a rounded sky
plate (the set's white clouds need a background), as an SVG and as PNGs of the sizes
asked for, rendered with rsvg-convert."""
import argparse
import re
import subprocess
import sys
from pathlib import Path

PLATE = """<?xml version="1.0" encoding="UTF-8"?>
<!-- The Weather icon: a Meteocons picture (MIT, Bas Milius) on a sky plate. -->
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <defs>
    <linearGradient id="nalo-plate" x1="0" y1="4" x2="0" y2="60" gradientUnits="userSpaceOnUse">
      <stop offset="0" stop-color="#2F6FBA"/>
      <stop offset="1" stop-color="#7FB2E5"/>
    </linearGradient>
  </defs>
  <rect x="4" y="4" width="56" height="56" rx="12" fill="url(#nalo-plate)"/>
  <svg x="4" y="4" width="56" height="56" viewBox="2 0.5 56 56">
{picture}
  </svg>
</svg>
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--picture", required=True, help="the icon set's SVG")
    parser.add_argument("--rsvg", required=True, help="rsvg-convert")
    parser.add_argument("--svg", required=True, help="the SVG to write")
    parser.add_argument("--png", nargs="*", default=[], metavar="SIZE=FILE", help="PNGs to write")
    args = parser.parse_args()

    source = Path(args.picture).read_text(encoding="utf-8")
    inner = re.search(r"<svg\b[^>]*>(.*)</svg>\s*$", source, re.S)
    if not inner or 'viewBox="0 0 64 64"' not in source[: inner.start(1)]:
        sys.exit(f"make-icon: {args.picture} is not a 64x64 picture of the icon set")
    Path(args.svg).parent.mkdir(parents=True, exist_ok=True)
    Path(args.svg).write_text(PLATE.format(picture=inner.group(1).strip("\n")), encoding="utf-8")
    for item in args.png:
        size, _, out = item.partition("=")
        Path(out).parent.mkdir(parents=True, exist_ok=True)
        subprocess.run([args.rsvg, "-w", size, "-h", size, "-o", out, args.svg], check=True)


if __name__ == "__main__":
    main()
