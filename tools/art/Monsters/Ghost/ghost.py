#!/usr/bin/env python3
"""Writes the SVG sources of the ghost's pictures into a folder (Data/Monsters/Ghost/).

A small round sheet ghost of Cream with a Dusk shade, floating a hand above the floor, its hem
rippling. Every frame is 64 x 96 with the foot point at (32, 92), placed with spr_x -32, spr_y -92:
  "WalkLeft" .. "WalkDownLeft"   walk_left .. walk_downleft (8 frames each); seen from behind
                                 it shows no face
  "Attack"                       attack (4)    swells up with its arms raised: boo!
  "Stunned"                      stunned (4)   wobbling, stars round its head
  "Death"                        death (4)     shrinks into a wisp
  [Main] "shadow_spr"            shadow (48 x 16: shadow_x -24, shadow_y -8)

usage: ghost.py <output folder>
       ghost.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from figure import CORAL, CREAM, INK, WALKS, f, mirror, outlined, run, shadow, star, svg  # noqa: E402

SHEET = CREAM
SHADE = "#e4d8ca"  # Cream with a little Dusk: the sheet's folds


def body(t, swell=1.0, lift=0.0):
    """The sheet from its round top to its rippling hem, centred on x 32."""
    top, hem = 30 - 10 * (swell - 1) - lift, 80 - lift
    half = 17 * swell
    wave = []
    n = 4
    for i in range(n + 1):
        x = 32 + half - 2 * half * i / n
        wave.append((x, hem + 4 * math.sin(2 * math.pi * (t + i / n))))
    d = "M%s,%s C%s,%s %s,%s %s,%s" % (f(32 + half), f(hem - 20), f(32 + half), f(top - 6), f(32 - half),
                                       f(top - 6), f(32 - half), f(hem - 20))
    d += " L%s,%s" % (f(wave[-1][0]), f(wave[-1][1]))
    for x, y in reversed(wave[:-1]):
        d += " Q%s,%s %s,%s" % (f(x - half / n), f(y + 3), f(x), f(y))
    d += " Z"
    folds = '<path d="M%s,%s Q%s,%s %s,%s" fill="none" stroke="%s" stroke-width="3" stroke-linecap="round"/>' % (
        f(32 + half * .5), f(hem - 26), f(32 + half * .7), f(hem - 12), f(32 + half * .4), f(hem - 2), SHADE)
    shine = '<path d="M%s,%s Q%s,%s %s,%s" fill="none" stroke="#ffffff" stroke-width="2" opacity=".7"/>' % (
        f(32 - half * .6), f(top + 10), f(32 - half * .5), f(top + 2), f(32 - half * .1), f(top))
    return outlined(d, SHEET, 2) + folds + shine


def face(view, lift, mood="calm"):
    if view in ("back", "back3"):
        return ""
    cx = {"front": 32, "front3": 27, "side": 22}[view]
    y = 46 - lift
    eyes = (cx - 6, cx + 6) if view == "front" else (cx - 5, cx + 4) if view == "front3" else (cx,)
    out = "".join('<ellipse cx="%s" cy="%s" rx="2.6" ry="3.6" fill="%s"/>' % (f(x), f(y), INK) for x in eyes)
    if mood == "boo":
        out += '<ellipse cx="%s" cy="%s" rx="4" ry="5.5" fill="%s"/>' % (f(cx), f(y + 10), INK)
        out += '<ellipse cx="%s" cy="%s" rx="2.4" ry="2.6" fill="%s"/>' % (f(cx), f(y + 12), CORAL)
    elif mood == "dizzy":
        out = "".join('<path d="M%s,%s l5,5 m0,-5 l-5,5" stroke="%s" stroke-width="1.8"/>' % (f(x - 2.5), f(y - 2.5), INK)
                      for x in eyes)
        out += '<path d="M%s,%s q3,-3 6,0 t6,0" fill="none" stroke="%s" stroke-width="1.6"/>' % (f(cx - 6), f(y + 9), INK)
    else:
        out += '<path d="M%s,%s q3,3 6,0" fill="none" stroke="%s" stroke-width="1.6"/>' % (f(cx - 3), f(y + 8), INK)
    return out


def arm(x, y, angle):
    return ('<g transform="rotate(%s %s %s)"><ellipse cx="%s" cy="%s" rx="4" ry="8" fill="%s" stroke="%s" '
            'stroke-width="2"/></g>' % (f(angle), f(x), f(y), f(x), f(y + 6), SHEET, INK))


def walk_frame(view, t):
    lift = 3 * math.sin(2 * math.pi * t)
    lean = {"side": -6, "front3": -3, "back3": 3}.get(view, 0)
    sheet = '<g transform="translate(32 80) skewX(%s) translate(-32 -80)">%s</g>' % (f(lean * .5), body(t, lift=lift))
    return sheet + face(view, lift)


def attack(t):
    k = math.sin(math.pi * t)
    swell = 1 + .25 * k
    return (arm(32 - 17 * swell, 50, 140 + 30 * k) + arm(32 + 17 * swell, 50, -140 - 30 * k) +
            body(t, swell, 4 * k) + face("front", 4 * k, "boo"))


def stunned(t):
    a = 2 * math.pi * t
    wobble = '<g transform="rotate(%s 32 84)">%s</g>' % (f(8 * math.sin(a)), body(t) + face("front", 0, "dizzy"))
    return wobble + "".join(star(32 + 16 * math.cos(a + k * 2.1), 14 + 4 * math.sin(a + k * 2.1), 4.5)
                            for k in range(3))


def death(t):
    k = 1 - .8 * t
    shrink = 'translate(32 84) scale(%s %s) translate(-32 -84)' % (f(k), f(k * k))
    return '<g transform="%s" opacity="%s">%s</g>' % (shrink, f(1 - .6 * t), body(t) + face("front", 0, "dizzy"))


def pictures():
    out = {}
    for direction, view, mirrored in WALKS:
        out["walk_" + direction] = svg([mirror(walk_frame(view, i / 8), mirrored) for i in range(8)])
    out["attack"] = svg([attack(i / 4) for i in range(4)])
    out["stunned"] = svg([stunned(i / 4) for i in range(4)])
    out["death"] = svg([death(i / 4) for i in range(4)])
    out["shadow"] = shadow()
    return out


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "ghost.py"))
