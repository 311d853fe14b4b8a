#!/usr/bin/env python3
"""Writes the SVG sources of the school's three hero cards into a folder (Data/Menu/UISchool/):
maid_panel, jenny_panel and porter_panel, each 240 x 170. A card is Cream paper in a Sand frame
(as every panel) with the hero's portrait from the waist up, drawn from the same figure as her
walks in the hotel, in front of a Sky badge; the screen writes the hero's name under the card.

usage: panels.py <output folder>
       panels.py --list     (the picture names, separated by ';', for the build)
"""

import os
import sys

sys.dont_write_bytecode = True
ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, ART)
from figure import CREAM, HONEY, INK, SAND, SKY, look_of, run, whole  # noqa: E402

SCALE = 2.2
HEAD = (117, 78)  # where the head's centre sits on the card


def card(look):
    # The figure's head is centred on (32, 28) of its 64 x 96 frame.
    dx, dy = HEAD[0] - 32 * SCALE, HEAD[1] - 28 * SCALE
    portrait = whole(look, "front", None, mood="happy")
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="240" height="170">\n'
            '<defs><clipPath id="inside"><rect x="15" y="15" width="204" height="134" rx="17"/></clipPath></defs>\n'
            '<rect x="9" y="9" width="226" height="156" rx="24" fill="%s" opacity=".25"/>\n'
            '<rect x="4" y="4" width="226" height="156" rx="24" fill="%s" stroke="%s" stroke-width="3"/>\n'
            '<rect x="14" y="14" width="206" height="136" rx="18" fill="%s"/>\n'
            '<g clip-path="url(#inside)">'
            '<circle cx="%s" cy="%s" r="64" fill="%s" stroke="%s" stroke-width="3"/>'
            '<path d="M14,138 H220 V150 H14 Z" fill="%s" opacity=".6"/>'
            '<g transform="translate(%.1f %.1f) scale(%s)">%s</g></g>\n'
            '<rect x="14" y="14" width="206" height="136" rx="18" fill="none" stroke="%s" stroke-width="2"/>\n'
            '<path d="M30,20 H204" stroke="%s" stroke-width="3" stroke-linecap="round" opacity=".8"/>\n'
            '</svg>\n' % (INK, SAND, INK, CREAM, HEAD[0], HEAD[1] + 20, SKY, INK, SAND, dx, dy, SCALE, portrait,
                          HONEY, CREAM))


def pictures():
    return {
        "maid_panel": card(look_of("Heroes/Maid/maid.py", "MAID")),
        "jenny_panel": card(look_of("Heroes/Jenny/jenny.py", "JENNY")),
        "porter_panel": card(look_of("Heroes/Porter/porter.py", "PORTER")),
    }


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "panels.py"))
