#!/usr/bin/env python3
"""Writes the SVG sources of the Maid's pictures into a folder: her eight walks and standing pose,
the same carrying something in both hands (the game draws what she carries), the level's start and
end animations and her four services.

The Maid keeps the rooms: a Teal dress with a Cream apron and a frilled Cream cap over a dark bun.
Her arms are part of every picture (the game draws what she carries in front of her or, walking
away, behind her). Every picture is a 64 x 96 frame with the foot point at (32, 92), so every
section places it with spr_x -32 and spr_y -92; the shadow (48 x 16) with shadow_x -24, shadow_y -8.

File names by animation section (frames in brackets):
  "WalkLeft" .. "WalkDownLeft"              walk_left .. walk_downleft (8 each)
  "Stand"                                   stand (1)
  "Carry_Stand"                             carry_stand (1)
  "Carry_WalkLeft" .. "Carry_WalkDownLeft"  carry_walk_left .. carry_walk_downleft (8 each)
  "Applause", "Hail", "Unhappy"             applause, hail, unhappy (4 each)
  "Clean", "Clothes", "Pillow", "Water"     clean, clothes, pillow, water (4 each)
  [Main] "shadow_spr"                       shadow
The services face left, towards the thing she works on; the game mirrors them for things that
face the other way. "Clean" pushes a vacuum cleaner whose nozzle is at the lower left of the
frame, where the cleaning effect shows.

usage: maid.py <output folder>
       maid.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from figure import (CREAM, DEEP_TEAL, DUSK, HONEY, INK, LEAF, SAND, SKIN_WARM, SKY, TEAL,  # noqa: E402
                    WALNUT, Look, circle, curve, ellipse, f, hand_at, hero_poses, outlined, rect, run,
                    shadow, side_figure, svg, walks, whole)


def apron(look, view, cx, y, sway):
    """The apron over the dress front, with its bib and the bow seen from behind."""
    if view in ("back", "back3"):
        return (outlined("M%s,%s l-5,-3 v6 Z M%s,%s l5,-3 v6 Z" % (f(cx - 1), f(y + 15), f(cx + 1), f(y + 15)),
                         CREAM, 1.5))
    if view == "side":
        return outlined("M%s,%s H%s V%s Q%s,%s %s,%s Z" % (
            f(cx - 7), f(y + 14), f(cx - 1), f(y + 25), f(cx - 5), f(y + 27), f(cx - 10), f(y + 25)), CREAM, 1.5)
    x = cx + 2 if view == "front3" else cx
    return outlined("M%s,%s H%s V%s H%s L%s,%s Q%s,%s %s,%s L%s,%s H%s Z" % (
        f(x - 5), f(y + 4), f(x + 5), f(y + 14), f(x + 9), f(x + 10), f(y + 26), f(x), f(y + 29),
        f(x - 10), f(y + 26), f(x - 9), f(y + 14), f(x - 5)), CREAM, 1.5)


def cap(look, view, x, y, sway):
    """A frilled Cream cap on top of the head, and her bun where it shows."""
    out = ""
    if view in ("back", "back3"):
        out += circle(x + (3 if view == "back3" else 0), y + 4, 6, WALNUT)
    if view == "side":
        out += circle(x + 11, y - 4, 6, WALNUT)
    frill = ("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x - 11), f(y - 8), f(x - 9), f(y - 17), f(x - 4), f(y - 15), f(x), f(y - 20), f(x + 4),
        f(y - 15), f(x + 9), f(y - 17), f(x + 11), f(y - 8), f(x), f(y - 12), f(x - 11), f(y - 8)))
    if view == "side":
        frill = "M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(x - 8), f(y - 10), f(x - 5), f(y - 19), f(x + 1), f(y - 16), f(x + 5), f(y - 20),
            f(x + 9), f(y - 11), f(x), f(y - 12), f(x - 8), f(y - 10))
    out += outlined(frill, CREAM, 2)
    out += curve(x - 7, y - 12, x, y - 14.5, x + 7, y - 12, TEAL, width=1.5)
    return out


MAID = Look(coat=TEAL, coat_shade=DEEP_TEAL, trim=HONEY, legs=CREAM, shoes=WALNUT, skin=SKIN_WARM,
            hair=WALNUT, hair_shade=INK, hair_style="bob", buttons=False, belt=False, hem=72,
            collar=apron, over_head=cap)

# Her near (left) and far (right) shoulder in the side view, facing left.
NEAR, FAR = (31, 47), (34, 47)


def clean(t):
    """Pushing an upright vacuum cleaner to and fro: the nozzle at the lower left."""
    push = 4 * math.sin(2 * math.pi * t)
    hx, hy = 14 + push, 58
    nx = 6 + push * 1.5
    stick = ('<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="5" stroke-linecap="round"/>'
             '<path d="M%s,%s L%s,%s" stroke="%s" stroke-width="2.5" stroke-linecap="round"/>'
             % (f(hx), f(hy), f(nx + 4), f(86), INK, f(hx), f(hy), f(nx + 4), f(86), DUSK))
    machine = (rect(nx + 1, 66, 11, 18, SKY, 4) + curve(nx + 3, 69, nx + 4, 67, nx + 7, 67, CREAM, .8) +
               ellipse(nx + 5, 88.5, 8, 3.2, DEEP_TEAL))
    # The arms reach down to the handle, the far one a little further.
    return side_figure(MAID, (45 + push * 2, 70 + push * 2), (60 + push * 2, 80 + push * 2),
                       behind=stick + machine)


def clothes(t):
    """Brushing a guest's jacket held up on its hanger."""
    s = math.sin(2 * math.pi * t)
    hx, hy = hand_at(*FAR, 80, 115)
    hx -= 4
    jacket = (curve(hx - 6, hy + 6, hx, hy - 2, hx + 6, hy + 6, INK, width=2) +
              outlined("M%s,%s L%s,%s L%s,%s L%s,%s L%s,%s L%s,%s Z" % (
                  f(hx - 7), f(hy + 6), f(hx + 7), f(hy + 6), f(hx + 9), f(hy + 22), f(hx + 3), f(hy + 24),
                  f(hx - 3), f(hy + 24), f(hx - 9), f(hy + 22)), "#e0704f", 2) +
              curve(hx, hy + 7, hx, hy + 15, hx, hy + 23, "#b8453a", width=1.2))
    brush_upper, brush_fore = 50 + 8 * s, 80 + 20 * s
    bx, by = hand_at(*NEAR, brush_upper, brush_fore)
    brush = rect(bx - 4, by - 7, 8, 5, WALNUT, 1.5, 1.5)
    return side_figure(MAID, (brush_upper, brush_fore), (80, 115), held=jacket, front=brush)


def pillow(t):
    """Plumping a pillow between her hands: it squashes and springs back."""
    squash = 0.5 + 0.5 * math.cos(2 * math.pi * t)
    gap = 5 + 4 * squash
    w, h = 12 + 5 * (1 - squash), 9 + 4 * squash
    cx, cy = 14, 56
    plump = (rect(cx - w / 2, cy - h / 2, w, h, CREAM, 4) +
             curve(cx - w / 2 + 2, cy - h / 2 + 2, cx, cy - h / 2 + 1, cx + w / 2 - 2, cy - h / 2 + 2, SAND, width=1.5))
    return side_figure(MAID, (60, 105 - gap), (75, 95 + gap), held=plump)


def water(t):
    """Watering a plant: the can tips forward and drops fall from its rose."""
    tip = 10 + 15 * math.sin(math.pi * t)
    hx, hy = hand_at(*NEAR, 40, 80)
    can = ('<g transform="rotate(%s %s %s)">%s%s%s</g>' % (
        f(-tip), f(hx), f(hy),
        outlined("M%s,%s L%s,%s L%s,%s" % (f(hx - 6), f(hy + 4), f(hx - 16), f(hy - 2), f(hx - 17), f(hy - 4)), "none", 3),
        rect(hx - 7, hy - 2, 13, 12, LEAF, 3),
        curve(hx - 4, hy - 2, hx, hy - 8, hx + 4, hy - 2, INK, width=2)))
    drops = "".join(
        '<ellipse cx="%s" cy="%s" rx="1.3" ry="2" fill="%s"/>' % (f(x), f(y + 20 * ((t + k / 3) % 1)), SKY)
        for k, (x, y) in enumerate(((2, 62), (5, 64), (8, 60))))
    return side_figure(MAID, (40, 80), (55, 95), front=can + (drops if t > 0 else ""))


SERVICES = {"clean": clean, "clothes": clothes, "pillow": pillow, "water": water}


def pictures():
    """Every picture by file name (without extension): the SVG text."""
    out = walks(MAID)
    out.update(walks(MAID, "carry_walk_", busy=True))
    out["stand"] = svg([whole(MAID, "front", None)])
    out["carry_stand"] = svg([whole(MAID, "front", None, busy=True)])
    out.update(hero_poses(MAID))
    for name, draw in SERVICES.items():
        out[name] = svg([draw(i / 4) for i in range(4)])
    out["shadow"] = shadow()
    return out


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "maid.py"))
