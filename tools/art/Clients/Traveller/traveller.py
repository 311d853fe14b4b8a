#!/usr/bin/env python3
"""Writes the SVG sources of the lady traveller's pictures into a folder (Data/Clients/Traveller/).

A guest in a long Coral dress with a Honey belt and a wide Honey straw hat with a Coral band over
brown hair. The file names, frame counts and placement of every picture are those of
tools/art/client.py: "WalkUpLeft" is walk_upleft, "StandAngry" stand_angry, "NewsLoop" news_loop,
"LegsSit" legs_sit, [Main] "portrait_happy" portrait_happy; spr_x -32, spr_y -92.
The request bubble (60 x 60) stands just over her hat: [Main] "request_x" -30, "request_y" -149.

usage: traveller.py <output folder>
       traveller.py --list     (the picture names, separated by ';', for the build)
"""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import client  # noqa: E402
from figure import (BRICK, CORAL, CREAM, HONEY, MUSTARD, OAK, SKIN_WARM, WALNUT, Look, curve,  # noqa: E402
                    ellipse, f, outlined, run)


def straw_hat(look, view, x, y, sway):
    """A wide brim tilted a little, the crown on top, a Coral band; the brim moves with her step."""
    dx = {"side": -3, "front3": -2, "back3": 2}.get(view, 0)
    x += dx
    out = ellipse(x, y - 9, 21, 5.5, HONEY, 2)
    out += outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x - 11), f(y - 9), f(x - 10), f(y - 22), f(x), f(y - 22), f(x + 10), f(y - 22), f(x + 11), f(y - 9)),
        HONEY, 2)
    out += curve(x - 11, y - 12, x, y - 9, x + 11, y - 12, CORAL, width=3.5)
    out += curve(x - 17, y - 10, x - 8, y - 13, x - 2, y - 12.5, CREAM, .5, 1.5)
    out += curve(x + 6, y - 18, x + 8, y - 15, x + 9, y - 13, MUSTARD, .7, 1.5)
    return out


TRAVELLER = Look(coat=CORAL, coat_shade=BRICK, trim=HONEY, legs=SKIN_WARM, shoes=BRICK, skin=SKIN_WARM,
                 hair=OAK, hair_shade=WALNUT, hair_style="bob", buttons=False, hem=74,
                 over_head=straw_hat)

if __name__ == "__main__":
    sys.exit(run(sys.argv, lambda: client.pictures(TRAVELLER), "traveller.py"))
