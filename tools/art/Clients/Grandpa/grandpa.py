#!/usr/bin/env python3
"""Writes the SVG sources of the grandpa's pictures into a folder (Data/Clients/Grandpa/).

An older guest, round in a Leaf cardigan with Oak buttons, bald with a Cream fringe and a Cream
moustache, round glasses, a walking stick in his right hand. The file names, frame counts and
placement of every picture are those of tools/art/client.py: "WalkUpLeft" is walk_upleft,
"StandAngry" stand_angry, "NewsLoop" news_loop, "LegsSit" legs_sit, [Main] "portrait_happy"
portrait_happy; spr_x -32, spr_y -92.
The request bubble (60 x 60) stands just over his head: [Main] "request_x" -30, "request_y" -143.

usage: grandpa.py <output folder>
       grandpa.py --list     (the picture names, separated by ';', for the build)
"""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import client  # noqa: E402
from figure import (CREAM, INK, LEAF, MOSS, OAK, SAND, SKIN_DEEP, WALNUT, Look, curve, f,  # noqa: E402
                    outlined, run)


def moustache_and_glasses(look, view, x, y, sway):
    if view in ("back", "back3"):
        return ""
    if view == "side":
        eyes, mx = (x - 9,), x - 11
        tash = outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(mx - 3), f(y + 7), f(mx + 1), f(y + 4.5), f(mx + 4), f(y + 7), f(mx + 1), f(y + 9), f(mx - 3), f(y + 7)), CREAM, 1.5)
        arm = curve(x - 6, y + 1, x - 1, y, x + 2, y + 1, INK, width=1.2)
    else:
        eyes = (x - 6, x + 6) if view == "front" else (x - 9, x + 1)
        mx = x if view == "front" else x - 4.5
        tash = outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
            f(mx - 7), f(y + 9), f(mx - 3), f(y + 4.5), f(mx), f(y + 6.5), f(mx + 3), f(y + 4.5), f(mx + 7),
            f(y + 9), f(mx), f(y + 8), f(mx - 7), f(y + 9)), CREAM, 1.5)
        arm = curve(eyes[0] + 3.8, y + 1.5, (eyes[0] + eyes[-1]) / 2, y + 0.5, eyes[-1] - 3.8, y + 1.5, INK, width=1.2) if len(eyes) > 1 else ""
    lenses = "".join('<circle cx="%s" cy="%s" r="3.8" fill="%s" fill-opacity=".25" stroke="%s" stroke-width="1.3"/>'
                     % (f(ex), f(y + 2), CREAM, INK) for ex in eyes)
    return tash + lenses + arm


def walking_stick(look, x, y):
    return ('<path d="M%s,%s V%s" stroke="%s" stroke-width="5" stroke-linecap="round"/>'
            '<path d="M%s,%s V%s" stroke="%s" stroke-width="2.5" stroke-linecap="round"/>%s'
            % (f(x), f(y), f(y + 26), INK, f(x), f(y), f(y + 26), WALNUT,
               curve(x, y, x + 1, y - 5, x + 6, y - 3, INK, width=5) + curve(x, y, x + 1, y - 5, x + 6, y - 3, WALNUT, width=2.5)))


GRANDPA = Look(coat=LEAF, coat_shade=MOSS, trim=OAK, legs=OAK, shoes=WALNUT, skin=SKIN_DEEP,
               hair=CREAM, hair_shade=SAND, hair_style="bald", belt=False, hem=68, width=2,
               over_head=moustache_and_glasses, prop=walking_stick)

if __name__ == "__main__":
    sys.exit(run(sys.argv, lambda: client.pictures(GRANDPA), "grandpa.py"))
