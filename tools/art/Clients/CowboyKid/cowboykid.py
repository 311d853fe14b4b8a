#!/usr/bin/env python3
"""Writes the SVG sources of the cowboy kid's pictures into a folder (Data/Clients/CowboyKid/).

The child who comes with a guest and, bored with waiting, runs about the hotel whirling a lasso
until someone calms the baby. A small figure (three quarters of a grown-up, on the same foot
point) in a Sky shirt with a Coral neckerchief, Walnut trousers and a wide Oak hat over fair hair. Besides every
client picture of tools/art/client.py (same file names, frame counts and placement: spr_x -32,
spr_y -92) the kid has its own:
  "BotherStart"   bother_start (4)   the lasso comes out
  "BotherLoop"    bother_loop (4)    hopping, the lasso whirling overhead
  "BotherEnd"     bother_end (4)     the lasso coiled up again
all facing the player. The kid's own request bubble is drawn at its foot point; as a client its
[Main] "request_x" -30, "request_y" -129 put the bubble just over the hat.

usage: cowboykid.py <output folder>
       cowboykid.py --list     (the picture names, separated by ';', for the build)
"""

import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import client  # noqa: E402
from figure import (CORAL, HONEY, INK, MUSTARD, OAK, OAK_LIGHT, SKIN_LIGHT, SKY, WALNUT, Look, curve, f, hand_at,  # noqa: E402
                    outlined, run, scale_frames, shade, svg)

KID_SCALE = 0.75


def neckerchief(look, view, cx, y, sway):
    if view in ("back", "back3"):
        return outlined("M%s,%s L%s,%s L%s,%s Z" % (f(cx - 6), f(y), f(cx + 6), f(y), f(cx), f(y + 8)), CORAL, 1.5)
    return outlined("M%s,%s Q%s,%s %s,%s L%s,%s Z" % (f(cx - 7), f(y - 1), f(cx), f(y + 3), f(cx + 7), f(y - 1),
                                                     f(cx + 1), f(y + 7)), CORAL, 1.5)


def cowboy_hat(look, view, x, y, sway):
    """A wide Oak hat with the brim turned up at the sides."""
    x += {"side": -2, "front3": -2, "back3": 2}.get(view, 0)
    out = outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x - 22), f(y - 14), f(x - 18), f(y - 6), f(x), f(y - 7), f(x + 18), f(y - 6), f(x + 22), f(y - 14),
        f(x), f(y - 10), f(x - 22), f(y - 14)), OAK, 2)
    out += outlined("M%s,%s L%s,%s Q%s,%s %s,%s Q%s,%s %s,%s L%s,%s Z" % (
        f(x - 11), f(y - 10), f(x - 10), f(y - 22), f(x - 5), f(y - 25), f(x), f(y - 22), f(x + 5), f(y - 25),
        f(x + 10), f(y - 22), f(x + 11), f(y - 10)), OAK, 2)
    out += curve(x - 11, y - 13, x, y - 11, x + 11, y - 13, WALNUT, width=3)
    out += curve(x - 8, y - 20, x - 6, y - 22, x - 3, y - 22, OAK_LIGHT, .8, 1.5)
    return out


KID = Look(coat=SKY, coat_shade=shade(SKY, .25), trim=OAK_LIGHT, legs=WALNUT, shoes=OAK, skin=SKIN_LIGHT,
           hair=HONEY, hair_shade=MUSTARD, hair_style="short", belt=True, hem=66, collar=neckerchief,
           over_head=cowboy_hat)


def lasso(x, y, r, squash):
    """A loop of rope: an Ink line with the Oak light rope on it."""
    ring = '<ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="%%s" stroke-width="%%s"/>' % (
        f(x), f(y), f(r), f(r * squash))
    return ring % (INK, 4.5) + ring % (OAK_LIGHT, 2)


def bother(name, t):
    """Facing the player: the lasso comes out, whirls over the hat as the kid hops, is put away."""
    if name == "bother_loop":
        hop = -4 * abs(math.sin(2 * math.pi * t))
        a = 2 * math.pi * t
        rx, ry = 32 + 10 * math.cos(a), -4 + 3 * math.sin(a)
        arm = (-150 + 20 * math.cos(a), -170 + 30 * math.sin(a))
        hx, hy = hand_at(44.5, 47, *arm)
        rope = curve(hx, hy, (hx + rx) / 2, hy - 6, rx, ry + 5, OAK_LIGHT, width=2)
        body = client.front(KID, "happy", left=arm, lift=hop)
        return body + rope + lasso(rx, ry + hop, 16, 0.3)
    k = t + 0.25 if name == "bother_start" else 1 - t
    arm = (-40 - 110 * k, -150 - 20 * k)
    hx, hy = hand_at(44.5, 47, *arm)
    return client.front(KID, "happy", left=arm) + lasso(hx, hy + 6 - 8 * k, 7 + 6 * k, 0.6)


def pictures():
    out = client.pictures(KID)
    for name in ("bother_start", "bother_loop", "bother_end"):
        out[name] = svg([bother(name, i / 4) for i in range(4)])
    # A child is a smaller figure on the same foot point; the shadow and portraits keep their size.
    return {name: text if name == "shadow" or name.startswith("portrait") else scale_frames(text, KID_SCALE)
            for name, text in out.items()}


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "cowboykid.py"))
