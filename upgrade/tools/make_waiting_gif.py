#!/usr/bin/python3
"""Draws the waiting animation of the progress window.

Writes images/image_rsc/logo/waiting.gif: 128 x 128 pixels, 12 frames, endless loop. Twelve dots
on a circle; in each frame a different dot is darkest and the ones behind it fade, so the
highlight turns once per 12 frames. Needs Pillow (Debian: python3-pil).
Run from anywhere: python3 upgrade/tools/make_waiting_gif.py
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw

SIZE = 128
FRAMES = 12
DOT_RADIUS = 11
RING_RADIUS = 44
FRAME_MS = 80
OUT = Path(__file__).resolve().parent.parent / "images" / "image_rsc" / "logo" / "waiting.gif"


def frame(index: int) -> Image.Image:
    image = Image.new("RGB", (SIZE, SIZE), (255, 255, 255))
    pen = ImageDraw.Draw(image)
    for dot in range(FRAMES):
        angle = 2 * math.pi * dot / FRAMES - math.pi / 2
        x = SIZE / 2 + RING_RADIUS * math.cos(angle)
        y = SIZE / 2 + RING_RADIUS * math.sin(angle)
        age = (index - dot) % FRAMES  # 0 for the leading dot
        shade = min(230, 40 + age * 18)
        pen.ellipse((x - DOT_RADIUS, y - DOT_RADIUS, x + DOT_RADIUS, y + DOT_RADIUS),
                    fill=(shade, shade, min(255, shade + 40)))
    return image.convert("P", palette=Image.ADAPTIVE, colors=64)


if __name__ == "__main__":
    OUT.parent.mkdir(parents=True, exist_ok=True)
    frames = [frame(i) for i in range(FRAMES)]
    frames[0].save(OUT, save_all=True, append_images=frames[1:], duration=FRAME_MS, loop=0,
                   optimize=False, disposal=1)
    print(OUT)
