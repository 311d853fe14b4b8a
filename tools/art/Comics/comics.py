#!/usr/bin/env python3
"""Writes the SVG sources of the comics' characters into a folder (Data/Comics/), drawn from the
figure parts every character shares and shown at two and a half times the level's scale.

Each picture is 160 x 240 with the feet at the bottom centre (the level's 64 x 96 frame scaled):
  zuna        Zuna, the hotel's young owner: dark curls, a Coral coat, a Brick scarf
  zuna_lamp   the same holding up a lantern (comic 3)
  poet        the first guest: a Sky coat, a long Coral scarf, a Walnut beret, a notebook
  critic      Madame Orla, the critic: a long Brick coat, a Honey hat with a Cream feather, a pen
  porter      the Porter in his Teal coat and cap, waving
  guest       the businessman with his briefcase (the crowd of comic 5)
  traveller   the lady traveller in her straw hat (the crowd of comic 5)

usage: comics.py <output folder>
       comics.py --list     (the picture names, separated by ';', for the build)
"""

import os
import sys

sys.dont_write_bytecode = True
ART = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, ART)
from figure import (BRICK, CORAL, CREAM, HONEY, INK, MUSTARD, OAK, SKIN_DEEP, SKIN_LIGHT,  # noqa: E402
                    SKIN_WARM, SKY, WALNUT, Look, bent_arm, circle, curve, ellipse, f, hand_at,
                    look_of, outlined, rect, run, shade, shoulder, svg, whole)


def scarf(colour):
    def draw(look, view, cx, y, sway):
        out = outlined("M%s,%s Q%s,%s %s,%s L%s,%s Q%s,%s %s,%s Z" % (
            f(cx - 9), f(y - 2), f(cx), f(y + 4), f(cx + 9), f(y - 2), f(cx + 9), f(y + 2), f(cx), f(y + 8),
            f(cx - 9), f(y + 2)), colour, 1.5)
        return out + outlined("M%s,%s L%s,%s L%s,%s L%s,%s Z" % (
            f(cx + 3), f(y + 3), f(cx + 7), f(y + 3), f(cx + 8), f(y + 18), f(cx + 4), f(y + 18)), colour, 1.5)
    return draw


def curls(look, view, x, y, sway):
    """Dark curls around the face: three round tufts on each side and on top."""
    out = ""
    for dx, dy, r in ((-12, -6, 5), (12, -6, 5), (-13, 1, 4.5), (13, 1, 4.5), (-6, -14, 5.5), (6, -14, 5.5),
                      (0, -16, 5.5)):
        out += circle(x + dx, y + dy, r, look.hair, 2)
    return out


def beret(look, view, x, y, sway):
    return (outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x - 13), f(y - 9), f(x - 10), f(y - 22), f(x + 4), f(y - 20), f(x + 16), f(y - 16), f(x + 12), f(y - 8)),
        WALNUT, 2) + circle(x + 2, y - 21, 1.8, WALNUT, 1.5))


def feather_hat(look, view, x, y, sway):
    out = ellipse(x, y - 9, 19, 4.5, HONEY, 2)
    out += outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x - 10), f(y - 9), f(x - 9), f(y - 21), f(x), f(y - 21), f(x + 9), f(y - 21), f(x + 10), f(y - 9)), HONEY, 2)
    out += curve(x - 10, y - 12, x, y - 9, x + 10, y - 12, BRICK, width=3)
    out += outlined("M%s,%s Q%s,%s %s,%s Q%s,%s %s,%s Z" % (
        f(x + 7), f(y - 13), f(x + 19), f(y - 20), f(x + 25), f(y - 26), f(x + 15), f(y - 16), f(x + 7), f(y - 13)),
        CREAM, 1.3)
    return out


def glasses(look, view, cx, cy, mood):
    """Round glasses over calm dot eyes and a knowing smile."""
    out = circle(cx - 5, cy + 1, 1.6, INK, 0) + circle(cx + 5, cy + 1, 1.6, INK, 0)
    out += circle(cx - 5, cy + 1, 3.6, "none", 1.2) + circle(cx + 5, cy + 1, 3.6, "none", 1.2)
    out += '<path d="M%s,%s H%s" stroke="%s" stroke-width="1.2"/>' % (f(cx - 1.4), f(cy + 1), f(cx + 1.4), INK)
    return out + curve(cx - 3, cy + 8, cx + 1, cy + 9.5, cx + 4, cy + 7, INK, width=1.5)


def notebook(look, x, y):
    return rect(x - 6, y - 2, 11, 14, CREAM, 1.5, 1.8) + '<path d="M%s,%s H%s M%s,%s H%s" stroke="%s" stroke-width="1"/>' % (
        f(x - 3), f(y + 3), f(x + 3), f(x - 3), f(y + 6), f(x + 3), SKY)


def lantern(x, y):
    """A small lantern hanging from the hand: a Honey cage round a Cream flame."""
    return ('<path d="M%s,%s V%s" stroke="%s" stroke-width="1.5"/>' % (f(x), f(y), f(y + 4), INK) +
            rect(x - 5, y + 4, 10, 13, HONEY, 2, 1.8) + ellipse(x, y + 10.5, 2.5, 4, CREAM, 1) +
            rect(x - 6, y + 16, 12, 3, MUSTARD, 1, 1.5))


ZUNA = Look(coat=CORAL, coat_shade=BRICK, trim=HONEY, legs=WALNUT, shoes=BRICK, skin=SKIN_WARM, hair=WALNUT,
            hair_shade=shade(WALNUT, .5), hair_style="bob", buttons=True, hem=70, collar=scarf(BRICK),
            over_head=curls)
POET = Look(coat=SKY, coat_shade=shade(SKY, .35), trim=CREAM, legs=WALNUT, shoes=INK, skin=SKIN_LIGHT, hair=OAK,
            hair_shade=WALNUT, hair_style="short", belt=False, hem=72, collar=scarf(CORAL), over_head=beret,
            prop=notebook)
CRITIC = Look(coat=BRICK, coat_shade=shade(BRICK, .35), trim=HONEY, legs=shade(BRICK, .5), shoes=INK, skin=SKIN_DEEP,
              hair=INK, hair_shade=WALNUT, hair_style="bob", buttons=True, hem=80, width=1, over_head=feather_hat,
              face=glasses, prop=notebook)


def scaled(body):
    """One frame, the 64 x 96 figure drawn at 160 x 240."""
    return svg([body], 160, 240).replace('height="240">', 'height="240" viewBox="0 0 64 96">', 1)


def waving(look, mood="happy"):
    """Standing to the front, the left hand raised in greeting."""
    x = shoulder(look, "front", "left")
    return whole(look, "front", None, mood=mood) + bent_arm(look, x, 47, -130, -170)


def with_lantern(look):
    x = shoulder(look, "front", "left")
    hx, hy = hand_at(x, 47, -60, -120)
    return whole(look, "front", None, mood="scared") + bent_arm(look, x, 47, -60, -120) + lantern(hx, hy + 2)


def pictures():
    porter = look_of("Heroes/Porter/porter.py", "PORTER")
    guest = look_of("Clients/Businessman/businessman.py", "BUSINESSMAN")
    traveller = look_of("Clients/Traveller/traveller.py", "TRAVELLER")
    return {
        "zuna": scaled(whole(ZUNA, "front", None, mood="happy")),
        "zuna_lamp": scaled(with_lantern(ZUNA)),
        "poet": scaled(whole(POET, "front", None)),
        "critic": scaled(whole(CRITIC, "front", None)),
        "porter": scaled(waving(porter)),
        "guest": scaled(whole(guest, "front", None, mood="happy")),
        "traveller": scaled(waving(traveller)),
    }


if __name__ == "__main__":
    sys.exit(run(sys.argv, pictures, "comics.py"))
