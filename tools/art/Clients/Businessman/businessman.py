#!/usr/bin/env python3
"""Writes the SVG sources of the businessman's pictures into a folder (Data/Clients/Businessman/).

A guest in a Walnut suit with a Cream shirt collar and a Coral tie, short dark hair, a briefcase
in his right hand while he walks. The file names, frame counts and placement of every picture are
those of tools/art/client.py: "WalkUpLeft" is walk_upleft, "StandAngry" stand_angry, "NewsLoop"
news_loop, "LegsSit" legs_sit, [Main] "portrait_happy" portrait_happy; spr_x -32, spr_y -92.
The request bubble (60 x 60) stands just over his head: [Main] "request_x" -30, "request_y" -144.

usage: businessman.py <output folder>
       businessman.py --list     (the picture names, separated by ';', for the build)
"""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
import client  # noqa: E402
from figure import (CORAL, CREAM, INK, OAK, SKIN_LIGHT, WALNUT, Look, f, outlined, rect, run,  # noqa: E402
                    shade)


def shirt_and_tie(look, view, cx, y, sway):
    if view in ("back", "back3"):
        return '<path d="M%s,%s H%s" stroke="%s" stroke-width="2.5"/>' % (f(cx - 5), f(y - 1), f(cx + 5), CREAM)
    if view == "side":
        return outlined("M%s,%s L%s,%s L%s,%s Z" % (f(cx - 4), f(y - 2), f(cx + 1), f(y - 2), f(cx - 3), f(y + 4)), CREAM, 1.5)
    return (outlined("M%s,%s L%s,%s L%s,%s Z" % (f(cx - 6), f(y - 2), f(cx + 6), f(y - 2), f(cx), f(y + 8)), CREAM, 1.5) +
            outlined("M%s,%s L%s,%s L%s,%s L%s,%s L%s,%s Z" % (f(cx - 1.5), f(y + 1), f(cx + 1.5), f(y + 1), f(cx + 2.5),
                                                              f(y + 13), f(cx), f(y + 16), f(cx - 2.5), f(y + 13)), CORAL, 1.2))


def briefcase(look, x, y):
    return (rect(x - 9, y + 1, 18, 12, OAK, 2, 2) + rect(x - 3, y - 2, 6, 4, "none", 1.5, 1.5) +
            '<path d="M%s,%s H%s" stroke="%s" stroke-width="1"/>' % (f(x - 9), f(y + 6), f(x + 9), INK))


BUSINESSMAN = Look(coat=WALNUT, coat_shade=shade(WALNUT, .5), trim=shade(WALNUT, .5), legs=shade(WALNUT, .5),
                   shoes=INK, skin=SKIN_LIGHT, hair=INK, hair_shade=WALNUT, hair_style="short",
                   belt=False, hem=66, collar=shirt_and_tie, prop=briefcase)

if __name__ == "__main__":
    sys.exit(run(sys.argv, lambda: client.pictures(BUSINESSMAN), "businessman.py"))
