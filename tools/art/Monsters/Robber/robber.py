#!/usr/bin/env python3
"""Writes the SVG sources of the robber's pictures into a folder (Data/Monsters/Robber/).

A sneaky little thief in a Dusk sweater with Cream stripes, a Brick knitted cap and an Ink eye
mask. Every frame is 64 x 96 with the foot point at (32, 92), placed with spr_x -32, spr_y -92:
  "WalkLeft" .. "WalkDownLeft"   walk_left .. walk_downleft (8 frames each), tiptoeing
  "RunLeft" .. "RunDownLeft"     run_left .. run_downleft (8 each), a Sand sack over the shoulder
  "Attack"                       attack (4)    grabs at the tips with both hands
  "Stunned"                      stunned (4)   dizzy, stars round the cap
  "Death"                        death (4)     knocked flat, sinking
  [Main] "shadow_spr"            shadow (48 x 16: shadow_x -24, shadow_y -8)
The hit splash and the health bar are shared by every monster (Data/Monsters/hit.tga, hp_*.tga).

usage: robber.py <output folder>
       robber.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from figure import (BRICK, CREAM, DUSK, HONEY, INK, SAND, SKIN_WARM, Look, circle, f, figure,  # noqa: E402
                    outlined, rotate, run, shade, shadow, stand_arms, star, svg, translate, walks)


def cap(look, view, x, y, sway):
    """A knitted cap pulled low, and over the eyes a mask (only where the face shows)."""
    out = outlined("M%s,%s Q%s,%s %s,%s Z" % (f(x - 15.5), f(y - 2), f(x), f(y - 26), f(x + 15.5), f(y - 2)), BRICK, 2.5)
    out += '<path d="M%s,%s H%s" stroke="%s" stroke-width="4" stroke-linecap="round"/>' % (
        f(x - 15), f(y - 3), f(x + 15), shade(BRICK, .4))
    out += circle(x + sway * .3, y - 17, 3.2, CREAM, 1.5)
    if view in ("front", "front3", "side"):
        left, right = {"front": (x - 13, x + 13), "front3": (x - 15, x + 5), "side": (x - 15, x - 2)}[view]
        out += ('<path d="M%s,%s H%s" stroke="%s" stroke-width="6" stroke-linecap="round"/>'
                % (f(left), f(y + 2), f(right), INK))
        eyes = {"front": (x - 6, x + 6), "front3": (x - 9, x + 1), "side": (x - 9,)}[view]
        out += "".join(circle(ex, y + 2, 1.6, CREAM, 0) for ex in eyes)
    return out


def stripes(look, view, x, y, sway):
    """Cream rings round the sweater."""
    half = 8 if view == "side" else 12
    return "".join('<path d="M%s,%s H%s" stroke="%s" stroke-width="2.2" opacity=".9"/>'
                   % (f(x - half), f(y + 7 + 8 * i), f(x + half), CREAM) for i in range(3))


def sack(look, x, y):
    """The loot: a tied sack, held up at the hand."""
    return (outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (f(x - 2), f(y - 2), f(x - 14), f(y + 6), f(x - 6),
                                                            f(y + 16), f(x + 10), f(y + 18), f(x + 2), f(y - 2)), SAND, 2)
            + circle(x, y - 3, 2.5, shade(SAND, .3), 1.5)
            + '<circle cx="%s" cy="%s" r="2" fill="%s"/>' % (f(x - 3), f(y + 9), HONEY))


ROBBER = Look(coat=DUSK, coat_shade=shade(DUSK, .4), trim=shade(DUSK, .4), legs=shade(DUSK, .6),
              shoes=INK, skin=SKIN_WARM, hair=INK, hair_shade=INK, hair_style="short",
              buttons=False, belt=False, hem=68, collar=stripes, over_head=cap)


def attack(t):
    reach = math.sin(math.pi * t)
    body, _ = figure(ROBBER, "front", None, "happy" if reach > .9 else "calm")
    left, right = stand_arms(ROBBER, (-60 - 90 * reach, -160 + 40 * reach), (60 + 90 * reach, 160 - 40 * reach))
    return translate(left + right + body, 0, -2 * reach)


def stunned(t):
    body, _ = figure(ROBBER, "front", None, "scared")
    left, right = stand_arms(ROBBER)
    a = 2 * math.pi * t
    stars = "".join(star(32 + 14 * math.cos(a + k * 2.1), 8 + 4 * math.sin(a + k * 2.1), 4) for k in range(3))
    return rotate(left + right + body, 6 * math.sin(a), 32, 92) + stars


def death(t):
    body, _ = figure(ROBBER, "front", None, "sad")
    left, right = stand_arms(ROBBER)
    fallen = rotate(left + right + body, -80 * min(1.0, t * 1.6), 32, 90)
    return translate(fallen, 22 * t, 4 * t)


def pictures():
    out = walks(ROBBER)
    loaded = Look(**dict(ROBBER.__dict__, prop=sack))
    out.update(walks(loaded, prefix="run_"))
    out["attack"] = svg([attack(i / 4) for i in range(4)])
    out["stunned"] = svg([stunned(i / 4) for i in range(4)])
    out["death"] = svg([death(i / 4) for i in range(4)])
    out["shadow"] = shadow()
    return out


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "robber.py"))
