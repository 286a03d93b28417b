#!/usr/bin/python3
"""Draws the program's icon: a white upward arrow on a blue rounded square.

Writes win32/OBUpgradeApp.ico (16, 24, 32, 48 and 256 pixels). Needs Pillow (Debian: python3-pil).
Run from anywhere: python3 upgrade/tools/make_icon.py
"""
from pathlib import Path

from PIL import Image, ImageDraw

SIZE = 256
OUT = Path(__file__).resolve().parent.parent / "win32" / "OBUpgradeApp.ico"


def draw() -> Image.Image:
    image = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
    pen = ImageDraw.Draw(image)
    pen.rounded_rectangle((8, 8, SIZE - 8, SIZE - 8), radius=48, fill=(32, 96, 176, 255))
    # Arrow head and shaft.
    pen.polygon([(128, 40), (216, 132), (160, 132), (160, 216), (96, 216), (96, 132), (40, 132)],
                fill=(255, 255, 255, 255))
    return image


if __name__ == "__main__":
    draw().save(OUT, sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)])
    print(OUT)
